#include "bench/odbc/direct_inserts.h"

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>

#include "base/text.h"
#include "bench/bench_support.h"

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

// The ODBC environment, one for the whole batch as a program keeps it.
class Environment {
 public:
  Environment() {
    Check(handle_.Allocate(SQL_NULL_HANDLE), SQL_HANDLE_ENV, nullptr, "environment");
    Check(SQLSetEnvAttr(handle_.get(), SQL_ATTR_ODBC_VERSION, IntegerAttribute(SQL_OV_ODBC3), 0),
          SQL_HANDLE_ENV, handle_.get(), "ODBC 3");
  }
  SQLHANDLE get() const { return handle_.get(); }

 private:
  EnvironmentHandle handle_;
};

class DirectConnection {
 public:
  DirectConnection(const Environment& environment, const std::u16string& connection_string) {
    Check(connection_.Allocate(environment.get()), SQL_HANDLE_ENV, environment.get(),
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
  DirectConnection(const DirectConnection&) = delete;
  DirectConnection& operator=(const DirectConnection&) = delete;

  SQLHANDLE Prepared(const SqlText& sql) {
    auto found = statements_.find(&sql);
    if (found == statements_.end()) {
      StatementHandle statement;
      Check(statement.Allocate(connection_.get()), SQL_HANDLE_DBC, connection_.get(), "statement");
      Check(SQLPrepareW(statement.get(), const_cast<SQLWCHAR*>(sql.c_str()), SQL_NTS),
            SQL_HANDLE_STMT, statement.get(), "prepare");
      found = statements_.emplace(&sql, std::move(statement)).first;
    }
    return found->second.get();
  }

  void Insert(const InsertRow& row) {
    SQLHANDLE statement = Prepared(row.sql);
    lengths_.resize(std::max(lengths_.size(), row.values.size()));
    for (std::size_t i = 0; i < row.values.size(); ++i) {
      const SqlText& value = row.values[i];
      lengths_[i] = static_cast<SQLLEN>(value.size() * sizeof(SQLWCHAR));
      Check(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                             SQL_C_WCHAR, SQL_VARCHAR, std::max<SQLULEN>(value.size(), 1), 0,
                             const_cast<SQLWCHAR*>(value.c_str()), lengths_[i] + 2, &lengths_[i]),
            SQL_HANDLE_STMT, statement, "bind");
    }
    Check(SQLExecute(statement), SQL_HANDLE_STMT, statement, "insert");
  }

  // Inserts `rows`, which share one INSERT, with one execution of it.
  void InsertArray(const InsertRow* rows, std::size_t count) {
    if (count == 1) return Insert(*rows);
    SQLHANDLE statement = Prepared(rows->sql);
    const std::size_t columns = rows->values.size();
    arrays_.resize(columns);
    array_lengths_.resize(columns);
    for (std::size_t c = 0; c < columns; ++c) {
      std::size_t width = 1;
      for (std::size_t r = 0; r < count; ++r) width = std::max(width, rows[r].values[c].size() + 1);
      arrays_[c].assign(width * count, 0);
      array_lengths_[c].resize(count);
      for (std::size_t r = 0; r < count; ++r) {
        const SqlText& value = rows[r].values[c];
        std::copy(value.begin(), value.end(), arrays_[c].begin() + static_cast<std::ptrdiff_t>(r * width));
        array_lengths_[c][r] = static_cast<SQLLEN>(value.size() * sizeof(SQLWCHAR));
      }
      Check(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT,
                             SQL_C_WCHAR, SQL_VARCHAR, width, 0, arrays_[c].data(),
                             static_cast<SQLLEN>(width * sizeof(SQLWCHAR)),
                             array_lengths_[c].data()),
            SQL_HANDLE_STMT, statement, "bind");
    }
    statuses_.resize(count);
    Check(SQLSetStmtAttrW(statement, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(count), 0),
          SQL_HANDLE_STMT, statement, "array size");
    Check(SQLSetStmtAttrW(statement, SQL_ATTR_PARAM_STATUS_PTR, statuses_.data(), 0),
          SQL_HANDLE_STMT, statement, "status array");
    Check(SQLExecute(statement), SQL_HANDLE_STMT, statement, "insert");
    SQLSetStmtAttrW(statement, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(1), 0);
    SQLSetStmtAttrW(statement, SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
    SQLFreeStmt(statement, SQL_RESET_PARAMS);
  }

 private:
  // Statements are keyed by their text, compared by content.
  struct SqlLess {
    bool operator()(const SqlText* a, const SqlText* b) const { return *a < *b; }
  };
  ConnectionHandle connection_;
  bool connected_ = false;
  std::map<const SqlText*, StatementHandle, SqlLess> statements_;
  std::vector<SQLLEN> lengths_;
  std::vector<SqlText> arrays_;
  std::vector<std::vector<SQLLEN>> array_lengths_;
  std::vector<SQLUSMALLINT> statuses_;
};

}  // namespace

double InsertDirectly(const std::u16string& connection_string,
                      const std::vector<DocumentRows>& documents, bool connection_per_document) {
  const auto start = Clock::now();
  const Environment environment;
  std::unique_ptr<DirectConnection> shared;
  if (!connection_per_document) {
    shared = std::make_unique<DirectConnection>(environment, connection_string);
  }
  for (const auto& rows : documents) {
    PauseAsTheReleaseDoes();
    std::unique_ptr<DirectConnection> own;
    if (connection_per_document) {
      own = std::make_unique<DirectConnection>(environment, connection_string);
    }
    DirectConnection& connection = own ? *own : *shared;
    for (const auto& row : rows) connection.Insert(row);
  }
  return SecondsSince(start);
}

double InsertInTwoTrips(const std::u16string& connection_string,
                        const std::vector<DocumentRows>& documents) {
  const auto start = Clock::now();
  const Environment environment;
  DirectConnection connection(environment, connection_string);
  for (const auto& rows : documents) {
    PauseAsTheReleaseDoes();
    if (rows.empty()) continue;
    connection.Insert(rows.front());
    // The lines, in runs that share one INSERT (in practice all of them).
    for (std::size_t first = 1; first < rows.size();) {
      std::size_t end = first + 1;
      while (end < rows.size() && rows[end].sql == rows[first].sql) ++end;
      connection.InsertArray(&rows[first], end - first);
      first = end;
    }
  }
  return SecondsSince(start);
}

}  // namespace mirdane::bench
