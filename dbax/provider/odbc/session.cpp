#include "dbax/provider/odbc/session.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <map>
#include <vector>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/odbc/columns.h"
#include "dbax/provider/odbc/insert_source.h"
#include "dbax/provider/odbc/keyed_statements.h"
#include "dbax/provider/odbc/link.h"

namespace dbAx::provider::odbc {
namespace {

Failure Plain(std::u16string description) {
  return Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, std::move(description));
}

// A value as the text the INSERT binds; nullopt for NULL. Field puts are held
// as text and the server converts them to the column's type when the row is
// stored, so that what it refuses is refused in its own words.
bool ValueText(const Variant& value, std::optional<std::u16string>* text) {
  if (const auto* held = value.AsText()) {
    *text = *held;
    return true;
  }
  if (value.IsNull() || value.IsEmpty()) {
    text->reset();
    return true;
  }
  if (value.type() == mirdane::VarType::R8) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *value.AsDouble());
    if (error != std::errc{}) return false;
    *text = mirdane::Utf8ToUtf16(std::string(buffer, end));
    return true;
  }
  if (const auto integer = value.AsInteger(); integer && value.type() != mirdane::VarType::Error) {
    *text = mirdane::Utf8ToUtf16(std::to_string(*integer));
    return true;
  }
  return false;
}

class OdbcTable final : public InsertTarget {
 public:
  OdbcTable(std::shared_ptr<Link> link, InsertSource source, std::vector<ColumnInfo> columns,
            std::vector<DescribedColumn> described)
      : link_(std::move(link)), source_(std::move(source)), columns_(std::move(columns)),
        described_(std::move(described)) {}

  const std::vector<ColumnInfo>& columns() const override { return columns_; }

  bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                   Failure* failure) override {
    std::optional<std::u16string> text;
    if (!ValueText(value, &text)) {
      *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, ado::DB_E_ERRORSOCCURRED,
                             u"Column " + columns_[index].name +
                                 u" takes text, numbers or NULL; this value is none of them.");
      return false;
    }
    *stored = text ? Variant::Text(std::move(*text)) : Variant::Null();
    return true;
  }

  bool InsertRow(const std::vector<std::pair<std::size_t, Variant>>& values,
                 Failure* failure) override {
    if (!link_->connected()) {
      *failure = Plain(u"The ODBC connection is closed.");
      return false;
    }
    std::vector<std::size_t> key;
    for (const auto& [index, value] : values) key.push_back(index);
    const Statement* statement = Prepared(key, failure);
    if (!statement) return false;

    // The bound buffers must live until SQLExecute has run.
    std::vector<SqlText> texts(values.size());
    std::vector<SQLLEN> lengths(values.size());
    SQLUSMALLINT number = 0;
    for (const auto& [index, value] : values) {
      const std::size_t k = number++;
      const DescribedColumn& column = described_[index];
      SQLULEN size = column.size;
      SQLSMALLINT digits = column.digits;
      if (const auto* text = value.AsText()) {
        texts[k] = ToSql(*text);
        lengths[k] = static_cast<SQLLEN>(texts[k].size() * sizeof(SQLWCHAR));
        // The server, not the driver, decides about a text too long for its
        // column: a driver given the column's length might cut it silently.
        if (column.Type().IsText() || size == 0) {
          size = std::max<SQLULEN>({size, static_cast<SQLULEN>(texts[k].size()), SQLULEN{1}});
        }
      } else {
        lengths[k] = SQL_NULL_DATA;
        if (size == 0) size = 1;
      }
      const SQLRETURN rc = SQLBindParameter(
          statement->get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, column.data_type, size, digits,
          texts[k].data(), static_cast<SQLLEN>((texts[k].size() + 1) * sizeof(SQLWCHAR)),
          &lengths[k]);
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

 private:
  // INSERT statements are prepared once per set of assigned columns: the
  // lines of one document usually share theirs.
  const Statement* Prepared(const std::vector<std::size_t>& key, Failure* failure) {
    if (auto found = statements_.find(key); found != statements_.end()) return &found->second;
    std::u16string sql = u"INSERT INTO " + source_.QualifiedTable(link_->identifierCase());
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
        names += u"\"" + columns_[index].name + u"\"";
        marks += u"?";
      }
      sql += u" (" + names + u") VALUES (" + marks + u")";
    }
    Statement statement;
    if (!statement.Open(link_, failure)) return nullptr;
    SqlText text = ToSql(sql);
    const SQLRETURN rc = SQLPrepareW(statement.get(), text.data(), SQL_NTS);
    if (!Succeeded(rc)) {
      *failure = statement.FailureOf(rc);
      return nullptr;
    }
    return &statements_.emplace(key, std::move(statement)).first->second;
  }

  std::shared_ptr<Link> link_;
  InsertSource source_;
  std::vector<ColumnInfo> columns_;
  std::vector<DescribedColumn> described_;
  std::map<std::vector<std::size_t>, Statement> statements_;
};

class OdbcSession final : public Session {
 public:
  explicit OdbcSession(std::shared_ptr<Link> link) : link_(std::move(link)) {}

  bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                  Failure* failure) override {
    const InsertSource source = ParseInsertSource(sql);
    if (!source.valid) {
      *failure = Plain(source.problem);
      return false;
    }
    Statement statement;
    if (!statement.Open(link_, failure)) return false;
    SqlText query = ToSql(source.DescribeQuery(link_->identifierCase()));
    const SQLRETURN rc = SQLExecDirectW(statement.get(), query.data(), SQL_NTS);
    if (!Succeeded(rc)) {
      *failure = statement.FailureOf(rc);
      return false;
    }
    std::vector<DescribedColumn> described;
    if (!DescribeResult(statement, &described, failure)) return false;
    if (described.empty()) {
      *failure = Plain(u"The source " + source.DescribeQuery(link_->identifierCase()) + u" gives no columns.");
      return false;
    }
    std::vector<ColumnInfo> columns;
    for (std::size_t i = 0; i < described.size(); ++i) {
      SQLLEN updatable = SQL_ATTR_READWRITE_UNKNOWN;
      if (!Succeeded(SQLColAttributeW(statement.get(), static_cast<SQLUSMALLINT>(i + 1),
                                      SQL_DESC_UPDATABLE, nullptr, 0, nullptr, &updatable))) {
        updatable = SQL_ATTR_READWRITE_UNKNOWN;
      }
      columns.push_back(ColumnInfoOf(described[i].name, described[i].Type(), described[i].nullable,
                                     updatable));
    }
    SQLFreeStmt(statement.get(), SQL_CLOSE);
    *target = std::make_unique<OdbcTable>(link_, source, std::move(columns), std::move(described));
    return true;
  }

  bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                    StatementResult* result, Failure* failure) override {
    return RunOdbcStatement(link_, statement, parameters, result, failure);
  }

  bool Close(Failure* failure) override { return link_->Disconnect(failure); }

 private:
  std::shared_ptr<Link> link_;
};

}  // namespace

bool OpenOdbcSession(const Route& route, const std::u16string& user, const std::u16string& password,
                     std::shared_ptr<Session>* session, Failure* failure) {
  std::shared_ptr<Link> link;
  if (!ConnectRoute(route, user, password, &link, failure)) return false;
  *session = std::make_shared<OdbcSession>(std::move(link));
  return true;
}

}  // namespace dbAx::provider::odbc
