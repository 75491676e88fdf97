// One open connection to a stand-in system: a directory in which every
// library is the SQLite file <LIBRARY>.db.
//
// The connection's main database is an empty in-memory one; each library file
// is attached under the library's name, so statements qualify tables exactly
// as on the IBM i ("SELECT * FROM XALIB.UAGYCPP WHERE 1=0") and SQLite, like
// DB2 with unquoted names, matches the names without regard to case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "dbax/provider/sqlite/sqlite_handles.h"

namespace dbAx::provider::sqlite {

class StandInSystem {
 public:
  // Opens the system in `directory`, attaching every library it holds.
  // Throws std::runtime_error (UTF-8) when the directory does not exist or a
  // library cannot be attached.
  explicit StandInSystem(std::filesystem::path directory);

  sqlite3* db() const { return db_.get(); }
  const std::filesystem::path& directory() const { return directory_; }

  // Whether a library of that name (any case) is attached.
  bool IsAttached(const std::u16string& library) const;
  // Attaches the library's file if it exists and is not attached yet; true
  // when the library is attached afterwards.
  bool AttachIfPresent(const std::u16string& library);
  // Creates the library's file (and the system directory) and attaches it.
  void CreateLibrary(const std::u16string& library);
  // SQLite's last error text for this connection.
  std::string LastError() const;

 private:
  void Attach(const std::filesystem::path& file, const std::string& name);
  int CountAttached() const;
  std::optional<std::filesystem::path> LibraryFile(const std::u16string& library) const;

  std::filesystem::path directory_;
  DatabaseHandle db_;
};

// Quotes an identifier for SQLite ("A""B").
std::string QuoteIdentifier(const std::string& name);

}  // namespace dbAx::provider::sqlite
