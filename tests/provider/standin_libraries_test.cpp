// A stand-in system with many libraries, damaged ones, and names that SQLite
// would read as something else unquoted.
#include <gtest/gtest.h>

#include <fstream>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/sqlite/standin_system.h"
#include "tests/support/temp_dir.h"

namespace dbAx::provider {
namespace {

using mirdane::Utf16ToUtf8;
using mirdane::Utf8ToUtf16;
using mirdane::Variant;
using mirdane::test::TempDir;

class StandInLibraries : public ::testing::Test {
 protected:
  void CreateLibrary(const std::string& library) {
    auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
    const std::u16string name = Utf8ToUtf16(library);
    schema->CreateLibrary(name);
    schema->Execute(u"CREATE TABLE " + schema->QualifiedName(name, u"T") +
                    u" (C CHAR(8) NOT NULL DEFAULT '')");
  }

  std::shared_ptr<Connection> Open() {
    std::shared_ptr<Connection> connection;
    EXPECT_EQ(CreateConnection(&connection), 0);
    EXPECT_EQ(connection->Open(u"Provider=IBMDA400;Data source=" + dir_.StandInSource() +
                                   u";Force Translate=0", u"", u"", -1), 0);
    return connection;
  }

  // Stores one row with C = `value` in LIBRARY.T; the provider's error otherwise.
  std::string Store(const std::shared_ptr<Connection>& connection, const std::string& library,
                    const std::string& value) {
    std::shared_ptr<Recordset> recordset;
    EXPECT_EQ(CreateRecordset(&recordset), 0);
    const auto source = Utf8ToUtf16("SELECT * FROM " + library + ".T WHERE 1=0");
    if (recordset->Open(Variant::Text(source), Variant::ObjectRef(connection), 0, 3, -1) != 0) {
      return ErrorOf(connection);
    }
    std::shared_ptr<Fields> fields;
    std::shared_ptr<Field> field;
    EXPECT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
    EXPECT_EQ(recordset->get_Fields(&fields), 0);
    EXPECT_EQ(fields->get_Item(Variant::Text(u"C"), &field), 0);
    EXPECT_EQ(field->put_Value(Variant::Text(Utf8ToUtf16(value))), 0);
    if (recordset->Update(Variant::Missing(), Variant::Missing()) != 0) return ErrorOf(connection);
    recordset->Close();
    return "stored";
  }

  static std::string ErrorOf(const std::shared_ptr<Connection>& connection) {
    std::shared_ptr<Errors> errors;
    connection->get_Errors(&errors);
    std::int32_t count = 0;
    errors->get_Count(&count);
    std::string text;
    for (std::int32_t i = 0; i < count; ++i) {
      std::shared_ptr<Error> error;
      std::u16string description;
      errors->get_Item(Variant::I4(i), &error);
      error->get_Description(&description);
      text += Utf16ToUtf8(description);
    }
    return text;
  }

  std::size_t RowsIn(const std::string& library) {
    auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
    return schema->Query(u"SELECT C FROM " + schema->QualifiedName(Utf8ToUtf16(library), u"T")).rows.size();
  }

  std::filesystem::path System() const { return dir_.path() / "system"; }

  TempDir dir_;
};

TEST_F(StandInLibraries, OneConnectionUsesMoreLibrariesThanSQLiteAttachesAtOnce) {
  const int limit = sqlite::StandInSystem(System().parent_path()).AttachLimit();
  const int count = limit + 3;
  for (int i = 0; i < count; ++i) CreateLibrary("LIB" + std::to_string(i));
  const auto connection = Open();
  // Twice round: the second round finds every library detached again.
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(Store(connection, "LIB" + std::to_string(i), "r" + std::to_string(round)), "stored")
          << "LIB" << i << " round " << round;
    }
  }
  for (int i = 0; i < count; ++i) EXPECT_EQ(RowsIn("LIB" + std::to_string(i)), 2u) << i;
}

TEST_F(StandInLibraries, ADamagedLibraryFailsOnlyTheStatementsThatNameIt) {
  CreateLibrary("XALIB");
  std::ofstream(System() / "BROKEN.db", std::ios::binary) << std::string(4096, 'x');
  CreateLibrary("OTHER");
  const auto connection = Open();
  EXPECT_EQ(Store(connection, "XALIB", "a"), "stored");
  const std::string refused = Store(connection, "BROKEN", "b");
  EXPECT_NE(refused.find("BROKEN.db"), std::string::npos) << refused;
  EXPECT_EQ(Store(connection, "OTHER", "c"), "stored") << "after the damaged one was named";
  EXPECT_EQ(Store(connection, "XALIB", "d"), "stored");
  EXPECT_EQ(RowsIn("XALIB"), 2u);
  EXPECT_EQ(RowsIn("OTHER"), 1u);
}

TEST_F(StandInLibraries, NamesWithMarksAreQuotedWhereverTheyEnterAStatement) {
  for (const char* library : {"XA#LIB", "X@Y", "A_$1", "#$@_"}) {
    CreateLibrary(library);
    const auto connection = Open();
    EXPECT_EQ(Store(connection, library, library), "stored") << library;
    EXPECT_EQ(RowsIn(library), 1u) << library;
    EXPECT_TRUE(std::filesystem::exists(System() / (std::string(library) + ".db"))) << library;
  }
  // Only SQL identifiers name libraries: the file is never made elsewhere.
  auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
  EXPECT_THROW(schema->CreateLibrary(u"../ESCAPED"), SchemaError);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "ESCAPED.db"));
}

}  // namespace
}  // namespace dbAx::provider
