// The stand-in benchmark's baseline: the rows a release stored, written
// again with nothing but SQLite calls, as cheaply as SQLite allows under the
// same rules (one connection for the batch, the library attached as the
// stand-in attaches it, WAL with synchronous=FULL, a commit per row, the
// release's pause before each document).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mirdane::bench {

// One value as SQLite stores it: its storage class and its bytes.
struct StoredValue {
  int type = 0;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB, SQLITE_NULL
  std::int64_t integer = 0;
  double real = 0;
  std::string bytes;
  bool operator==(const StoredValue&) const = default;
};

struct StoredRow {
  std::string table;
  std::vector<std::string> columns;  // those whose value is not the column's default
  std::vector<StoredValue> values;
  std::string insert;  // the INSERT of those columns, made before the clock starts
};

// A document's rows in the order the release stored them: its header, then
// its lines.
using StoredDocument = std::vector<StoredRow>;

// The documents whose rows the library file holds, in the order stored.
std::vector<StoredDocument> ReadStoredDocuments(const std::filesystem::path& library_file);

// Writes the documents' rows into the library file (of a system made like
// the release's); seconds taken.
double WriteWithSqlite(const std::filesystem::path& library_file,
                       const std::vector<StoredDocument>& documents);

// Whether both library files hold the same rows, value for value and byte
// for byte; `difference` says where they first differ.
bool SameRows(const std::filesystem::path& a, const std::filesystem::path& b,
              std::string* difference);

}  // namespace mirdane::bench
