#include "dbax/provider/odbc/session.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
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

// What a source query was found to be, kept while the connection lives so
// that the next recordset on the same source need not describe it again:
// the columns, and the INSERT statements prepared for them.
struct OdbcShape {
  InsertSource source;
  std::vector<ColumnInfo> columns;
  std::vector<DescribedColumn> described;
  ColumnIndex index;
  // Set when something failed on the table: the next recordset describes it afresh.
  bool stale = false;
  // INSERT statements, prepared once per set of assigned columns: the lines
  // of one document usually share theirs, and so do the documents of a batch.
  std::map<std::vector<std::size_t>, Statement> statements;

  OdbcShape(InsertSource s, std::vector<ColumnInfo> c, std::vector<DescribedColumn> d)
      : source(std::move(s)), columns(std::move(c)), described(std::move(d)), index(columns) {}
};

class OdbcTable final : public InsertTarget {
 public:
  OdbcTable(std::shared_ptr<Link> link, std::shared_ptr<OdbcShape> shape)
      : link_(std::move(link)), shape_(std::move(shape)) {}

  const std::vector<ColumnInfo>& columns() const override { return shape_->columns; }
  std::optional<std::size_t> FindColumn(const std::u16string& name) const override {
    return shape_->index.Find(name);
  }

  bool AcceptValue(std::size_t index, const Variant& value, Variant* stored,
                   Failure* failure) override {
    std::optional<std::u16string> text;
    if (!ValueText(value, &text)) {
      shape_->stale = true;
      *failure = Failure::Of(ado::DB_E_ERRORSOCCURRED, ado::DB_E_ERRORSOCCURRED,
                             u"Column " + shape_->columns[index].name +
                                 u" takes text, numbers or NULL; this value is none of them.");
      return false;
    }
    *stored = text ? Variant::Text(std::move(*text)) : Variant::Null();
    return true;
  }

  bool InsertRow(const std::vector<std::pair<std::size_t, Variant>>& values,
                 Failure* failure) override {
    if (Insert(values, failure)) return true;
    shape_->stale = true;
    return false;
  }

 private:
  bool Insert(const std::vector<std::pair<std::size_t, Variant>>& values, Failure* failure) {
    if (!link_->connected()) {
      *failure = Plain(u"The ODBC connection is closed.");
      return false;
    }
    key_.clear();
    for (const auto& [index, value] : values) key_.push_back(index);
    const Statement* statement = Prepared(key_, failure);
    if (!statement) return false;

    // The bound buffers must live until SQLExecute has run.
    texts_.resize(values.size());
    lengths_.resize(values.size());
    SQLUSMALLINT number = 0;
    for (const auto& [index, value] : values) {
      const std::size_t k = number++;
      const DescribedColumn& column = shape_->described[index];
      SQLULEN size = column.size;
      SQLSMALLINT digits = column.digits;
      SqlText& text = texts_[k];
      text.clear();
      if (const auto* held = value.AsText()) {
        AppendSql(*held, &text);
        lengths_[k] = static_cast<SQLLEN>(text.size() * sizeof(SQLWCHAR));
        // The server, not the driver, decides about a text too long for its
        // column: a driver given the column's length might cut it silently.
        if (column.Type().IsText() || size == 0) {
          size = std::max<SQLULEN>({size, static_cast<SQLULEN>(text.size()), SQLULEN{1}});
        }
      } else {
        lengths_[k] = SQL_NULL_DATA;
        if (size == 0) size = 1;
      }
      const SQLRETURN rc = SQLBindParameter(
          statement->get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, column.data_type, size, digits,
          text.data(), static_cast<SQLLEN>((text.size() + 1) * sizeof(SQLWCHAR)), &lengths_[k]);
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

  const Statement* Prepared(const std::vector<std::size_t>& key, Failure* failure) {
    auto& statements = shape_->statements;
    if (auto found = statements.find(key); found != statements.end()) return &found->second;
    std::u16string sql = u"INSERT INTO " + shape_->source.QualifiedTable(link_->identifierCase());
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
        names += u"\"" + shape_->columns[index].name + u"\"";
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
    return &statements.emplace(key, std::move(statement)).first->second;
  }

  std::shared_ptr<Link> link_;
  std::shared_ptr<OdbcShape> shape_;
  // Reused for each row.
  std::vector<std::size_t> key_;
  std::vector<SqlText> texts_;
  std::vector<SQLLEN> lengths_;
};

class OdbcSession final : public Session {
 public:
  explicit OdbcSession(std::shared_ptr<Link> link) : link_(std::move(link)) {}

  bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                  Failure* failure) override {
    if (const auto found = shapes_.find(sql); found != shapes_.end()) {
      if (!found->second->stale && link_->connected()) {
        *target = std::make_unique<OdbcTable>(link_, found->second);
        return true;
      }
      shapes_.erase(found);
    }
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
    NoteSourceDescribed();
    auto shape = std::make_shared<OdbcShape>(source, std::move(columns), std::move(described));
    if (shapes_.size() >= kMaxShapes) shapes_.clear();
    shapes_[sql] = shape;
    *target = std::make_unique<OdbcTable>(link_, std::move(shape));
    return true;
  }

  bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                    StatementResult* result, Failure* failure) override {
    return RunOdbcStatement(link_, statement, parameters, result, failure);
  }

  bool Close(Failure* failure) override {
    shapes_.clear();
    ping_.reset();
    return link_->Disconnect(failure);
  }

  // The server is asked whether it still answers: a connection that lay
  // idle may have been dropped by it (a restart, a timeout) without the
  // driver knowing yet.
  bool StillUsable() override {
    if (!link_->connected()) return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (Succeeded(SQLGetConnectAttrW(link_->connection(), SQL_ATTR_CONNECTION_DEAD, &dead, 0,
                                     nullptr)) &&
        dead == SQL_CD_TRUE) {
      return false;
    }
    Failure ignored;
    if (!ping_) {
      auto statement = std::make_unique<Statement>();
      if (!statement->Open(link_, &ignored)) return false;
      SqlText text = ToSql(link_->PingQuery());
      if (!Succeeded(SQLPrepareW(statement->get(), text.data(), SQL_NTS))) return false;
      ping_ = std::move(statement);
    }
    const SQLRETURN rc = SQLExecute(ping_->get());
    SQLFreeStmt(ping_->get(), SQL_CLOSE);
    if (Succeeded(rc) || rc == SQL_NO_DATA) return true;
    ping_.reset();
    return false;
  }

 private:
  // More sources than a release uses are not worth remembering.
  static constexpr std::size_t kMaxShapes = 64;

  std::shared_ptr<Link> link_;
  std::unordered_map<std::u16string, std::shared_ptr<OdbcShape>> shapes_;
  std::unique_ptr<Statement> ping_;  // the statement that asks whether the server answers
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
