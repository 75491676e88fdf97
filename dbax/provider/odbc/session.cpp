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
#include "dbax/provider/odbc/insert_rows.h"
#include "dbax/provider/odbc/keyed_statements.h"
#include "dbax/provider/odbc/link.h"
#include "dbax/provider/odbc/session_state.h"

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

// Whether a failed call lost the connection: the driver said so, or now
// finds the connection dead.
bool Lost(const Failure& failure, const Link& link) {
  if (failure.connection_lost || !link.connected()) return true;
  SQLUINTEGER dead = SQL_CD_FALSE;
  return Succeeded(SQLGetConnectAttrW(link.connection(), SQL_ATTR_CONNECTION_DEAD, &dead, 0,
                                      nullptr)) &&
         dead == SQL_CD_TRUE;
}

class OdbcTable final : public InsertTarget {
 public:
  OdbcTable(std::shared_ptr<SessionState> state, std::shared_ptr<OdbcShape> shape)
      : state_(std::move(state)), shape_(std::move(shape)) {}

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

  bool InsertRow(const RowValues& values, Failure* failure) override {
    if (Store(values, failure)) return true;
    shape_->stale = true;
    return false;
  }

  bool BeginBatch() override {
    queue_.clear();
    return !state_->no_arrays && !state_->no_transactions;
  }

  bool QueueRow(const RowValues& values, Failure* /*failure*/) override {
    Queued& row = queue_.emplace_back();
    for (const auto& [index, value] : values) {
      row.key.push_back(index);
      const auto* text = value.AsText();
      row.texts.push_back(text ? std::optional<std::u16string>(*text) : std::nullopt);
    }
    return true;
  }

  BatchOutcome SendBatch(Failure* failure) override {
    const std::vector<Queued> queued = std::move(queue_);
    queue_.clear();
    const BatchOutcome outcome = Send(queued, failure);
    if (outcome == BatchOutcome::kNothingStored || outcome == BatchOutcome::kUnknown) {
      shape_->stale = true;
    }
    return outcome;
  }

  void DiscardBatch() override { queue_.clear(); }

 private:
  struct Queued {
    std::vector<std::size_t> key;
    RowTexts texts;
  };

  bool Store(const RowValues& values, Failure* failure) {
    SessionState& state = *state_;
    if (state.unchecked) {
      state.unchecked = false;
      if (!state.no_transactions && !state.in_transaction()) return StoreFirst(values, failure);
      if (!state.CheckOrReconnect(failure)) return false;
    }
    if (!state.Settle(failure)) return false;
    return InsertOneRow(state.link(), *shape_, values, &buffers_, failure);
  }

  // The first row over a connection that lay idle in the pool goes into a
  // transaction instead of after a question whether the server still
  // answers: if the connection turns out lost (a server restarted between
  // two documents), nothing of the row can have been committed, and it is
  // stored over a new connection. The commit waits for the next statement,
  // which for a document's header is the array of its lines.
  bool StoreFirst(const RowValues& values, Failure* failure) {
    SessionState& state = *state_;
    Failure ignored;
    if (!state.Begin(&ignored)) {
      state.no_transactions = state.link()->connected();
      if (!state.CheckOrReconnect(failure)) return false;
      return InsertOneRow(state.link(), *shape_, values, &buffers_, failure);
    }
    if (InsertOneRow(state.link(), *shape_, values, &buffers_, failure)) {
      state.held.emplace(shape_, values);
      return true;
    }
    if (Lost(*failure, *state.link())) {
      state.Abandon();
      if (!state.Reconnect(failure)) return false;
      return InsertOneRow(state.link(), *shape_, values, &buffers_, failure);
    }
    // Refused: undone, and stored again by itself, so that what is stored
    // and reported is what a row committing by itself gives. A row that
    // goes in by itself after failing in a transaction shows that the
    // server takes none here (DB2 for i on a table that is not journaled).
    if (!state.Finish(false, &ignored)) return false;
    if (!InsertOneRow(state.link(), *shape_, values, &buffers_, failure)) return false;
    state.no_transactions = true;
    return true;
  }

  // The rows kept, sent as one array in a transaction: every row stored, or
  // (after a rollback) none, with the row the transaction held stored again.
  BatchOutcome Send(const std::vector<Queued>& queued, Failure* failure) {
    SessionState& state = *state_;
    if (queued.empty()) return BatchOutcome::kStored;
    // One row by itself costs fewer round trips than an array of one in a
    // transaction, which must be begun and committed.
    if (queued.size() == 1) return BatchOutcome::kNotSent;
    if (state.unchecked || state.no_arrays || state.no_transactions ||
        !state.link()->connected()) {
      return BatchOutcome::kNotSent;
    }
    std::vector<RowTexts> rows;
    rows.reserve(queued.size());
    for (const auto& row : queued) {
      // One array binds one set of columns.
      if (row.key != queued.front().key) return BatchOutcome::kNotSent;
      rows.push_back(row.texts);
    }
    Failure ignored;
    if (!state.Begin(&ignored)) {
      state.no_transactions = true;
      return BatchOutcome::kNotSent;
    }
    switch (InsertRowArray(state.link(), *shape_, queued.front().key, rows, failure)) {
      case ArrayResult::kAllStored:
        if (state.Finish(true, failure)) {
          NoteRowBatchStored();
          return BatchOutcome::kStored;
        }
        return BatchOutcome::kUnknown;
      case ArrayResult::kRefused:
        // Nothing ran; what the transaction holds is committed with the
        // first row stored by itself.
        state.no_arrays = true;
        return BatchOutcome::kNotSent;
      case ArrayResult::kNotAll:
        break;
    }
    std::optional<HeldRow> held = std::move(state.held);
    Failure undone;
    if (!state.Finish(false, &undone)) {
      if (!held) return BatchOutcome::kNothingStored;
      *failure = std::move(undone);
    } else if (!held ||
               InsertOneRow(state.link(), *held->shape, held->Row(), &buffers_, failure)) {
      return BatchOutcome::kNothingStored;
    } else {
      // Rows stored after it must not go in without it.
      state.Abandon();
    }
    failure->errors.insert(
        failure->errors.begin(),
        ProviderError{mirdane::hr::kFail,
                      u"The row stored before these rows was undone with them and could not be "
                      u"stored again."});
    return BatchOutcome::kUnknown;
  }

  std::shared_ptr<SessionState> state_;
  std::shared_ptr<OdbcShape> shape_;
  RowBuffers buffers_;
  std::vector<Queued> queue_;
};

class OdbcSession final : public Session {
 public:
  explicit OdbcSession(std::shared_ptr<SessionState> state) : state_(std::move(state)) {}

  bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                  Failure* failure) override {
    auto& shapes = state_->shapes();
    if (const auto found = shapes.find(sql); found != shapes.end()) {
      if (!found->second->stale && state_->link()->connected()) {
        *target = std::make_unique<OdbcTable>(state_, found->second);
        return true;
      }
      shapes.erase(found);
    }
    const InsertSource source = ParseInsertSource(sql);
    if (!source.valid) {
      *failure = Plain(source.problem);
      return false;
    }
    if (!state_->Settle(failure)) return false;
    std::shared_ptr<OdbcShape> shape;
    if (!Describe(source, &shape, failure)) {
      // Only read: over a connection found lost it is read again.
      if (!state_->unchecked || !Lost(*failure, *state_->link())) return false;
      state_->unchecked = false;
      if (!state_->Reconnect(failure) || !Describe(source, &shape, failure)) return false;
    }
    state_->unchecked = false;
    NoteSourceDescribed();
    if (shapes.size() >= kMaxShapes) shapes.clear();
    shapes[sql] = shape;
    *target = std::make_unique<OdbcTable>(state_, std::move(shape));
    return true;
  }

  bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                    StatementResult* result, Failure* failure) override {
    if (!state_->Settle(failure)) return false;
    if (state_->unchecked) {
      state_->unchecked = false;
      if (statement.kind != KeyedStatement::Kind::Select) {
        if (!state_->CheckOrReconnect(failure)) return false;
      } else if (!RunOdbcStatement(state_->link(), statement, parameters, result, failure)) {
        // Only read: over a connection found lost it is read again.
        if (!Lost(*failure, *state_->link()) || !state_->Reconnect(failure)) return false;
        *result = StatementResult{};
      } else {
        return true;
      }
    }
    return RunOdbcStatement(state_->link(), statement, parameters, result, failure);
  }

  bool Close(Failure* failure) override { return state_->Close(failure); }

  bool Settle(Failure* failure) override { return state_->Settle(failure); }

  // A session taken from the pool is not checked with a question to the
  // server, which would cost every document a round trip: its first
  // statement tells (see OdbcTable::StoreFirst).
  bool StillUsable() override {
    const auto& link = state_->link();
    if (!link->connected() || Lost(Failure{}, *link)) return false;
    state_->unchecked = true;
    return true;
  }

 private:
  // More sources than a release uses are not worth remembering.
  static constexpr std::size_t kMaxShapes = 64;

  bool Describe(const InsertSource& source, std::shared_ptr<OdbcShape>* shape, Failure* failure) {
    const auto& link = state_->link();
    Statement statement;
    if (!statement.Open(link, failure)) return false;
    SqlText query = ToSql(source.DescribeQuery(link->identifierCase()));
    const SQLRETURN rc = SQLExecDirectW(statement.get(), query.data(), SQL_NTS);
    if (!Succeeded(rc)) {
      *failure = statement.FailureOf(rc);
      return false;
    }
    std::vector<DescribedColumn> described;
    if (!DescribeResult(statement, &described, failure)) return false;
    if (described.empty()) {
      *failure = Plain(u"The source " + source.DescribeQuery(link->identifierCase()) +
                       u" gives no columns.");
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
    *shape = std::make_shared<OdbcShape>(source, std::move(columns), std::move(described));
    return true;
  }

  std::shared_ptr<SessionState> state_;
};

}  // namespace

bool OpenOdbcSession(const Route& route, const std::u16string& user, const std::u16string& password,
                     std::shared_ptr<Session>* session, Failure* failure) {
  std::shared_ptr<Link> link;
  if (!ConnectRoute(route, user, password, &link, failure)) return false;
  *session = std::make_shared<OdbcSession>(
      std::make_shared<SessionState>(std::move(link), route, user, password));
  return true;
}

}  // namespace dbAx::provider::odbc
