// What an ODBC session shares with the tables opened on it: the link (which a
// connection found lost replaces), the descriptions of its sources with their
// prepared INSERTs, and the transaction the session may hold open.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dbax/provider/backend.h"
#include "dbax/provider/odbc/columns.h"
#include "dbax/provider/odbc/insert_source.h"
#include "dbax/provider/odbc/link.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider::odbc {

// What a source query was found to be, kept while the session lives so that
// the next recordset on the same source need not describe it again: the
// columns, and the INSERT statements prepared for them.
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

// A row stored inside the open transaction: after a rollback it is stored
// again by itself, so that rolling back undoes only what was sent with it.
// Its values are copied: the recordset's own change with its next row.
struct HeldRow {
  HeldRow(std::shared_ptr<OdbcShape> s, const RowValues& row) : shape(std::move(s)) {
    for (const auto& [index, value] : row) values.emplace_back(index, value);
  }
  // The values as a row to store.
  RowValues Row() const {
    RowValues row;
    for (const auto& [index, value] : values) row.push_back({index, value});
    return row;
  }

  std::shared_ptr<OdbcShape> shape;
  std::vector<std::pair<std::size_t, Variant>> values;
};

class SessionState {
 public:
  SessionState(std::shared_ptr<Link> link, Route route, std::u16string user,
               std::u16string password)
      : link_(std::move(link)),
        route_(std::move(route)),
        user_(std::move(user)),
        password_(std::move(password)) {}

  const std::shared_ptr<Link>& link() const { return link_; }
  std::unordered_map<std::u16string, std::shared_ptr<OdbcShape>>& shapes() { return shapes_; }

  // Taken from the pool without asking the server: whether the connection
  // still works is learnt from the first statement.
  bool unchecked = false;
  // The driver or the server refused a transaction, or an array of
  // parameters: rows go one by one, each committing by itself.
  bool no_transactions = false;
  bool no_arrays = false;
  // The row the open transaction holds back, if any.
  std::optional<HeldRow> held;

  bool in_transaction() const { return in_transaction_; }
  // Switches autocommit off: the next statement starts a transaction.
  bool Begin(Failure* failure);
  // Commits or rolls back the open transaction, forgetting the held row, and
  // switches autocommit back on. A connection that can do neither is ended,
  // which makes the server undo what it held; false then.
  bool Finish(bool commit, Failure* failure);
  // Commits the open transaction, if there is one.
  bool Settle(Failure* failure);
  // Asks the server whether it still answers, and connects anew when not.
  bool CheckOrReconnect(Failure* failure);
  // Connects anew and ends the old connection; statements prepared on it go.
  bool Reconnect(Failure* failure);
  // Ends the connection without committing anything.
  void Abandon();
  // Ends the session's connection, committing nothing held back.
  bool Close(Failure* failure);

 private:
  std::shared_ptr<Link> link_;
  Route route_;
  std::u16string user_;
  std::u16string password_;
  std::unordered_map<std::u16string, std::shared_ptr<OdbcShape>> shapes_;
  bool in_transaction_ = false;
  std::unique_ptr<Statement> ping_;  // the statement that asks whether the server answers
};

}  // namespace dbAx::provider::odbc
