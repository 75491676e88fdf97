#include "dbax/provider/sqlite/standin_schema.h"

#include <filesystem>

#include "base/text.h"
#include "dbax/provider/sqlite/standin_system.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::Utf16ToUtf8;
using mirdane::Utf8ToUtf16;

class StandInSchema final : public SchemaSession {
 public:
  explicit StandInSchema(std::filesystem::path directory) : system_(std::move(directory)) {}

  bool LibraryExists(const std::u16string& library) override {
    return system_.AttachIfPresent(library);
  }

  void CreateLibrary(const std::u16string& library) override {
    try {
      system_.CreateLibrary(library);
    } catch (const std::exception& error) {
      throw SchemaError(error.what());
    }
  }

  bool TableExists(const std::u16string& library, const std::u16string& table) override {
    return !DescribeTable(library, table).empty();
  }

  std::vector<TableColumn> DescribeTable(const std::u16string& library,
                                         const std::u16string& table) override {
    std::vector<TableColumn> columns;
    if (!system_.AttachIfPresent(library)) return columns;
    const std::string sql = "PRAGMA " + QuoteIdentifier(Utf16ToUtf8(library)) + ".table_info(" +
                            QuoteIdentifier(Utf16ToUtf8(table)) + ")";
    auto statement = Prepare(sql);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
      TableColumn column;
      column.name = Utf8ToUtf16(Text(statement.get(), 1));
      column.type = ParseSqlType(Utf8ToUtf16(Text(statement.get(), 2)));
      column.nullable = sqlite3_column_int(statement.get(), 3) == 0;
      if (sqlite3_column_type(statement.get(), 4) != SQLITE_NULL) {
        column.default_value = Utf8ToUtf16(Text(statement.get(), 4));
      }
      columns.push_back(std::move(column));
    }
    return columns;
  }

  void Execute(const std::u16string& sql) override {
    char* message = nullptr;
    if (sqlite3_exec(system_.db(), Utf16ToUtf8(sql).c_str(), nullptr, nullptr, &message) !=
        SQLITE_OK) {
      const std::string text = message ? message : system_.LastError();
      sqlite3_free(message);
      throw SchemaError(text + " (in: " + Utf16ToUtf8(sql) + ")");
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
  StatementHandle Prepare(const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(system_.db(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
      sqlite3_finalize(raw);
      throw SchemaError(system_.LastError() + " (in: " + sql + ")");
    }
    return StatementHandle(raw);
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
