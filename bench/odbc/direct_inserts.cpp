#include "bench/odbc/direct_inserts.h"

#include <map>
#include <stdexcept>

#include "base/text.h"
#include "dbax/provider/odbc/odbc_api.h"

namespace mirdane::bench {
namespace {

using namespace dbAx::provider::odbc;

[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  std::string text = what;
  SQLWCHAR state[6] = {};
  SQLWCHAR message[1024] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (Succeeded(SQLGetDiagRecW(type, handle, 1, state, &native, message, 1024, &length))) {
    text += ": " + Utf16ToUtf8(FromSql(message, static_cast<std::size_t>(std::min<SQLSMALLINT>(length, 1023))));
  }
  throw std::runtime_error(text);
}

void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
  if (!Succeeded(rc) && rc != SQL_NO_DATA) Fail(type, handle, what);
}

class DirectConnection {
 public:
  explicit DirectConnection(const std::u16string& connection_string) {
    Check(environment_.Allocate(SQL_NULL_HANDLE), SQL_HANDLE_ENV, nullptr, "environment");
    Check(SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, IntegerAttribute(SQL_OV_ODBC3),
                        0),
          SQL_HANDLE_ENV, environment_.get(), "ODBC 3");
    Check(connection_.Allocate(environment_.get()), SQL_HANDLE_ENV, environment_.get(),
          "connection handle");
    SqlText text = ToSql(connection_string);
    SQLSMALLINT ignored = 0;
    Check(SQLDriverConnectW(connection_.get(), nullptr, text.data(), SQL_NTS, nullptr, 0, &ignored,
                            SQL_DRIVER_NOPROMPT),
          SQL_HANDLE_DBC, connection_.get(), "connect");
    connected_ = true;
    Check(SQLSetConnectAttrW(connection_.get(), SQL_ATTR_AUTOCOMMIT,
                             IntegerAttribute(SQL_AUTOCOMMIT_ON), 0),
          SQL_HANDLE_DBC, connection_.get(), "autocommit");
  }

  ~DirectConnection() {
    statements_.clear();
    if (connected_) SQLDisconnect(connection_.get());
  }

  void Insert(const InsertRow& row) {
    std::u16string sql = u"INSERT INTO " + row.table + u" (";
    for (std::size_t i = 0; i < row.columns.size(); ++i) sql += (i ? u", " : u"") + row.columns[i];
    sql += u") VALUES (";
    for (std::size_t i = 0; i < row.columns.size(); ++i) sql += i ? u", ?" : u"?";
    sql += u")";
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
      StatementHandle statement;
      Check(statement.Allocate(connection_.get()), SQL_HANDLE_DBC, connection_.get(), "statement");
      SqlText text = ToSql(sql);
      Check(SQLPrepareW(statement.get(), text.data(), SQL_NTS), SQL_HANDLE_STMT, statement.get(),
            "prepare");
      found = statements_.emplace(sql, std::move(statement)).first;
    }
    SQLHANDLE statement = found->second.get();
    std::vector<SqlText> texts;
    std::vector<SQLLEN> lengths(row.values.size());
    texts.reserve(row.values.size());
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      texts.push_back(ToSql(row.values[i]));
      lengths[i] = static_cast<SQLLEN>(texts[i].size() * sizeof(SQLWCHAR));
      Check(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                             SQL_C_WCHAR, SQL_VARCHAR, std::max<SQLULEN>(texts[i].size(), 1), 0,
                             texts[i].data(), lengths[i] + 2, &lengths[i]),
            SQL_HANDLE_STMT, statement, "bind");
    }
    Check(SQLExecute(statement), SQL_HANDLE_STMT, statement, "insert");
    SQLFreeStmt(statement, SQL_RESET_PARAMS);
  }

 private:
  EnvironmentHandle environment_;
  ConnectionHandle connection_;
  bool connected_ = false;
  std::map<std::u16string, StatementHandle> statements_;
};

}  // namespace

void InsertDirectly(const std::u16string& connection_string,
                    const std::vector<DocumentRows>& documents, bool connection_per_document) {
  std::unique_ptr<DirectConnection> shared;
  if (!connection_per_document) shared = std::make_unique<DirectConnection>(connection_string);
  for (const auto& rows : documents) {
    std::unique_ptr<DirectConnection> own;
    if (connection_per_document) own = std::make_unique<DirectConnection>(connection_string);
    DirectConnection& connection = own ? *own : *shared;
    for (const auto& row : rows) connection.Insert(row);
  }
}

}  // namespace mirdane::bench
