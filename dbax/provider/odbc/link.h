// One connection to an ODBC data source, shared by the session, the tables
// and the statements opened on it.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/odbc/diagnostics.h"
#include "dbax/provider/odbc/odbc_api.h"
#include "dbax/provider/secret_scrubber.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::odbc {

class Link {
 public:
  // Connects with `connection_string` (which may hold the password) and
  // switches autocommit on, so that every statement commits by itself. Every
  // text the link reports is scrubbed of `scrubber`'s secrets.
  static bool Connect(const std::u16string& connection_string, SecretScrubber scrubber,
                      std::shared_ptr<Link>* link, Failure* failure);

  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  SQLHANDLE connection() const { return connection_.get(); }
  bool connected() const { return connected_; }
  const SecretScrubber& scrubber() const { return scrubber_; }
  // How the server stores names written without quotes (SQL_IDENTIFIER_CASE).
  IdentifierCase identifierCase() const { return identifier_case_; }
  // `name` quoted so that it names what the unquoted name would on this server.
  std::u16string Quote(const std::u16string& name) const {
    return QuoteSqlIdentifier(name, identifier_case_);
  }
  // A query that any server of this kind answers at once, to learn whether
  // the connection still works.
  const std::u16string& PingQuery() const { return ping_query_; }
  // Ends the connection; the statements still open are freed with it.
  bool Disconnect(Failure* failure);
  // Switches autocommit off (a transaction starts with the next statement)
  // or back on.
  bool SetAutocommit(bool on, Failure* failure);
  // Commits or rolls back the transaction open on the connection.
  bool EndTransaction(bool commit, Failure* failure);
  // The failure a call on `handle` that answered `rc` reports.
  Failure FailureOf(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc,
                    const std::u16string& context = {}) const;

 private:
  explicit Link(SecretScrubber scrubber) : scrubber_(std::move(scrubber)) {}

  SecretScrubber scrubber_;
  EnvironmentHandle environment_;
  ConnectionHandle connection_;
  bool connected_ = false;
  IdentifierCase identifier_case_ = IdentifierCase::Upper;
  std::u16string ping_query_ = u"SELECT 1";
};

// Connects to what an odbc: route (or a plain IBM i system name) names, with
// the user and password given apart from it; the password and any PWD= of
// the route are kept out of every text the link reports.
bool ConnectRoute(const Route& route, const std::u16string& user, const std::u16string& password,
                  std::shared_ptr<Link>* link, Failure* failure);

// A statement on a link.
class Statement {
 public:
  Statement() = default;
  ~Statement();
  Statement(Statement&&) = default;
  // Replacing a statement would free its handle without asking the link.
  Statement& operator=(Statement&&) = delete;

  // Allocates a statement on an open link.
  bool Open(std::shared_ptr<Link> link, Failure* failure);
  SQLHANDLE get() const { return handle_.get(); }
  const Link& link() const { return *link_; }
  // The failure a call on this statement that answered `rc` reports.
  Failure FailureOf(SQLRETURN rc, const std::u16string& context = {}) const {
    return link_->FailureOf(SQL_HANDLE_STMT, handle_.get(), rc, context);
  }

 private:
  std::shared_ptr<Link> link_;
  StatementHandle handle_;
};

}  // namespace dbAx::provider::odbc
