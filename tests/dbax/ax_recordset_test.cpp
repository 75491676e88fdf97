// CAxRecordset on the embedded stand-in, and on the fake where a failure
// must be forced.
#include <gtest/gtest.h>

#include "bridge/bridge_tool.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_recordset.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/fake_provider.h"
#include "tests/support/temp_dir.h"

namespace dbAx {
namespace {

using mirdane::test::TempDir;

std::u16string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (CAxException* e) {
    return TakeAxException(e)->message;
  }
  return u"(nothing thrown)";
}

// A stand-in system with XALIB and a small table T of the types that matter.
class StandInRecordset : public ::testing::Test {
 protected:
  void SetUp() override {
    auto schema = provider::OpenSchemaSession(dir_.StandInSource(), u"", u"");
    schema->CreateLibrary(u"XALIB");
    schema->Execute(u"CREATE TABLE XALIB.T (C CHAR(10) NOT NULL DEFAULT ' ', "
                    u"D DECIMAL(4, 2) NOT NULL DEFAULT 0, W DECIMAL(7, 0) NOT NULL DEFAULT 0)");
    connection_.Create();
    connection_.CursorLocation(3);
    connection_.Open(u"Provider=IBMDA400;Data source=" + dir_.StandInSource() + u";Force Translate=0",
                     u"", u"", -1);
  }

  void OpenForInsert(CAxRecordset& recordset, const std::u16string& select = u"*") {
    ASSERT_EQ(recordset.Create(), 0);
    recordset.CursorType(0);
    recordset.CacheSize(1);
    recordset.Open(u"SELECT " + select + u" FROM XALIB.T WHERE 1=0", &connection_, 0, 3, 3, -1);
    recordset.MarshalOptions(1);
    recordset.AddNew();
  }

  std::vector<std::vector<std::optional<std::u16string>>> Rows() {
    return provider::OpenSchemaSession(dir_.StandInSource(), u"", u"")
        ->Query(u"SELECT C, D, W FROM XALIB.T")
        .rows;
  }

  TempDir dir_;
  CAxConnection connection_;
};

TEST_F(StandInRecordset, TheDigitCheckCountsDigitsOnly) {
  CAxRecordset recordset;
  OpenForInsert(recordset);
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"D", u"12.50"));
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"D", u" -01.5 "));
  // A sign is no digit: four digits fill DECIMAL(4, 2) with or without one.
  EXPECT_EQ(DecimalDigitCount(u"-12.50"), 4);
  EXPECT_EQ(DecimalDigitCount(u"+0012.50"), 4);
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"D", u"+12.50"));
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"D", u"-12.50"));
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"W", u"2024123"));
  EXPECT_EQ(MessageOf([&] { recordset.SetFieldTextChecked(u"W", u"20241231"); }),
            u"Invalid number of digits in decimal Field 'W' (8 > 7) (Error Code: 0x00000000)");
  EXPECT_EQ(MessageOf([&] { recordset.SetFieldTextChecked(u"D", u"123.456"); }),
            u"Invalid number of digits in decimal Field 'D' (6 > 4) (Error Code: 0x00000000)");
  recordset.Update();
  EXPECT_EQ(Rows().at(0).at(2), u"2024123");
  EXPECT_EQ(Rows().at(0).at(1), u"-12.5") << "the last value given, sign and all";
}

TEST_F(StandInRecordset, RefusalsArriveAsComposedMessagesAndTheRowIsCancelled) {
  CAxRecordset recordset;
  OpenForInsert(recordset);
  EXPECT_EQ(MessageOf([&] { recordset.SetFieldTextChecked(u"C", u"ABCDEFGHIJK"); }),
            u"Failed to set Field 'C' to value 'ABCDEFGHIJK' (Error Code: 0x80040e21)\n"
            u"SQL0404 - Value for column C too long: 'ABCDEFGHIJK' has 11 characters, CHAR(10) "
            u"holds 10.");
  // The empty text passes the digit check; the column refuses it as no number.
  EXPECT_EQ(MessageOf([&] { recordset.SetFieldTextChecked(u"D", u""); }),
            u"Failed to set Field 'D' to value '' (Error Code: 0x80040e21)\n"
            u"SQL0302 - Conversion error on column D: '' is not a number, which DECIMAL(4, 2) "
            u"requires.");
  EXPECT_EQ(MessageOf([&] { recordset.SetFieldTextChecked(u"D", u"1.234"); }),
            u"Failed to set Field 'D' to value '1.234' (Error Code: 0x80040e21)\n"
            u"SQL0406 - Conversion error on column D: '1.234' has 3 digits after the decimal "
            u"point, DECIMAL(4, 2) holds 2.");
  recordset.CancelUpdate();
  recordset.Close();
  EXPECT_TRUE(Rows().empty());
}

TEST_F(StandInRecordset, ColumnsTheSourceLacksOrCannotWriteArePassedOverSilently) {
  CAxRecordset recordset;
  OpenForInsert(recordset, u"C, D, W, 1 AS X");
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"NOSUCH", u"anything"));
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"X", u"not written"));
  EXPECT_TRUE(recordset.SetFieldTextChecked(u"C", u"AB"));
  recordset.Update();
  recordset.CancelUpdate();  // right after a stored row: nothing happens
  const auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], u"AB        ") << "padded to the column's length";
  EXPECT_EQ(rows[0][1], u"0") << "unassigned columns take their defaults";
}

TEST_F(StandInRecordset, AccessorsSetOnlyInsideTheirRange) {
  CAxRecordset recordset;
  ASSERT_EQ(recordset.Create(), 0);
  EXPECT_EQ(recordset.CursorLocation(0), 2) << "only read";
  EXPECT_EQ(recordset.CursorLocation(3), 3);
  EXPECT_EQ(recordset.CursorType(5), 0);
  EXPECT_EQ(recordset.CacheSize(0), 1);
  EXPECT_EQ(recordset.CacheSize(4), 4);
  EXPECT_EQ(recordset.MarshalOptions(2), 0);
  EXPECT_EQ(recordset.MarshalOptions(1), 1);
}

TEST_F(StandInRecordset, MissingLibraryOrTableFailsTheOpenNamingIt) {
  CAxRecordset recordset;
  EXPECT_EQ(MessageOf([&] { recordset.Open(u"SELECT * FROM .UAGYCPP WHERE 1=0", &connection_, 0, 3, 3, -1); }),
            u"CAxRecordset::Open\nSQL0104 - Token . was not valid: the library name is missing "
            u"before .UAGYCPP in SELECT * FROM .UAGYCPP WHERE 1=0\nCOM Error: Unspecified error");
  const auto missing_table = MessageOf(
      [&] { recordset.Open(u"SELECT * FROM XALIB.UAGYCPP WHERE 1=0", &connection_, 0, 3, 3, -1); });
  EXPECT_NE(missing_table.find(u"SQL0204 - UAGYCPP in XALIB type *FILE not found."), std::u16string::npos);
  const auto missing_library = MessageOf(
      [&] { recordset.Open(u"SELECT * FROM NOLIB.UAGYCPP WHERE 1=0", &connection_, 0, 3, 3, -1); });
  EXPECT_NE(missing_library.find(u"SQL0204 - NOLIB in *LIBL type *LIB not found"), std::u16string::npos);
}

TEST_F(StandInRecordset, ClosingWithAPendingRowFailsWithCode5009) {
  CAxRecordset recordset;
  OpenForInsert(recordset);
  try {
    recordset.Close();
    FAIL() << "close with a pending row must fail";
  } catch (CAxException* caught) {
    auto e = TakeAxException(caught);
    EXPECT_EQ(e->code, kAxErrorClose);
    EXPECT_EQ(e->message.rfind(u"The dbAx Library failed to close\nCOM Error: Unknown error 0x800A0C93", 0), 0u);
  }
}

TEST(AxRecordset, UpdateResyncsFirstWhenSupportedAndFailsOnlyWhenBothResyncsFail) {
  mirdane::test::ScopedFakeProvider fake;
  fake.script().supports_resync = true;
  CAxRecordset recordset;
  ASSERT_EQ(recordset.Create(), 0);
  fake.script().fail["Resync1"] = mirdane::hr::kFail;
  recordset.Update();
  std::vector<std::string> resyncs_and_update;
  for (const auto& call : fake.script().log) {
    if (call.starts_with("r.Resync") || call == "r.Update") resyncs_and_update.push_back(call);
  }
  EXPECT_EQ(resyncs_and_update, (std::vector<std::string>{"r.Resync1", "r.Resync2", "r.Update"}));

  fake.script().fail["Resync2"] = mirdane::hr::kFail;
  EXPECT_EQ(MessageOf([&] { recordset.Update(); }).rfind(u"CAxRecordset::Update", 0), 0u);
}

// Each name is looked up in the Fields collection once per open recordset,
// whatever its case and however often it is assigned; a name the source
// lacks is remembered too. Reopening looks the names up again.
TEST(AxRecordset, EachNameIsLookedUpOncePerOpenRecordset) {
  mirdane::test::ScopedFakeProvider fake;
  fake.script().columns = {u"GYABNV", u"GYALNA"};
  CAxConnection connection;
  connection.Create();
  connection.Open(u"Provider=IBMDA400;Data source=x", u"", u"", -1);
  CAxRecordset recordset;
  ASSERT_EQ(recordset.Create(), 0);
  const auto lookups = [&] {
    std::vector<std::string> found;
    for (const auto& call : fake.script().log) {
      if (call.starts_with("r.Item:") || call.starts_with("r.Put:")) found.push_back(call);
    }
    fake.script().log.clear();
    return found;
  };
  recordset.Open(u"SELECT * FROM L.T WHERE 1=0", &connection, 0, 3, 3, -1);
  for (int row = 0; row < 3; ++row) {
    recordset.SetFieldTextChecked(u"GYABNV", u"1");
    recordset.SetFieldTextChecked(u"gyabnv", u"2");
    recordset.SetFieldTextChecked(u"NOSUCH", u"3");
  }
  EXPECT_EQ(lookups(), (std::vector<std::string>{
                           "r.Item:GYABNV", "r.Put:GYABNV", "r.Put:GYABNV", "r.Item:NOSUCH",
                           "r.Put:GYABNV", "r.Put:GYABNV", "r.Put:GYABNV", "r.Put:GYABNV"}));

  recordset.Close();
  recordset.Open(u"SELECT * FROM L.T WHERE 1=0", &connection, 0, 3, 3, -1);
  recordset.SetFieldText(u"GYABNV", u"1");
  EXPECT_EQ(lookups(), (std::vector<std::string>{"r.Item:GYABNV", "r.Put:GYABNV"}));
}

}  // namespace
}  // namespace dbAx
