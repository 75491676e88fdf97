// The embedded IBM i stand-in through the provider's ADO-shaped objects.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/temp_dir.h"

namespace dbAx::provider {
namespace {

using mirdane::Variant;
using mirdane::test::TempDir;

class StandIn : public ::testing::Test {
 protected:
  void SetUp() override {
    auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
    schema->CreateLibrary(u"XALIB");
    schema->Execute(u"CREATE TABLE XALIB.T (C CHAR(10) NOT NULL DEFAULT '          ', "
                    u"V VARCHAR(20) NOT NULL DEFAULT '', D DECIMAL(15, 2) NOT NULL DEFAULT 0, "
                    u"N NUMERIC(5, 1) NOT NULL DEFAULT 0, I INTEGER NOT NULL DEFAULT 0)");
  }

  std::shared_ptr<Connection> Open() {
    std::shared_ptr<Connection> connection;
    EXPECT_EQ(CreateConnection(&connection), 0);
    EXPECT_EQ(connection->Open(u"Provider=IBMDA400;Data source=" + dir_.StandInSource() +
                                   u";Force Translate=0", u"", u"", -1), 0);
    return connection;
  }

  std::shared_ptr<Recordset> OpenT(const std::shared_ptr<Connection>& connection) {
    std::shared_ptr<Recordset> recordset;
    EXPECT_EQ(CreateRecordset(&recordset), 0);
    EXPECT_EQ(recordset->Open(Variant::Text(u"SELECT * FROM XALIB.T WHERE 1=0"),
                              Variant::ObjectRef(connection), 0, 3, -1), 0);
    return recordset;
  }

  std::shared_ptr<Field> FieldOf(const std::shared_ptr<Recordset>& recordset, const char16_t* name) {
    std::shared_ptr<Fields> fields;
    EXPECT_EQ(recordset->get_Fields(&fields), 0);
    std::shared_ptr<Field> field;
    EXPECT_EQ(fields->get_Item(Variant::Text(name), &field), 0) << mirdane::Utf16ToUtf8(name);
    return field;
  }

  QueryResult Rows(const char16_t* sql = u"SELECT * FROM XALIB.T") {
    return OpenSchemaSession(dir_.StandInSource(), u"", u"")->Query(sql);
  }

  TempDir dir_;
};

TEST_F(StandIn, ColumnsReportAdoTypesFromTheirDeclaredTypes) {
  auto recordset = OpenT(Open());
  struct Expected {
    const char16_t* name;
    std::int32_t type;
    std::uint8_t precision, scale;
  };
  for (const auto& e : {Expected{u"C", 129, 0, 0}, Expected{u"V", 200, 0, 0},
                        Expected{u"D", 14, 15, 2}, Expected{u"N", 131, 5, 1},
                        Expected{u"I", 3, 0, 0}}) {
    auto field = FieldOf(recordset, e.name);
    std::int32_t type = 0, attributes = 0;
    std::uint8_t precision = 0, scale = 0;
    field->get_Type(&type);
    field->get_Precision(&precision);
    field->get_NumericScale(&scale);
    field->get_Attributes(&attributes);
    EXPECT_EQ(type, e.type) << mirdane::Utf16ToUtf8(e.name);
    EXPECT_EQ(precision, e.precision);
    EXPECT_EQ(scale, e.scale);
    EXPECT_TRUE(attributes & ado::adFldUpdatable);
  }
  bool bof = false, eof = false;
  recordset->get_BOF(&bof);
  recordset->get_EOF(&eof);
  EXPECT_TRUE(bof && eof) << "WHERE 1=0 has no row";
}

TEST_F(StandIn, ARefusedValueFailsThePutAndLeavesItsReasonInTheErrors) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  ASSERT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
  EXPECT_EQ(FieldOf(recordset, u"D")->put_Value(Variant::Text(u"12A")), ado::DB_E_ERRORSOCCURRED);
  std::shared_ptr<Errors> errors;
  connection->get_Errors(&errors);
  std::int32_t count = 0;
  errors->get_Count(&count);
  ASSERT_EQ(count, 1);
  std::shared_ptr<Error> error;
  errors->get_Item(Variant::I4(0), &error);
  std::u16string description;
  error->get_Description(&description);
  EXPECT_EQ(description, u"SQL0302 - Conversion error on column D: '12A' is not a number, which "
                         u"DECIMAL(15, 2) requires.");
}

TEST_F(StandIn, AStoredRowHoldsItsValuesAndTheDefaultsOfTheRest) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  ASSERT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
  ASSERT_EQ(FieldOf(recordset, u"d")->put_Value(Variant::Text(u"1234567890123.45")), 0)
      << "names match without regard to case, as in ADO";
  ASSERT_EQ(FieldOf(recordset, u"I")->put_Value(Variant::Text(u"-7")), 0);
  ASSERT_EQ(recordset->Update(Variant::Missing(), Variant::Missing()), 0);
  ASSERT_EQ(recordset->Close(), 0);
  ASSERT_EQ(connection->Close(), 0);

  const auto rows = Rows(u"SELECT C, V, printf('%.2f', D), N, I FROM XALIB.T");
  ASSERT_EQ(rows.rows.size(), 1u);
  EXPECT_EQ(rows.rows[0][0], u"          ");
  EXPECT_EQ(rows.rows[0][1], u"");
  EXPECT_EQ(rows.rows[0][2], u"1234567890123.45");
  EXPECT_EQ(rows.rows[0][3], u"0");
  EXPECT_EQ(rows.rows[0][4], u"-7");
}

TEST_F(StandIn, EachNewRowStartsEmptyAndARefusedRowStaysPendingAsItWas) {
  OpenSchemaSession(dir_.StandInSource(), u"", u"")
      ->Execute(u"CREATE UNIQUE INDEX XALIB.TV ON T (V)");
  auto connection = Open();
  auto recordset = OpenT(connection);
  const auto store = [&](std::initializer_list<std::pair<const char16_t*, const char16_t*>> values) {
    EXPECT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
    for (const auto& [name, value] : values) {
      EXPECT_EQ(FieldOf(recordset, name)->put_Value(Variant::Text(value)), 0);
    }
    return recordset->Update(Variant::Missing(), Variant::Missing());
  };
  ASSERT_EQ(store({{u"C", u"A"}, {u"V", u"x"}, {u"I", u"1"}}), 0);
  ASSERT_EQ(store({{u"V", u"y"}}), 0) << "nothing of the row before is stored again";
  ASSERT_LT(store({{u"V", u"x"}, {u"I", u"3"}}), 0) << "a duplicate key";
  // The refused row is still pending with its values: mending one stores all.
  ASSERT_EQ(FieldOf(recordset, u"V")->put_Value(Variant::Text(u"z")), 0);
  ASSERT_EQ(recordset->Update(Variant::Missing(), Variant::Missing()), 0);
  // Texts a column took before are taken alike again; one it refused is
  // refused again, and leaves the value the column was given before.
  ASSERT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
  ASSERT_EQ(FieldOf(recordset, u"C")->put_Value(Variant::Text(u"B")), 0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_LT(FieldOf(recordset, u"C")->put_Value(Variant::Text(u"ABCDEFGHIJK")), 0);
  }
  ASSERT_EQ(FieldOf(recordset, u"V")->put_Value(Variant::Text(u"v")), 0);
  ASSERT_EQ(recordset->Update(Variant::Missing(), Variant::Missing()), 0);
  ASSERT_EQ(store({{u"C", u"A"}, {u"V", u"w"}, {u"I", u"1"}}), 0);
  ASSERT_EQ(recordset->Close(), 0);
  ASSERT_EQ(connection->Close(), 0);

  const auto rows = Rows(u"SELECT C, V, I FROM XALIB.T ORDER BY rowid");
  ASSERT_EQ(rows.rows.size(), 5u);
  const std::vector<std::vector<std::optional<std::u16string>>> expected = {
      {u"A         ", u"x", u"1"}, {u"          ", u"y", u"0"}, {u"          ", u"z", u"3"},
      {u"B         ", u"v", u"0"}, {u"A         ", u"w", u"1"}};
  EXPECT_EQ(rows.rows, expected);
}

TEST_F(StandIn, AMissingSystemDirectoryFailsTheOpenWithAProviderError) {
  std::shared_ptr<Connection> connection;
  ASSERT_EQ(CreateConnection(&connection), 0);
  EXPECT_LT(connection->Open(u"Data source=sqlite:/nonexistent/system", u"", u"", -1), 0);
  std::shared_ptr<Errors> errors;
  connection->get_Errors(&errors);
  std::shared_ptr<Error> error;
  ASSERT_EQ(errors->get_Item(Variant::I4(0), &error), 0);
  std::u16string description;
  error->get_Description(&description);
  EXPECT_NE(description.find(u"/nonexistent/system"), std::u16string::npos);
}

TEST_F(StandIn, ALibraryCreatedAfterTheConnectionOpenedIsFound) {
  auto connection = Open();
  auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
  schema->CreateLibrary(u"LATER");
  schema->Execute(u"CREATE TABLE LATER.T (C CHAR(1) NOT NULL DEFAULT ' ')");
  std::shared_ptr<Recordset> recordset;
  ASSERT_EQ(CreateRecordset(&recordset), 0);
  EXPECT_EQ(recordset->Open(Variant::Text(u"SELECT * FROM later.T WHERE 1=0"),
                            Variant::ObjectRef(connection), 0, 3, -1), 0);
}

// Two processes writing into the same library at once wait for each other's
// commits; neither fails and no row is lost.
TEST_F(StandIn, TwoProcessesWritingAtOnceBothSucceed) {
  constexpr int kRowsPerProcess = 150;
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      auto connection = Open();
      auto recordset = OpenT(connection);
      for (int i = 0; i < kRowsPerProcess; ++i) {
        if (recordset->AddNew(Variant::Missing(), Variant::Missing()) < 0) ++failures;
        if (FieldOf(recordset, u"I")->put_Value(Variant::Text(mirdane::U16(std::to_string(child)))) < 0) ++failures;
        if (recordset->Update(Variant::Missing(), Variant::Missing()) < 0) ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(Rows(u"SELECT I, COUNT(*) FROM XALIB.T GROUP BY I").rows.size(), 2u);
  EXPECT_EQ(Rows().rows.size(), 2u * kRowsPerProcess);
}

}  // namespace
}  // namespace dbAx::provider
