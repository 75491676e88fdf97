#include "dbax/provider/odbc/insert_rows.h"

#include <algorithm>

namespace dbAx::provider::odbc {
namespace {

// The column size a text is bound with. The server, not the driver, decides
// about a text too long for its column: a driver given the column's length
// might cut it silently.
SQLULEN BoundSize(const DescribedColumn& column, std::size_t longest) {
  SQLULEN size = column.size;
  if (column.Type().IsText() || size == 0) {
    size = std::max<SQLULEN>({size, static_cast<SQLULEN>(longest), SQLULEN{1}});
  }
  return size;
}

// A status the driver never writes: a row left with it was not reported on.
constexpr SQLUSMALLINT kNoStatus = 0xFFFF;

}  // namespace

const Statement* PreparedInsert(const std::shared_ptr<Link>& link, OdbcShape& shape,
                                const std::vector<std::size_t>& key, Failure* failure) {
  auto& statements = shape.statements;
  if (auto found = statements.find(key); found != statements.end()) return &found->second;
  std::u16string sql = u"INSERT INTO " + shape.source.QualifiedTable(link->identifierCase());
  if (key.empty()) {
    sql += u" DEFAULT VALUES";
  } else {
    std::u16string names, marks;
    for (const std::size_t index : key) {
      if (!names.empty()) {
        names += u", ";
        marks += u", ";
      }
      // Quoted as the server spells it, so that it matches in any case;
      // ColumnInfoOf let only SQL identifiers take values.
      names += u"\"" + shape.columns[index].name + u"\"";
      marks += u"?";
    }
    sql += u" (" + names + u") VALUES (" + marks + u")";
  }
  Statement statement;
  if (!statement.Open(link, failure)) return nullptr;
  SqlText text = ToSql(sql);
  const SQLRETURN rc = SQLPrepareW(statement.get(), text.data(), SQL_NTS);
  if (!Succeeded(rc)) {
    *failure = statement.FailureOf(rc);
    return nullptr;
  }
  return &statements.emplace(key, std::move(statement)).first->second;
}

bool InsertOneRow(const std::shared_ptr<Link>& link, OdbcShape& shape, const RowValues& values,
                  RowBuffers* buffers, Failure* failure) {
  if (!link->connected()) {
    *failure = Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, u"The ODBC connection is closed.");
    return false;
  }
  auto& key = buffers->key;
  key.clear();
  for (const auto& [index, value] : values) key.push_back(index);
  const Statement* statement = PreparedInsert(link, shape, key, failure);
  if (!statement) return false;

  // The bound buffers must live until SQLExecute has run.
  buffers->texts.resize(values.size());
  buffers->lengths.resize(values.size());
  SQLUSMALLINT number = 0;
  for (const auto& [index, value] : values) {
    const std::size_t k = number++;
    const DescribedColumn& column = shape.described[index];
    SqlText& text = buffers->texts[k];
    SQLLEN& length = buffers->lengths[k];
    text.clear();
    if (const auto* held = value.AsText()) {
      AppendSql(*held, &text);
      length = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
    } else {
      length = SQL_NULL_DATA;
    }
    const SQLULEN size = BoundSize(column, text.size());
    const SQLRETURN rc = SQLBindParameter(
        statement->get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, column.data_type, size,
        column.digits, text.data(), static_cast<SQLLEN>((text.size() + 1) * sizeof(SQLWCHAR)),
        &length);
    if (!Succeeded(rc)) {
      *failure = statement->FailureOf(rc);
      SQLFreeStmt(statement->get(), SQL_RESET_PARAMS);
      return false;
    }
  }
  const SQLRETURN rc = SQLExecute(statement->get());
  const bool stored = Succeeded(rc) || rc == SQL_NO_DATA;
  if (!stored) *failure = statement->FailureOf(rc);
  SQLFreeStmt(statement->get(), SQL_RESET_PARAMS);
  return stored;
}

ArrayResult InsertRowArray(const std::shared_ptr<Link>& link, OdbcShape& shape,
                           const std::vector<std::size_t>& key, const std::vector<RowTexts>& rows,
                           Failure* failure) {
  if (!link->connected()) {
    *failure = Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, u"The ODBC connection is closed.");
    return ArrayResult::kNotAll;
  }
  const Statement* statement = PreparedInsert(link, shape, key, failure);
  if (!statement) return ArrayResult::kNotAll;
  SQLHSTMT handle = statement->get();
  const std::size_t count = rows.size();
  std::vector<SQLUSMALLINT> statuses(count, kNoStatus);
  SQLULEN processed = 0;
  // The statement serves single rows too: it goes back to one set of
  // parameters, whatever happens here.
  auto reset = [&] {
    SQLFreeStmt(handle, SQL_RESET_PARAMS);
    SQLSetStmtAttrW(handle, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(1), 0);
    SQLSetStmtAttrW(handle, SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
    SQLSetStmtAttrW(handle, SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr, 0);
  };
  SQLULEN size_set = 0;
  if (SQLSetStmtAttrW(handle, SQL_ATTR_PARAM_BIND_TYPE, IntegerAttribute(SQL_PARAM_BIND_BY_COLUMN),
                      0) != SQL_SUCCESS ||
      SQLSetStmtAttrW(handle, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(count), 0) != SQL_SUCCESS ||
      SQLSetStmtAttrW(handle, SQL_ATTR_PARAM_STATUS_PTR, statuses.data(), 0) != SQL_SUCCESS ||
      SQLSetStmtAttrW(handle, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0) != SQL_SUCCESS ||
      !Succeeded(SQLGetStmtAttrW(handle, SQL_ATTR_PARAMSET_SIZE, &size_set, 0, nullptr)) ||
      size_set != count) {
    reset();
    return ArrayResult::kRefused;
  }

  // Bound by column: each column's texts side by side, one width apart.
  std::vector<SqlText> texts(key.size());
  std::vector<std::vector<SQLLEN>> lengths(key.size(), std::vector<SQLLEN>(count));
  for (std::size_t k = 0; k < key.size(); ++k) {
    const DescribedColumn& column = shape.described[key[k]];
    std::size_t longest = 0;
    for (const auto& row : rows) {
      if (row[k]) longest = std::max(longest, row[k]->size());
    }
    const std::size_t width = longest + 1;
    texts[k].assign(width * count, 0);
    for (std::size_t r = 0; r < count; ++r) {
      if (const auto& text = rows[r][k]) {
        std::copy(text->begin(), text->end(), texts[k].begin() + static_cast<std::ptrdiff_t>(r * width));
        lengths[k][r] = static_cast<SQLLEN>(text->size() * sizeof(SQLWCHAR));
      } else {
        lengths[k][r] = SQL_NULL_DATA;
      }
    }
    const SQLULEN size = BoundSize(column, longest);
    const SQLRETURN rc = SQLBindParameter(
        handle, static_cast<SQLUSMALLINT>(k + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, column.data_type,
        size, column.digits, texts[k].data(), static_cast<SQLLEN>(width * sizeof(SQLWCHAR)),
        lengths[k].data());
    if (!Succeeded(rc)) {
      *failure = statement->FailureOf(rc);
      reset();
      return ArrayResult::kNotAll;
    }
  }
  const SQLRETURN rc = SQLExecute(handle);
  // Every row is stored when the driver says so of each, or, where it
  // leaves the status array alone (SQLite's driver), when it processed every
  // row and reports plain success, which it may only when no row failed.
  bool reported = true;
  bool none_failed = true;
  for (const SQLUSMALLINT status : statuses) {
    reported = reported && status != kNoStatus;
    none_failed = none_failed && (status == SQL_PARAM_SUCCESS ||
                                  status == SQL_PARAM_SUCCESS_WITH_INFO || status == kNoStatus);
  }
  const bool all = processed == count && none_failed &&
                   (reported ? Succeeded(rc) || rc == SQL_NO_DATA : rc == SQL_SUCCESS);
  if (!all && !Succeeded(rc) && rc != SQL_NO_DATA) *failure = statement->FailureOf(rc);
  reset();
  return all ? ArrayResult::kAllStored : ArrayResult::kNotAll;
}

}  // namespace dbAx::provider::odbc
