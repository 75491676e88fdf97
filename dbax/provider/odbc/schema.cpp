#include "dbax/provider/odbc/schema.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "dbax/provider/odbc/columns.h"
#include "dbax/provider/odbc/link.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::odbc {
namespace {

using mirdane::EqualsIgnoringAsciiCase;
using mirdane::Utf16ToUtf8;

std::string TextOf(const Failure& failure) {
  std::u16string text;
  for (const auto& error : failure.errors) {
    if (!text.empty()) text += u"\n  ";
    text += error.description;
  }
  return Utf16ToUtf8(text);
}

[[noreturn]] void Throw(const Failure& failure, const std::u16string& sql = {}) {
  std::string text = TextOf(failure);
  if (!sql.empty()) text += " (in: " + Utf16ToUtf8(sql) + ")";
  throw SchemaError(text);
}

void RequireIdentifier(const std::u16string& name, const char* what) {
  if (!IsSqlIdentifier(name)) {
    throw SchemaError(std::string("the ") + what + " name '" + Utf16ToUtf8(name) +
                      "' is not an SQL identifier");
  }
}

// One column of the current row as text; nullopt for NULL.
std::optional<std::u16string> ReadText(const Statement& statement, SQLUSMALLINT column) {
  std::u16string text;
  SQLWCHAR buffer[512];
  constexpr std::size_t kCapacity = sizeof buffer / sizeof buffer[0] - 1;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer, sizeof buffer,
                                    &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!Succeeded(rc)) Throw(statement.FailureOf(rc));
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    const bool whole = indicator != SQL_NO_TOTAL &&
                       static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) <= kCapacity;
    text += FromSql(buffer, whole ? static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR)
                                  : kCapacity);
    if (whole) break;
  }
  return text;
}

// The spellings under which a catalog may hold a name: as written, and
// folded the way DB2 (upper) and PostgreSQL (lower) fold unquoted names.
std::vector<std::u16string> Spellings(const std::u16string& name) {
  std::vector<std::u16string> spellings{name, mirdane::AsciiUpper(name)};
  std::u16string lower = name;
  for (auto& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  spellings.push_back(lower);
  std::sort(spellings.begin(), spellings.end());
  spellings.erase(std::unique(spellings.begin(), spellings.end()), spellings.end());
  return spellings;
}

class OdbcSchema final : public SchemaSession {
 public:
  explicit OdbcSchema(std::shared_ptr<Link> link) : link_(std::move(link)) {}

  ~OdbcSchema() override {
    Failure ignored;
    link_->Disconnect(&ignored);
  }

  bool LibraryExists(const std::u16string& library) override {
    RequireIdentifier(library, "library");
    // The catalog's list of schemas (SQL_ALL_SCHEMAS with empty catalog and table).
    Statement statement = NewStatement();
    SqlText all = ToSql(u"%"), empty;
    const SQLRETURN rc = SQLTablesW(statement.get(), empty.data(), 0, all.data(), SQL_NTS,
                                    empty.data(), 0, empty.data(), 0);
    if (!Succeeded(rc)) Throw(statement.FailureOf(rc));
    bool listed_any = false;
    while (Fetch(statement)) {
      const auto schema = ReadText(statement, 2);
      if (!schema) continue;
      listed_any = true;
      if (EqualsIgnoringAsciiCase(*schema, library)) return true;
    }
    // A database without schemas (SQLite) still answers a qualified query
    // for the names it knows, such as MAIN.
    if (!listed_any) return Answers(u"SELECT 1 FROM " + link_->Quote(library) + u".sqlite_master WHERE 1=0");
    return false;
  }

  void CreateLibrary(const std::u16string& library) override {
    RequireIdentifier(library, "library");
    if (LibraryExists(library)) return;
    Execute(u"CREATE SCHEMA " + link_->Quote(library));
  }

  bool TableExists(const std::u16string& library, const std::u16string& table) override {
    return !DescribeTable(library, table).empty();
  }

  std::u16string QualifiedName(const std::u16string& library,
                               const std::u16string& table) override {
    RequireIdentifier(library, "library");
    RequireIdentifier(table, "table");
    return link_->Quote(library) + u"." + link_->Quote(table);
  }

  std::vector<TableColumn> DescribeTable(const std::u16string& library,
                                         const std::u16string& table) override {
    RequireIdentifier(library, "library");
    RequireIdentifier(table, "table");
    // The columns exactly as the release sees them: through its own source query.
    const std::u16string sql = u"SELECT * FROM " + QualifiedName(library, table) + u" WHERE 1=0";
    Statement statement = NewStatement();
    SqlText text = ToSql(sql);
    const SQLRETURN rc = SQLExecDirectW(statement.get(), text.data(), SQL_NTS);
    if (!Succeeded(rc)) {
      const Failure failure = statement.FailureOf(rc);
      if (!IsListed(library, table)) return {};
      Throw(failure, sql);
    }
    std::vector<DescribedColumn> described;
    Failure failure;
    if (!DescribeResult(statement, &described, &failure)) Throw(failure, sql);
    SQLFreeStmt(statement.get(), SQL_CLOSE);

    const auto catalog = CatalogColumns(library, table);
    std::vector<TableColumn> columns;
    for (const auto& column : described) {
      TableColumn out;
      out.name = column.name;
      out.type = column.Type();
      out.nullable = column.nullable != SQL_NO_NULLS;
      out.type_known = column.data_type != SQL_UNKNOWN_TYPE;
      for (const auto& [name, entry] : catalog) {
        if (!EqualsIgnoringAsciiCase(name, column.name)) continue;
        out.default_value = entry.default_value;
        out.nullable = entry.nullable;
        TakeDeclaredType(entry, &out);
      }
      columns.push_back(std::move(out));
    }
    return columns;
  }

  void Execute(const std::u16string& sql) override {
    Statement statement = NewStatement();
    SqlText text = ToSql(sql);
    const SQLRETURN rc = SQLExecDirectW(statement.get(), text.data(), SQL_NTS);
    if (!Succeeded(rc) && rc != SQL_NO_DATA) Throw(statement.FailureOf(rc), sql);
  }

  QueryResult Query(const std::u16string& sql) override {
    Statement statement = NewStatement();
    SqlText text = ToSql(sql);
    const SQLRETURN rc = SQLExecDirectW(statement.get(), text.data(), SQL_NTS);
    if (!Succeeded(rc)) Throw(statement.FailureOf(rc), sql);
    std::vector<DescribedColumn> described;
    Failure failure;
    if (!DescribeResult(statement, &described, &failure)) Throw(failure, sql);
    QueryResult result;
    for (const auto& column : described) result.columns.push_back(column.name);
    while (Fetch(statement)) {
      auto& row = result.rows.emplace_back();
      for (std::size_t i = 1; i <= described.size(); ++i) {
        row.push_back(ReadText(statement, static_cast<SQLUSMALLINT>(i)));
      }
    }
    return result;
  }

 private:
  struct CatalogEntry {
    bool nullable = true;
    std::optional<std::u16string> default_value;
    std::optional<std::u16string> type_name;  // TYPE_NAME as the catalog gives it
  };

  // A result set's description is what the driver converts values to, not
  // always what the table declares: SQLite's driver describes every column
  // of "SELECT * ... WHERE 1=0" as VARCHAR, while its catalog gives the
  // declaration ("CHAR(10)", "DECIMAL(15, 2)"). A catalog type name that is
  // a whole declaration is taken; a bare name ("bpchar", "numeric", "CHAR")
  // leaves the description, which then carries the sizes. A column the
  // catalog lists without any type name has none the driver can tell.
  static void TakeDeclaredType(const CatalogEntry& entry, TableColumn* column) {
    if (!entry.type_name) return;
    if (entry.type_name->empty()) {
      column->type_known = false;
      return;
    }
    const SqlType declared = ParseSqlType(*entry.type_name);
    if (declared.kind == SqlType::Kind::Other) return;
    const bool sized = declared.IsText() || declared.IsDecimal();
    if (sized && entry.type_name->find(u'(') == std::u16string::npos) return;
    column->type = declared;
    column->type_known = true;
  }

  Statement NewStatement() {
    Statement statement;
    Failure failure;
    if (!statement.Open(link_, &failure)) Throw(failure);
    return statement;
  }

  static bool Fetch(const Statement& statement) {
    const SQLRETURN rc = SQLFetch(statement.get());
    if (rc == SQL_NO_DATA) return false;
    if (!Succeeded(rc)) Throw(statement.FailureOf(rc));
    return true;
  }

  bool Answers(const std::u16string& sql) {
    Statement statement = NewStatement();
    SqlText text = ToSql(sql);
    return Succeeded(SQLExecDirectW(statement.get(), text.data(), SQL_NTS));
  }

  // A catalog pattern that matches `name` only: its wildcards escaped.
  SqlText Pattern(const std::u16string& name) {
    if (!escape_) {
      SQLWCHAR buffer[8] = {};
      SQLSMALLINT length = 0;
      escape_ = u"";
      if (Succeeded(SQLGetInfoW(link_->connection(), SQL_SEARCH_PATTERN_ESCAPE, buffer,
                                sizeof buffer, &length)) &&
          length > 0) {
        escape_ = FromSql(buffer, 1);
      }
    }
    std::u16string pattern;
    for (const char16_t c : name) {
      if ((c == u'_' || c == u'%') && !escape_->empty()) pattern += *escape_;
      pattern.push_back(c);
    }
    return ToSql(pattern);
  }

  // Whether the catalog lists the table, under any spelling of the names.
  bool IsListed(const std::u16string& library, const std::u16string& table) {
    try {
      for (const auto& schema : Spellings(library)) {
        for (const auto& name : Spellings(table)) {
          Statement statement = NewStatement();
          SqlText schema_pattern = Pattern(schema), table_pattern = Pattern(name);
          const SQLRETURN rc = SQLTablesW(statement.get(), nullptr, 0, schema_pattern.data(),
                                          SQL_NTS, table_pattern.data(), SQL_NTS, nullptr, 0);
          if (!Succeeded(rc)) return true;  // cannot tell: let the caller report
          while (Fetch(statement)) {
            // Drivers without schemas (SQLite) leave TABLE_SCHEM empty.
            const auto listed_schema = ReadText(statement, 2);
            const auto listed = ReadText(statement, 3);
            const bool schema_matches = !listed_schema || listed_schema->empty() ||
                                        EqualsIgnoringAsciiCase(*listed_schema, library);
            if (listed && schema_matches && EqualsIgnoringAsciiCase(*listed, table)) return true;
          }
        }
      }
    } catch (const SchemaError&) {
      return true;
    }
    return false;
  }

  std::vector<std::vector<std::u16string>> UniqueKeys(const std::u16string& library,
                                                     const std::u16string& table) override {
    RequireIdentifier(library, "library");
    RequireIdentifier(table, "table");
    // SQLStatistics takes exact names, not patterns: each spelling in turn.
    for (const auto& schema : Spellings(library)) {
      for (const auto& name : Spellings(table)) {
        std::map<std::u16string, std::map<int, std::u16string>> indexes;
        Statement statement = NewStatement();
        SqlText schema_text = ToSql(schema), table_text = ToSql(name);
        const SQLRETURN rc =
            SQLStatisticsW(statement.get(), nullptr, 0, schema_text.data(), SQL_NTS,
                           table_text.data(), SQL_NTS, SQL_INDEX_UNIQUE, SQL_QUICK);
        if (!Succeeded(rc)) continue;
        while (Fetch(statement)) {
          const auto index = ReadText(statement, 6);
          const auto position = ReadText(statement, 8);
          const auto column = ReadText(statement, 9);
          if (!index || !column) continue;  // the table's own statistics row
          indexes[*index][std::stoi(mirdane::Utf16ToUtf8(position.value_or(u"0")))] = *column;
        }
        if (indexes.empty()) continue;
        std::vector<std::vector<std::u16string>> keys;
        for (const auto& [index, columns] : indexes) {
          auto& key = keys.emplace_back();
          for (const auto& [position, column] : columns) key.push_back(column);
        }
        return keys;
      }
    }
    return {};
  }

  // Defaults and nullability from the catalog, where the driver offers them.
  std::map<std::u16string, CatalogEntry> CatalogColumns(const std::u16string& library,
                                                        const std::u16string& table) {
    std::map<std::u16string, CatalogEntry> entries;
    try {
      for (const auto& schema : Spellings(library)) {
        for (const auto& name : Spellings(table)) {
          Statement statement = NewStatement();
          SqlText schema_pattern = Pattern(schema), table_pattern = Pattern(name);
          SqlText all = ToSql(u"%");
          const SQLRETURN rc =
              SQLColumnsW(statement.get(), nullptr, 0, schema_pattern.data(), SQL_NTS,
                          table_pattern.data(), SQL_NTS, all.data(), SQL_NTS);
          if (!Succeeded(rc)) return entries;
          while (Fetch(statement)) {
            const auto listed_table = ReadText(statement, 3);
            const auto column = ReadText(statement, 4);
            if (!listed_table || !column || !EqualsIgnoringAsciiCase(*listed_table, table)) {
              continue;
            }
            CatalogEntry entry;
            // In column order: not every driver reads columns back.
            entry.type_name = ReadText(statement, 6);
            entry.nullable = ReadText(statement, 11).value_or(u"1") != u"0";
            entry.default_value = ReadText(statement, 13);
            entries[*column] = std::move(entry);
          }
          if (!entries.empty()) return entries;
        }
      }
    } catch (const SchemaError&) {
      // Defaults are a detail; the columns themselves are known.
    }
    return entries;
  }

  std::shared_ptr<Link> link_;
  std::optional<std::u16string> escape_;
};

}  // namespace

std::unique_ptr<SchemaSession> OpenOdbcSchema(const Route& route, const std::u16string& user,
                                              const std::u16string& password) {
  std::shared_ptr<Link> link;
  Failure failure;
  if (!ConnectRoute(route, user, password, &link, &failure)) Throw(failure);
  return std::make_unique<OdbcSchema>(std::move(link));
}

}  // namespace dbAx::provider::odbc
