// The ADO backend against the platform's own ADO: under Wine, msado15 with
// MSDASQL, through Wine's odbc32 and unixODBC to SQLite's ODBC driver.
//
// Wine 8's ADO opens connections and recordsets and describes columns, but
// Recordset.Update is a stub (E_NOTIMPL) and Connection.Errors is not
// implemented. So the connector's calls must end at Update in a properly
// composed error, store nothing and crash nowhere; the same calls over ODBC
// store the row, which shows that the data source and the table are real.
// A Wine whose ADO stores rows will fail these tests: then they must expect
// the rows.
#include <gtest/gtest.h>

#include "base/system_message.h"
#include "base/text.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/ado/ado_session.h"
#include "tests/wine/ado/wine_data_source.h"

namespace dbAx {
namespace {

using mirdane::Utf16ToUtf8;

constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);

class WineAdo : public ::testing::Test {
 protected:
  void SetUp() override {
    dsn_ = mirdane::test::WineDataSourceName();
    ASSERT_FALSE(dsn_.empty());
    mirdane::test::ResetTables(dsn_);
  }

  // The release's connection string, for the server name of the setup.
  static std::u16string ReleaseString(const std::u16string& server) {
    return u"Provider=IBMDA400;Data source=" + server + u";Force Translate=0";
  }
  std::u16string AdoServer() const { return u"ado:Provider=MSDASQL;Data Source=" + dsn_; }
  std::u16string OdbcServer() const { return u"odbc:DSN=" + dsn_; }

  // The exception that `action` throws, or null.
  static std::unique_ptr<CAxException> Thrown(const std::function<void()>& action) {
    try {
      action();
    } catch (CAxException* caught) {
      return TakeAxException(caught);
    }
    return nullptr;
  }

  std::u16string dsn_;
};

// The calls of the release for one header row: Create, CursorLocation, Open
// on the connection; CursorType, CacheSize, Open, MarshalOptions, AddNew, one
// checked assignment per column, Update on the recordset.
std::unique_ptr<CAxException> StoreHeaderRow(const std::u16string& connection_string) {
  std::unique_ptr<CAxException> failure;
  CAxConnection connection;
  try {
    connection.Create();
    connection.CursorLocation(3);
    connection.Open(connection_string, u"", u"", -1);
    CAxRecordset record;
    if (record.Create() != 0) return nullptr;
    record.CursorType(0);
    record.CacheSize(1);
    record.Open(u"SELECT * FROM MAIN.UAGYCPP WHERE 1=0", &connection, 0, 3, 3, -1);
    record.MarshalOptions(1);
    record.AddNew();
    try {
      record.SetFieldTextChecked(u"GYABNT", u"AP");
      record.SetFieldTextChecked(u"GYHBCD", u"V1001");
      record.SetFieldTextChecked(u"NOSUCHCOLUMN", u"ignored");
      record.SetFieldTextChecked(u"GYABNV", u"123456789012345");
      record.Update();
    } catch (CAxException* caught) {
      failure = TakeAxException(caught);
      record.CancelUpdate();
    }
    record.Close();
  } catch (CAxException* caught) {
    failure = TakeAxException(caught);
  }
  return failure;
}

TEST_F(WineAdo, TheReleasesCallsEndInAComposedErrorAtUpdateAndStoreNothing) {
  const auto failure = StoreHeaderRow(ReleaseString(AdoServer()));
  ASSERT_NE(failure, nullptr) << "the row was stored: Wine's ADO now updates";
  EXPECT_EQ(failure->hr, kNotImplemented);
  EXPECT_EQ(failure->code, kNotImplemented);  // the number of the provider error read
  EXPECT_EQ(Utf16ToUtf8(failure->message),
            Utf16ToUtf8(u"CAxRecordset::Update\nThe row could not be stored in \"MAIN\".\"UAGYCPP\"; "
                        u"ADO's Recordset.Update failed without giving a reason.\nCOM Error: " +
                        mirdane::HresultText(kNotImplemented)));
  EXPECT_EQ(mirdane::test::CountRows(dsn_, u"UAGYCPP"), 0u);

  // The same calls over ODBC store the row.
  const auto control = StoreHeaderRow(ReleaseString(OdbcServer()));
  EXPECT_EQ(control, nullptr) << Utf16ToUtf8(control->message);
  EXPECT_EQ(mirdane::test::CountRows(dsn_, u"UAGYCPP"), 1u);
}

TEST_F(WineAdo, ColumnsAreDescribedFromAdosFields) {
  std::shared_ptr<provider::Session> session;
  provider::Failure failure;
  ASSERT_TRUE(provider::adodb::OpenAdoSession(u"Provider=MSDASQL;Data Source=" + dsn_, u"", u"",
                                              &session, &failure));
  std::unique_ptr<provider::InsertTarget> target;
  ASSERT_TRUE(session->OpenSource(u"select * from main.t where 1=0", &target, &failure));
  const auto& columns = target->columns();
  ASSERT_EQ(columns.size(), 3u);
  EXPECT_EQ(columns[0].name, u"C");
  EXPECT_EQ(columns[1].name, u"D");
  EXPECT_EQ(columns[2].name, u"I");
  // SQLite's driver reports a CHAR(10) as text of ten characters.
  EXPECT_EQ(columns[0].defined_size, 10);
  for (const auto& column : columns) {
    EXPECT_NE(column.attributes & provider::ado::adFldUpdatable, 0) << Utf16ToUtf8(column.name);
  }
  target.reset();
  EXPECT_TRUE(session->Close(&failure));
}

TEST_F(WineAdo, AnIbmISystemReachesAdoWithTheReleasesConnectionStringUnchanged) {
  // Wine has no IBMDA400: ADO itself refuses the provider, naming nothing of
  // ours but the string it was given.
  const std::u16string string = ReleaseString(u"PRODSYS");
  CAxConnection connection;
  connection.Create();
  const auto failure = Thrown([&] { connection.Open(string, u"XAUSER", u"s3cret", -1); });
  ASSERT_NE(failure, nullptr);
  EXPECT_LT(failure->hr, 0);
  EXPECT_EQ(Utf16ToUtf8(failure->message),
            Utf16ToUtf8(u"CAxConnection::Open\nADO could not open the connection '" + string +
                        u"'; ADO's Connection.Open failed without giving a reason.\nCOM Error: " +
                        mirdane::HresultText(failure->hr)));
  EXPECT_FALSE(connection._IsOpen());
}

TEST_F(WineAdo, AFailedConnectionNamesNoPassword) {
  CAxConnection connection;
  connection.Create();
  const auto failure = Thrown([&] {
    connection.Open(ReleaseString(u"ado:Provider=MSDASQL;Data Source=no_such_dsn;Password=s3cret"),
                    u"XAUSER", u"s3cret", -1);
  });
  ASSERT_NE(failure, nullptr);
  const std::string message = Utf16ToUtf8(failure->message);
  EXPECT_EQ(message.find("s3cret"), std::string::npos) << message;
  EXPECT_NE(message.find("Data Source=no_such_dsn;Password=********"), std::string::npos)
      << message;
}

TEST_F(WineAdo, AMissingTableOrAForeignSourceFailsTheOpen) {
  CAxConnection connection;
  connection.Create();
  connection.CursorLocation(3);
  connection.Open(ReleaseString(AdoServer()), u"", u"", -1);
  CAxRecordset missing;
  auto failure = Thrown([&] {
    missing.Open(u"SELECT * FROM MAIN.NOPE WHERE 1=0", &connection, 0, 3, 3, -1);
  });
  ASSERT_NE(failure, nullptr);
  const std::string message = Utf16ToUtf8(failure->message);
  EXPECT_EQ(message.rfind("CAxRecordset::Open\n\"MAIN\".\"NOPE\" could not be opened", 0), 0u) << message;

  // Only the release's own query reaches ADO.
  CAxRecordset foreign;
  failure = Thrown([&] {
    foreign.Open(u"SELECT * FROM MAIN.T WHERE 1=0; DROP TABLE MAIN.T", &connection, 0, 3, 3, -1);
  });
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(mirdane::test::CountRows(dsn_, u"T"), 0u) << "MAIN.T must still exist";
}

}  // namespace
}  // namespace dbAx
