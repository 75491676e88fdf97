#include "dbax/provider/odbc/session_state.h"

namespace dbAx::provider::odbc {

bool SessionState::Begin(Failure* failure) {
  if (in_transaction_) return true;
  if (!link_->connected()) {
    *failure = Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, u"The ODBC connection is closed.");
    return false;
  }
  if (!link_->SetAutocommit(false, failure)) return false;
  in_transaction_ = true;
  return true;
}

bool SessionState::Finish(bool commit, Failure* failure) {
  if (!in_transaction_) return true;
  in_transaction_ = false;
  held.reset();
  // Autocommit goes back on only after the transaction ended: switching it
  // on with a transaction open would commit what a rollback should undo.
  if (link_->EndTransaction(commit, failure) && link_->SetAutocommit(true, failure)) return true;
  Abandon();
  return false;
}

bool SessionState::Settle(Failure* failure) { return Finish(true, failure); }

bool SessionState::CheckOrReconnect(Failure* failure) {
  if (link_->connected()) {
    Failure ignored;
    if (!ping_) {
      auto statement = std::make_unique<Statement>();
      SqlText text = ToSql(link_->PingQuery());
      if (statement->Open(link_, &ignored) &&
          Succeeded(SQLPrepareW(statement->get(), text.data(), SQL_NTS))) {
        ping_ = std::move(statement);
      }
    }
    if (ping_) {
      const SQLRETURN rc = SQLExecute(ping_->get());
      SQLFreeStmt(ping_->get(), SQL_CLOSE);
      if (Succeeded(rc) || rc == SQL_NO_DATA) return true;
    }
  }
  return Reconnect(failure);
}

bool SessionState::Reconnect(Failure* failure) {
  std::shared_ptr<Link> fresh;
  if (!ConnectRoute(route_, user_, password_, &fresh, failure)) {
    failure->connection_lost = true;
    return false;
  }
  Abandon();
  // The descriptions hold; what was prepared on the old connection does not.
  for (auto& [sql, shape] : shapes_) shape->statements.clear();
  link_ = std::move(fresh);
  return true;
}

void SessionState::Abandon() {
  ping_.reset();
  in_transaction_ = false;
  held.reset();
  // A dead connection may refuse to end cleanly; either way the server
  // keeps nothing of an unfinished transaction.
  Failure ignored;
  if (link_->connected() && !link_->Disconnect(&ignored)) {
    SQLEndTran(SQL_HANDLE_DBC, link_->connection(), SQL_ROLLBACK);
    link_->Disconnect(&ignored);
  }
}

bool SessionState::Close(Failure* failure) {
  shapes_.clear();
  ping_.reset();
  if (in_transaction_ && !Finish(false, failure)) return false;
  return link_->Disconnect(failure);
}

}  // namespace dbAx::provider::odbc
