#include "dbax/provider/odbc/keyed_statements.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/odbc/columns.h"
#include "dbax/provider/odbc/diagnostics.h"

namespace dbAx::provider::odbc {
namespace {

Failure Plain(std::u16string description) {
  return Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, std::move(description));
}

// SQLSTATEs for a table that does not exist: ODBC's own, PostgreSQL's and
// DB2's.
bool NamesMissingTable(const Statement& statement) {
  for (const auto& record : ReadDiagnostics(SQL_HANDLE_STMT, statement.get())) {
    if (record.state == u"42S02" || record.state == u"42P01" || record.state == u"42704") {
      return true;
    }
  }
  return false;
}

const DescribedColumn* Find(const std::vector<DescribedColumn>& columns,
                            const std::u16string& name) {
  for (const auto& column : columns) {
    if (mirdane::EqualsIgnoringAsciiCase(column.name, name)) return &column;
  }
  return nullptr;
}

// One column of the current row as text; nullopt for NULL.
bool ReadText(const Statement& statement, SQLUSMALLINT column,
              std::optional<std::u16string>* value, Failure* failure) {
  std::u16string text;
  SQLWCHAR buffer[256];
  constexpr std::size_t kCapacity = sizeof buffer / sizeof buffer[0] - 1;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!Succeeded(rc)) {
      *failure = statement.FailureOf(rc);
      return false;
    }
    if (indicator == SQL_NULL_DATA) {
      value->reset();
      return true;
    }
    const bool whole = indicator != SQL_NO_TOTAL &&
                       static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR) <= kCapacity;
    text += FromSql(buffer, whole ? static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR)
                                  : kCapacity);
    if (whole) break;
  }
  *value = std::move(text);
  return true;
}

}  // namespace

bool RunOdbcStatement(const std::shared_ptr<Link>& link, const KeyedStatement& statement,
                      const std::vector<mirdane::Variant>& parameters, StatementResult* result,
                      Failure* failure) {
  if (!link->connected()) {
    *failure = Plain(u"The ODBC connection is closed.");
    return false;
  }
  const std::u16string table =
      link->Quote(statement.library) + u"." + link->Quote(statement.table);

  // The table's columns, as the server spells and types them.
  std::vector<DescribedColumn> described;
  {
    Statement describe;
    if (!describe.Open(link, failure)) return false;
    SqlText query = ToSql(u"SELECT * FROM " + table + u" WHERE 1=0");
    const SQLRETURN rc = SQLExecDirectW(describe.get(), query.data(), SQL_NTS);
    if (!Succeeded(rc)) {
      *failure = describe.FailureOf(rc);
      if (NamesMissingTable(describe)) failure->result = ado::DB_E_NOTABLE;
      return false;
    }
    if (!DescribeResult(describe, &described, failure)) return false;
  }
  std::vector<std::u16string> named = statement.columns;
  named.insert(named.end(), statement.conditions.begin(), statement.conditions.end());
  for (const auto& name : named) {
    if (!Find(described, name)) {
      *failure = Plain(u"The table " + statement.library + u"." + statement.table +
                       u" has no column " + name + u".");
      return false;
    }
  }
  // Names quoted as the server spells them, so that they match in any case.
  const std::u16string sql = statement.Text(table, [&](const std::u16string& name) {
    return u"\"" + Find(described, name)->name + u"\"";
  });

  Statement run;
  if (!run.Open(link, failure)) return false;
  SqlText text = ToSql(sql);
  SQLRETURN rc = SQLPrepareW(run.get(), text.data(), SQL_NTS);
  if (!Succeeded(rc)) {
    *failure = run.FailureOf(rc);
    return false;
  }
  // The bound buffers must live until SQLExecute has run.
  const auto columns = statement.ParameterColumns();
  std::vector<SqlText> texts(columns.size());
  std::vector<SQLLEN> lengths(columns.size());
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const DescribedColumn& column = *Find(described, columns[k]);
    const mirdane::Variant& value = parameters.at(k);
    SQLULEN size = column.size;
    if (const auto* given = value.AsText()) {
      texts[k] = ToSql(*given);
      lengths[k] = static_cast<SQLLEN>(texts[k].size() * sizeof(SQLWCHAR));
      // As for inserts, the server decides about a text too long for its column.
      if (column.Type().IsText() || size == 0) {
        size = std::max<SQLULEN>({size, static_cast<SQLULEN>(texts[k].size()), SQLULEN{1}});
      }
    } else if (value.IsNull()) {
      lengths[k] = SQL_NULL_DATA;
      if (size == 0) size = 1;
    } else {
      *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, ado::DB_E_ERRORSOCCURRED,
                             u"Column " + column.name + u" is compared with text or NULL only.");
      return false;
    }
    rc = SQLBindParameter(run.get(), static_cast<SQLUSMALLINT>(k + 1), SQL_PARAM_INPUT,
                          SQL_C_WCHAR, column.data_type, size, column.digits, texts[k].data(),
                          static_cast<SQLLEN>((texts[k].size() + 1) * sizeof(SQLWCHAR)),
                          &lengths[k]);
    if (!Succeeded(rc)) {
      *failure = run.FailureOf(rc);
      return false;
    }
  }
  rc = SQLExecute(run.get());
  if (!Succeeded(rc) && rc != SQL_NO_DATA) {
    *failure = run.FailureOf(rc);
    return false;
  }
  if (statement.kind != KeyedStatement::Kind::Select) {
    // SQL_NO_DATA: a searched UPDATE or DELETE that matched no row.
    SQLLEN count = 0;
    if (rc != SQL_NO_DATA && Succeeded(SQLRowCount(run.get(), &count)) && count > 0) {
      result->affected = count;
    }
    return true;
  }
  result->columns = statement.columns;
  for (;;) {
    rc = SQLFetch(run.get());
    if (rc == SQL_NO_DATA) break;
    if (!Succeeded(rc)) {
      *failure = run.FailureOf(rc);
      return false;
    }
    auto& row = result->rows.emplace_back();
    for (std::size_t i = 1; i <= statement.columns.size(); ++i) {
      if (!ReadText(run, static_cast<SQLUSMALLINT>(i), &row.emplace_back(), failure)) return false;
    }
  }
  return true;
}

}  // namespace dbAx::provider::odbc
