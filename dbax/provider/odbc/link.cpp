#include "dbax/provider/odbc/link.h"

#include <algorithm>
#include <iterator>

#include "dbax/provider/odbc/connection_string.h"

namespace dbAx::provider::odbc {
namespace {

// How long a connection attempt may take before the driver gives up.
constexpr std::uintptr_t kLoginTimeoutSeconds = 30;

Failure Plain(const SecretScrubber& scrubber, const std::u16string& text) {
  return Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail, scrubber.Scrub(text));
}

}  // namespace

bool Link::Connect(const std::u16string& connection_string, SecretScrubber scrubber,
                   std::shared_ptr<Link>* link, Failure* failure) {
  std::shared_ptr<Link> made(new Link(std::move(scrubber)));
  if (!Succeeded(made->environment_.Allocate(SQL_NULL_HANDLE))) {
    *failure = Plain(made->scrubber_, u"The ODBC driver manager cannot be started (no "
                                      u"environment handle).");
    return false;
  }
  SQLRETURN rc = SQLSetEnvAttr(made->environment_.get(), SQL_ATTR_ODBC_VERSION,
                               IntegerAttribute(SQL_OV_ODBC3), 0);
  if (!Succeeded(rc)) {
    *failure = made->FailureOf(SQL_HANDLE_ENV, made->environment_.get(), rc,
                               u"The ODBC driver manager does not offer ODBC 3.");
    return false;
  }
  rc = made->connection_.Allocate(made->environment_.get());
  if (!Succeeded(rc)) {
    *failure = made->FailureOf(SQL_HANDLE_ENV, made->environment_.get(), rc,
                               u"The ODBC driver manager cannot make a connection handle.");
    return false;
  }
  SQLSetConnectAttrW(made->connection_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                     IntegerAttribute(kLoginTimeoutSeconds), 0);  // a hint: drivers may ignore it

  SqlText text = ToSql(connection_string);
  SQLSMALLINT ignored = 0;
  rc = SQLDriverConnectW(made->connection_.get(), nullptr, text.data(), SQL_NTS, nullptr, 0,
                         &ignored, SQL_DRIVER_NOPROMPT);
  // The copy holds the password: do not leave it in freed memory.
  std::fill(text.begin(), text.end(), SQLWCHAR{0});
  if (!Succeeded(rc)) {
    *failure = made->FailureOf(SQL_HANDLE_DBC, made->connection_.get(), rc,
                               u"Connecting to the ODBC data source " +
                                   WithoutPasswords(connection_string) + u" failed.");
    return false;
  }
  made->connected_ = true;

  // Each row must be committed by itself: a document's stored rows stay
  // stored when a later one fails.
  rc = SQLSetConnectAttrW(made->connection_.get(), SQL_ATTR_AUTOCOMMIT,
                          IntegerAttribute(SQL_AUTOCOMMIT_ON), 0);
  if (!Succeeded(rc)) {
    *failure = made->FailureOf(SQL_HANDLE_DBC, made->connection_.get(), rc,
                               u"The ODBC data source does not commit each statement by itself "
                               u"(autocommit refused).");
    return false;
  }
  // Names go into statements quoted (so that '#' and '@' are read as part of
  // them), folded as the server folds unquoted names. A driver that cannot
  // say is taken to fold to upper case, as DB2 does.
  SQLUSMALLINT folding = SQL_IC_UPPER;
  if (Succeeded(SQLGetInfoW(made->connection_.get(), SQL_IDENTIFIER_CASE, &folding,
                            sizeof folding, nullptr))) {
    if (folding == SQL_IC_LOWER) made->identifier_case_ = IdentifierCase::Lower;
    else if (folding == SQL_IC_MIXED || folding == SQL_IC_SENSITIVE) {
      made->identifier_case_ = IdentifierCase::AsWritten;
    }
  }
  // DB2 (the IBM i among them) selects only from a table.
  SQLWCHAR dbms[64] = {};
  SQLSMALLINT length = 0;
  if (Succeeded(SQLGetInfoW(made->connection_.get(), SQL_DBMS_NAME, dbms, sizeof dbms, &length))) {
    const std::u16string name =
        FromSql(dbms, std::min<std::size_t>(static_cast<std::size_t>(length) / sizeof(SQLWCHAR),
                                            std::size(dbms) - 1));
    if (name.find(u"DB2") != std::u16string::npos) {
      made->ping_query_ = u"SELECT 1 FROM SYSIBM.SYSDUMMY1";
    }
  }
  *link = std::move(made);
  return true;
}

Link::~Link() {
  if (connected_) SQLDisconnect(connection_.get());
}

bool Link::Disconnect(Failure* failure) {
  if (!connected_) return true;
  const SQLRETURN rc = SQLDisconnect(connection_.get());
  if (!Succeeded(rc)) {
    *failure = FailureOf(SQL_HANDLE_DBC, connection_.get(), rc);
    return false;
  }
  connected_ = false;
  return true;
}

bool Link::SetAutocommit(bool on, Failure* failure) {
  const SQLRETURN rc =
      SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                         IntegerAttribute(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
  if (Succeeded(rc)) return true;
  *failure = FailureOf(SQL_HANDLE_DBC, connection_.get(), rc);
  return false;
}

bool Link::EndTransaction(bool commit, Failure* failure) {
  const SQLRETURN rc =
      SQLEndTran(SQL_HANDLE_DBC, connection_.get(), commit ? SQL_COMMIT : SQL_ROLLBACK);
  if (Succeeded(rc)) return true;
  *failure = FailureOf(SQL_HANDLE_DBC, connection_.get(), rc);
  return false;
}

Failure Link::FailureOf(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc,
                        const std::u16string& context) const {
  return odbc::FailureOf(ReadDiagnostics(type, handle), rc, context, scrubber_);
}

bool ConnectRoute(const Route& route, const std::u16string& user, const std::u16string& password,
                  std::shared_ptr<Link>* link, Failure* failure) {
  SecretScrubber scrubber;
  scrubber.AddSecret(password);
  scrubber.AddSecretsOf(route.target);
  const auto connection_string = BuildConnectionString(route, user, password);
  if (!connection_string.valid) {
    *failure = Plain(scrubber, connection_string.problem);
    return false;
  }
  return Link::Connect(connection_string.text, std::move(scrubber), link, failure);
}

Statement::~Statement() {
  // Disconnecting freed the statements of the connection already.
  if (link_ && !link_->connected()) handle_.Abandon();
  handle_.Reset();
}

bool Statement::Open(std::shared_ptr<Link> link, Failure* failure) {
  if (!link->connected()) {
    *failure = Failure::Of(mirdane::hr::kFail, mirdane::hr::kFail,
                           u"The ODBC connection is closed.");
    return false;
  }
  const SQLRETURN rc = handle_.Allocate(link->connection());
  if (!Succeeded(rc)) {
    *failure = link->FailureOf(SQL_HANDLE_DBC, link->connection(), rc);
    handle_.Abandon();
    return false;
  }
  link_ = std::move(link);
  return true;
}

}  // namespace dbAx::provider::odbc
