#include "dbax/provider/sqlite/standin_schema.h"

#include <filesystem>

#include "base/text.h"
#include "dbax/provider/sqlite/standin_system.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::Utf16ToUtf8;
using mirdane::Utf8ToUtf16;

// Only identifiers name libraries: a library is a file, and a name such as
// "../x" must not lead out of the system's folder.
void RequireIdentifier(const std::u16string& name, const char* what) {
  if (!dbAx::IsSqlIdentifier(name)) {
    throw SchemaError(std::string("the ") + what + " name '" + Utf16ToUtf8(name) +
                      "' is not an SQL identifier");
  }
}

class StandInSchema final : public SchemaSession {
 public:
  explicit StandInSchema(std::filesystem::path directory) : system_(std::move(directory)) {}

  bool LibraryExists(const std::u16string& library) override {
    RequireIdentifier(library, "library");
    try {
      return system_.Use(library);
    } catch (const std::exception& error) {
      throw SchemaError(error.what());
    }
  }

  void CreateLibrary(const std::u16string& library) override {
    RequireIdentifier(library, "library");
    try {
      system_.CreateLibrary(library);
    } catch (const std::exception& error) {
      throw SchemaError(error.what());
    }
  }

  std::u16string QualifiedName(const std::u16string& library,
                               const std::u16string& table) override {
    RequireIdentifier(library, "library");
    RequireIdentifier(table, "table");
    return Utf8ToUtf16(QuoteIdentifier(Utf16ToUtf8(library)) + "." +
                       QuoteIdentifier(Utf16ToUtf8(table)));
  }

  bool TableExists(const std::u16string& library, const std::u16string& table) override {
    return !DescribeTable(library, table).empty();
  }

  std::vector<TableColumn> DescribeTable(const std::u16string& library,
                                         const std::u16string& table) override {
    std::vector<TableColumn> columns;
    if (!LibraryExists(library)) return columns;
    const std::string sql = "PRAGMA " + QuoteIdentifier(Utf16ToUtf8(library)) + ".table_info(" +
                            QuoteIdentifier(Utf16ToUtf8(table)) + ")";
    auto statement = Prepare(sql);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
      TableColumn column;
      column.name = Utf8ToUtf16(Text(statement.get(), 1));
      const std::string declared = Text(statement.get(), 2);
      column.type = ParseSqlType(Utf8ToUtf16(declared));
      // SQLite lets a column be declared without a type.
      column.type_known = !declared.empty();
      column.nullable = sqlite3_column_int(statement.get(), 3) == 0;
      if (sqlite3_column_type(statement.get(), 4) != SQLITE_NULL) {
        column.default_value = Utf8ToUtf16(Text(statement.get(), 4));
      }
      columns.push_back(std::move(column));
    }
    return columns;
  }

  std::vector<std::vector<std::u16string>> UniqueKeys(const std::u16string& library,
                                                     const std::u16string& table) override {
    std::vector<std::vector<std::u16string>> keys;
    if (!LibraryExists(library)) return keys;
    const std::string schema = QuoteIdentifier(Utf16ToUtf8(library));
    auto list = Prepare("PRAGMA " + schema + ".index_list(" + QuoteIdentifier(Utf16ToUtf8(table)) + ")");
    std::vector<std::string> unique;
    while (sqlite3_step(list.get()) == SQLITE_ROW) {
      if (sqlite3_column_int(list.get(), 2) != 0) unique.push_back(Text(list.get(), 1));
    }
    for (const auto& index : unique) {
      auto info = Prepare("PRAGMA " + schema + ".index_info(" + QuoteIdentifier(index) + ")");
      auto& key = keys.emplace_back();
      while (sqlite3_step(info.get()) == SQLITE_ROW) key.push_back(Utf8ToUtf16(Text(info.get(), 2)));
    }
    return keys;
  }

  void Execute(const std::u16string& sql) override {
    const std::string utf8 = Utf16ToUtf8(sql);
    const char* next = utf8.c_str();
    while (*next) {
      const char* tail = nullptr;
      StatementHandle statement = Prepare(next, &tail);
      next = tail;
      if (!statement) continue;  // blanks or a comment
      int rc = SQLITE_ROW;
      while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) throw SchemaError(system_.LastError() + " (in: " + utf8 + ")");
    }
  }

  QueryResult Query(const std::u16string& sql) override {
    auto statement = Prepare(Utf16ToUtf8(sql));
    QueryResult result;
    const int count = sqlite3_column_count(statement.get());
    for (int i = 0; i < count; ++i) {
      result.columns.push_back(Utf8ToUtf16(sqlite3_column_name(statement.get(), i)));
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
      auto& row = result.rows.emplace_back();
      for (int i = 0; i < count; ++i) {
        if (sqlite3_column_type(statement.get(), i) == SQLITE_NULL) row.emplace_back();
        else row.emplace_back(Utf8ToUtf16(Text(statement.get(), i)));
      }
    }
    if (rc != SQLITE_DONE) throw SchemaError(system_.LastError() + " (in: " + Utf16ToUtf8(sql) + ")");
    return result;
  }

 private:
  // Prepares the first statement of `sql`, attaching the libraries it names.
  StatementHandle Prepare(const std::string& sql) { return Prepare(sql.c_str(), nullptr); }
  StatementHandle Prepare(const char* sql, const char** tail) {
    StatementHandle statement;
    try {
      if (system_.Prepare(sql, &statement, tail) != SQLITE_OK) {
        throw SchemaError(system_.LastError() + " (in: " + sql + ")");
      }
    } catch (const LibraryError& error) {
      throw SchemaError(error.what());
    }
    return statement;
  }

  static std::string Text(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? text : "";
  }

  StandInSystem system_;
};

}  // namespace

std::unique_ptr<SchemaSession> OpenStandInSchema(const std::u16string& directory) {
  const std::filesystem::path path(Utf16ToUtf8(directory));
  if (mirdane::TrimBlanks(directory).empty()) {
    throw SchemaError("the stand-in data source sqlite: names no system directory");
  }
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error) {
    throw SchemaError("the stand-in system directory '" + path.string() +
                      "' cannot be created: " + error.message());
  }
  try {
    return std::make_unique<StandInSchema>(path);
  } catch (const SchemaError&) {
    throw;
  } catch (const std::exception& failure) {
    throw SchemaError(failure.what());
  }
}

}  // namespace dbAx::provider::sqlite
