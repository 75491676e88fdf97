#include "bench/standin_baseline.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

#include "bench/bench_support.h"

namespace mirdane::bench {
namespace {

constexpr const char* kTables[] = {"UAGYCPP", "UAG0CPP"};

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error("baseline: " + what + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

void Check(sqlite3* db, int rc, const std::string& what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) Fail(db, what);
}

class Database {
 public:
  explicit Database(const std::filesystem::path& file) {
    Check(nullptr, sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE, nullptr), "open");
    sqlite3_busy_timeout(db_, 60000);
    sqlite3_stmt* attach = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, "ATTACH DATABASE ?1 AS XALIB", -1, &attach, nullptr), "attach");
    sqlite3_bind_text(attach, 1, file.c_str(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(attach);
    sqlite3_finalize(attach);
    Check(db_, rc, "attach " + file.string());
    Check(db_, sqlite3_exec(db_, "PRAGMA XALIB.synchronous=FULL", nullptr, nullptr, nullptr),
          "synchronous");
  }
  ~Database() { sqlite3_close_v2(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }

  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    Check(db_, sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr), sql);
    return statement;
  }

 private:
  sqlite3* db_ = nullptr;
};

StoredValue ValueOf(sqlite3_stmt* statement, int column) {
  StoredValue value;
  value.type = sqlite3_column_type(statement, column);
  switch (value.type) {
    case SQLITE_INTEGER: value.integer = sqlite3_column_int64(statement, column); break;
    case SQLITE_FLOAT: value.real = sqlite3_column_double(statement, column); break;
    case SQLITE_NULL: break;
    default: {
      const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
      value.bytes.assign(data ? data : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
    }
  }
  return value;
}

void Bind(sqlite3_stmt* statement, int parameter, const StoredValue& value) {
  switch (value.type) {
    case SQLITE_INTEGER: sqlite3_bind_int64(statement, parameter, value.integer); break;
    case SQLITE_FLOAT: sqlite3_bind_double(statement, parameter, value.real); break;
    case SQLITE_TEXT:
      sqlite3_bind_text(statement, parameter, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_STATIC);
      break;
    case SQLITE_BLOB:
      sqlite3_bind_blob(statement, parameter, value.bytes.data(), static_cast<int>(value.bytes.size()),
                        SQLITE_STATIC);
      break;
    default: sqlite3_bind_null(statement, parameter);
  }
}

// Every row of a table, in the order stored, with the column names.
std::vector<std::vector<StoredValue>> RowsOf(Database& db, const std::string& table,
                                             std::vector<std::string>* names) {
  sqlite3_stmt* statement = db.Prepare("SELECT * FROM XALIB." + table + " ORDER BY rowid");
  const int count = sqlite3_column_count(statement);
  if (names) {
    names->clear();
    for (int i = 0; i < count; ++i) names->emplace_back(sqlite3_column_name(statement, i));
  }
  std::vector<std::vector<StoredValue>> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < count; ++i) row.push_back(ValueOf(statement, i));
  }
  sqlite3_finalize(statement);
  return rows;
}

// The row a table stores when no column is given, read and taken back.
std::vector<StoredValue> DefaultRow(Database& db, const std::string& table) {
  Check(db.get(), sqlite3_exec(db.get(), "SAVEPOINT defaults", nullptr, nullptr, nullptr), "savepoint");
  Check(db.get(),
        sqlite3_exec(db.get(), ("INSERT INTO XALIB." + table + " DEFAULT VALUES").c_str(), nullptr,
                     nullptr, nullptr),
        "default row");
  sqlite3_stmt* statement = db.Prepare("SELECT * FROM XALIB." + table + " WHERE rowid = " +
                                       std::to_string(sqlite3_last_insert_rowid(db.get())));
  std::vector<StoredValue> row;
  if (sqlite3_step(statement) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(statement); ++i) row.push_back(ValueOf(statement, i));
  }
  sqlite3_finalize(statement);
  sqlite3_exec(db.get(), "ROLLBACK TO defaults; RELEASE defaults", nullptr, nullptr, nullptr);
  return row;
}

}  // namespace

std::vector<StoredDocument> ReadStoredDocuments(const std::filesystem::path& library_file) {
  Database db(library_file);
  std::vector<StoredDocument> documents;
  std::map<std::int64_t, std::size_t> by_number;  // transaction number -> document
  for (const char* table : kTables) {
    const bool header = std::string(table) == "UAGYCPP";
    const std::string key = header ? "GYABNV" : "G0ABNV";
    const auto defaults = DefaultRow(db, table);
    std::vector<std::string> names;
    for (const auto& values : RowsOf(db, table, &names)) {
      StoredRow row{table, {}, {}, {}};
      std::int64_t number = 0;
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (names[i] == key) number = values[i].integer;
        // A column left at its default is left out, as the release leaves it.
        if (names[i] != key && i < defaults.size() && values[i] == defaults[i]) continue;
        row.columns.push_back(names[i]);
        row.values.push_back(values[i]);
      }
      row.insert = "INSERT INTO XALIB." + row.table + " (";
      std::string marks;
      for (std::size_t i = 0; i < row.columns.size(); ++i) {
        row.insert += (i ? ", \"" : "\"") + row.columns[i] + "\"";
        marks += i ? ", ?" : "?";
      }
      row.insert += ") VALUES (" + marks + ")";
      if (header) {
        by_number[number] = documents.size();
        documents.push_back({std::move(row)});
      } else {
        documents.at(by_number.at(number)).push_back(std::move(row));
      }
    }
  }
  return documents;
}

double WriteWithSqlite(const std::filesystem::path& library_file,
                       const std::vector<StoredDocument>& documents) {
  const auto start = Clock::now();
  Database db(library_file);
  // Prepared once per set of columns, as the stand-in keeps its INSERTs.
  std::map<std::string, sqlite3_stmt*> statements;
  for (const auto& rows : documents) {
    PauseAsTheReleaseDoes();
    for (const auto& row : rows) {
      auto found = statements.find(row.insert);
      if (found == statements.end()) {
        found = statements.emplace(row.insert, db.Prepare(row.insert)).first;
      }
      sqlite3_stmt* statement = found->second;
      for (std::size_t i = 0; i < row.values.size(); ++i) {
        Bind(statement, static_cast<int>(i + 1), row.values[i]);
      }
      // Outside a transaction the INSERT commits by itself.
      Check(db.get(), sqlite3_step(statement), "insert into " + row.table);
      sqlite3_reset(statement);
    }
  }
  for (auto& [sql, statement] : statements) sqlite3_finalize(statement);
  return SecondsSince(start);
}

bool SameRows(const std::filesystem::path& a, const std::filesystem::path& b,
              std::string* difference) {
  Database first(a);
  Database second(b);
  for (const char* table : kTables) {
    std::vector<std::string> names;
    const auto left = RowsOf(first, table, &names);
    const auto right = RowsOf(second, table, nullptr);
    if (left.size() != right.size()) {
      *difference = std::string(table) + ": " + std::to_string(left.size()) + " rows against " +
                    std::to_string(right.size());
      return false;
    }
    for (std::size_t r = 0; r < left.size(); ++r) {
      for (std::size_t c = 0; c < left[r].size(); ++c) {
        if (left[r][c] == right[r][c]) continue;
        *difference = std::string(table) + " row " + std::to_string(r + 1) + " column " + names[c] +
                      ": '" + left[r][c].bytes + "' against '" + right[r][c].bytes + "'";
        return false;
      }
    }
  }
  return true;
}

}  // namespace mirdane::bench
