#include "dbax/provider/sqlite/standin_statement.h"

#include <string>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/sql_type.h"
#include "dbax/provider/sqlite/bind_value.h"
#include "dbax/provider/sqlite/db2_values.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::FormatText;
using mirdane::Utf16ToUtf8;
using mirdane::Utf8ToUtf16;
using mirdane::Variant;

constexpr std::int32_t kSqlErrorNumber = mirdane::hr::kFail;

Failure SqlFailure(HRESULT result, std::u16string description) {
  return Failure::Of(result, kSqlErrorNumber, std::move(description));
}

struct Column {
  std::string name;  // as the table spells it
  SqlType type;
};

// The table's columns with their declared types; false when it has none.
bool DescribeTable(StandInSystem& system, const std::string& library, const std::string& table,
                   std::vector<Column>* columns) {
  const std::string sql = "SELECT * FROM " + QuoteIdentifier(library) + "." + QuoteIdentifier(table);
  StatementHandle statement;
  if (system.Prepare(sql.c_str(), &statement) != SQLITE_OK) return false;
  const int count = sqlite3_column_count(statement.get());
  for (int i = 0; i < count; ++i) {
    const char* declared = sqlite3_column_decltype(statement.get(), i);
    columns->push_back(Column{sqlite3_column_name(statement.get(), i),
                              ParseSqlType(Utf8ToUtf16(declared ? declared : "VARCHAR(0)"))});
  }
  return true;
}

const Column* Find(const std::vector<Column>& columns, const std::u16string& name) {
  for (const auto& column : columns) {
    if (mirdane::EqualsIgnoringAsciiCase(Utf8ToUtf16(column.name), name)) return &column;
  }
  return nullptr;
}

}  // namespace

bool RunStandInStatement(StandInSystem& system, const KeyedStatement& statement,
                         const std::vector<Variant>& parameters, StatementResult* result,
                         Failure* failure) {
  std::vector<Column> columns;
  std::string library;
  try {
    if (!system.Use(statement.library)) {
      *failure = SqlFailure(mirdane::hr::kFail,
                            FormatText(u"SQL0204 - %s in *LIBL type *LIB not found.",
                                       {statement.library}));
      return false;
    }
    library = system.AttachedName(statement.library);
    if (!DescribeTable(system, library, Utf16ToUtf8(statement.table), &columns)) {
      *failure = SqlFailure(ado::DB_E_NOTABLE, FormatText(u"SQL0204 - %s in %s type *FILE not found.",
                                                          {statement.table, statement.library}));
      return false;
    }
  } catch (const LibraryError& error) {
    *failure = SqlFailure(mirdane::hr::kFail, u"SQL0204 - " + Utf8ToUtf16(error.what()));
    return false;
  }

  // Every name must be a column of the table; the text is written from the
  // table's own spellings.
  std::string table_name = Utf16ToUtf8(statement.table);
  std::vector<std::u16string> named = statement.columns;
  named.insert(named.end(), statement.conditions.begin(), statement.conditions.end());
  for (const auto& name : named) {
    if (!Find(columns, name)) {
      *failure = SqlFailure(mirdane::hr::kFail,
                            FormatText(u"SQL0206 - Column %s not in table %s in %s.",
                                       {name, statement.table, statement.library}));
      return false;
    }
  }
  std::vector<Variant> values;
  const auto parameter_columns = statement.ParameterColumns();
  for (std::size_t i = 0; i < parameter_columns.size(); ++i) {
    const Column& column = *Find(columns, parameter_columns[i]);
    auto verdict = TakeValue(column.type, Utf8ToUtf16(column.name), parameters.at(i));
    if (!verdict.accepted) {
      *failure = SqlFailure(ado::DB_E_ERRORSOCCURRED, std::move(verdict.refusal));
      return false;
    }
    values.push_back(std::move(verdict.stored));
  }

  const std::u16string qualified =
      Utf8ToUtf16(QuoteIdentifier(library) + "." + QuoteIdentifier(table_name));
  const auto quote = [&](const std::u16string& name) {
    return Utf8ToUtf16(QuoteIdentifier(Find(columns, name)->name));
  };
  // DB2 compares texts as if the shorter were padded with blanks: 'A' equals
  // 'A   ' in a CHAR(4) column, however the row was written.
  const auto compare = [&](const std::u16string& name) {
    if (!Find(columns, name)->type.IsText()) return quote(name) + u" = ?";
    return u"RTRIM(" + quote(name) + u", ' ') = RTRIM(?, ' ')";
  };
  const std::string sql = Utf16ToUtf8(statement.Text(qualified, quote, compare));
  StatementHandle prepared;
  if (system.Prepare(sql.c_str(), &prepared) != SQLITE_OK) {
    *failure = SqlFailure(mirdane::hr::kFail,
                          FormatText(u"SQL0104 - The statement %s was not valid: %s",
                                     {Utf8ToUtf16(sql), Utf8ToUtf16(system.LastError())}));
    return false;
  }
  std::vector<std::string> texts(values.size());  // bound texts live until the end
  for (std::size_t i = 0; i < values.size(); ++i) {
    BindValue(prepared.get(), static_cast<int>(i + 1), values[i], &texts[i]);
  }
  if (statement.kind == KeyedStatement::Kind::Select) {
    for (const auto& name : statement.columns) result->columns.push_back(name);
  }
  // Outside a transaction a change commits by itself, durably.
  for (;;) {
    const int rc = sqlite3_step(prepared.get());
    if (rc == SQLITE_DONE) break;
    if (rc == SQLITE_ROW) {
      auto& row = result->rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(prepared.get()); ++i) {
        const auto* text = sqlite3_column_text(prepared.get(), i);
        if (sqlite3_column_type(prepared.get(), i) == SQLITE_NULL || !text) {
          row.emplace_back(std::nullopt);
        } else {
          row.emplace_back(Utf8ToUtf16(reinterpret_cast<const char*>(text)));
        }
      }
      continue;
    }
    const std::u16string where = Utf8ToUtf16(library + "." + table_name);
    if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY) {
      *failure = SqlFailure(ado::DB_E_INTEGRITYVIOLATION,
                            FormatText(u"SQL0803 - Duplicate key value specified: %s: %s",
                                       {where, Utf8ToUtf16(system.LastError())}));
    } else {
      *failure = SqlFailure(mirdane::hr::kFail,
                            FormatText(u"SQL7008 - The statement on %s failed: %s",
                                       {where, Utf8ToUtf16(system.LastError())}));
    }
    result->rows.clear();
    return false;
  }
  if (statement.kind != KeyedStatement::Kind::Select) {
    result->affected = sqlite3_changes64(system.db());
  }
  return true;
}

}  // namespace dbAx::provider::sqlite
