// The ODBC backend through the provider's objects, against SQLite's ODBC
// driver with a data source from the test run's odbc.ini.
#include <gtest/gtest.h>

#include "base/text.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/provider_calls.h"
#include "tests/support/services.h"
#include "tests/support/temp_dir.h"

namespace dbAx::provider {
namespace {

using mirdane::Utf16ToUtf8;
using namespace mirdane::test;

class OdbcSqlite : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = Services::Get().SqliteSource(dir_.path() / "xa.db");
    OpenSchemaSession(source_, u"", u"")
        ->Execute(u"CREATE TABLE MAIN.T (C CHAR(10) NOT NULL DEFAULT '          ', "
                  u"V VARCHAR(20) NOT NULL DEFAULT '', D DECIMAL(15, 2) NOT NULL DEFAULT 0, "
                  u"N NUMERIC(5, 1) NOT NULL DEFAULT 0, I INTEGER NOT NULL DEFAULT 0)");
  }

  std::shared_ptr<Connection> Open() {
    HRESULT result = 0;
    auto connection = OpenConnection(source_, u"", u"", &result);
    EXPECT_EQ(result, 0) << ErrorsText(connection);
    return connection;
  }

  std::shared_ptr<Recordset> OpenT(const std::shared_ptr<Connection>& connection) {
    HRESULT result = 0;
    auto recordset = OpenInsert(connection, u"SELECT * FROM MAIN.T WHERE 1=0", &result);
    EXPECT_EQ(result, 0) << ErrorsText(connection);
    return recordset;
  }

  QueryResult Rows(const char16_t* sql) { return OpenSchemaSession(source_, u"", u"")->Query(sql); }

  TempDir dir_;
  std::u16string source_;
};

// Values are bound, never written into the statement: texts that would break
// or extend an INSERT arrive as they are. Columns a row does not assign take
// their defaults, and rows with other assigned columns use their own INSERT.
TEST_F(OdbcSqlite, RowsStoreTheirValuesVerbatimAndDefaultsForTheRest) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  ASSERT_EQ(InsertRow(recordset, {{u"V", u"O'Brien\"); DROP"}, {u"I", u"7"}}), 0)
      << ErrorsText(connection);
  ASSERT_EQ(InsertRow(recordset, {{u"c", u"Z"}}), 0) << ErrorsText(connection);
  ASSERT_EQ(InsertRow(recordset, {{u"I", u"8"}, {u"V", u"second"}}), 0) << ErrorsText(connection);
  ASSERT_EQ(recordset->Close(), 0);
  ASSERT_EQ(connection->Close(), 0);

  const auto rows = Rows(u"SELECT V, I, C, D FROM MAIN.T ORDER BY rowid");
  ASSERT_EQ(rows.rows.size(), 3u);
  EXPECT_EQ(rows.rows[0][0], u"O'Brien\"); DROP");
  EXPECT_EQ(rows.rows[0][1], u"7");
  EXPECT_EQ(rows.rows[0][2], u"          ");
  EXPECT_EQ(rows.rows[0][3], u"0");
  EXPECT_EQ(rows.rows[1][2], u"Z");
  EXPECT_EQ(rows.rows[2][0], u"second");
}

TEST_F(OdbcSqlite, AMissingTableFailsTheOpenWithTheDriversDiagnostics) {
  auto connection = Open();
  HRESULT result = 0;
  OpenInsert(connection, u"SELECT * FROM MAIN.NOPE WHERE 1=0", &result);
  EXPECT_LT(result, 0);
  const std::string errors = ErrorsText(connection);
  EXPECT_NE(errors.find("SQLSTATE "), std::string::npos) << errors;
  EXPECT_NE(errors.find("no such table"), std::string::npos) << errors;
  // A source that is not the release's query never reaches the driver.
  OpenInsert(connection, u"SELECT * FROM MAIN.T WHERE 1=0; DROP TABLE MAIN.T", &result);
  EXPECT_LT(result, 0);
  EXPECT_NO_THROW(Rows(u"SELECT * FROM MAIN.T")) << "the table must still be there";
}

// Closing the connection frees the statements the driver still holds; the
// recordset's later calls fail cleanly instead of using freed handles.
TEST_F(OdbcSqlite, AClosedConnectionFailsLaterInsertsCleanly) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  ASSERT_EQ(InsertRow(recordset, {{u"I", u"1"}}), 0);
  ASSERT_EQ(connection->Close(), 0);
  EXPECT_LT(InsertRow(recordset, {{u"I", u"2"}}), 0);
  recordset.reset();
  EXPECT_EQ(Rows(u"SELECT I FROM MAIN.T").rows.size(), 1u);
}

TEST_F(OdbcSqlite, AnUnknownDataSourceNamesItselfButNotThePassword) {
  HRESULT result = 0;
  auto connection = OpenConnection(u"odbc:DSN=mirdane_no_such_dsn", u"bob", u"pa55word", &result);
  EXPECT_LT(result, 0);
  const std::string errors = ErrorsText(connection);
  EXPECT_NE(errors.find("DSN=mirdane_no_such_dsn;UID=bob"), std::string::npos) << errors;
  EXPECT_NE(errors.find("IM002"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("pa55word"), std::string::npos) << errors;
}

// On Linux a plain system name is the IBM i through IBM's driver; where that
// driver is not installed, the message says which driver and system it tried.
TEST_F(OdbcSqlite, APlainSystemNameGoesToIbmsDriver) {
  HRESULT result = 0;
  auto connection = OpenConnection(u"as400.example.com", u"XAUSER", u"Zq9-secret", &result);
  EXPECT_LT(result, 0);
  const std::string errors = ErrorsText(connection);
  EXPECT_NE(errors.find("Connecting to the ODBC data source DRIVER={IBM i Access ODBC Driver};"
                        "SYSTEM=as400.example.com;UID=XAUSER failed."),
            std::string::npos)
      << errors;
  EXPECT_EQ(errors.find("Zq9-secret"), std::string::npos) << errors;
}

}  // namespace
}  // namespace dbAx::provider
