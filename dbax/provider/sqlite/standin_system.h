// One open connection to a stand-in system: a directory in which every
// library is the SQLite file <LIBRARY>.db.
//
// The connection's main database is an empty in-memory one; a library file is
// attached under the library's name when a statement first names it, so
// statements qualify tables exactly as on the IBM i ("SELECT * FROM
// XALIB.UAGYCPP WHERE 1=0") and SQLite, like DB2 with unquoted names, matches
// the names without regard to case.
//
// SQLite attaches only a limited number of files at once. A system folder may
// hold any number of libraries: when the limit is reached, the library used
// least recently is detached to make room. A library file that is damaged
// fails the statements that name it, never those of other libraries.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dbax/provider/sqlite/sqlite_handles.h"

namespace dbAx::provider::sqlite {

// A library file that exists but cannot be used; what() names the library
// and the file, in UTF-8.
class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class StandInSystem {
 public:
  // Opens the system in `directory`; nothing is attached yet. Throws
  // std::runtime_error (UTF-8) when the directory does not exist.
  explicit StandInSystem(std::filesystem::path directory);

  sqlite3* db() const { return db_.get(); }
  const std::filesystem::path& directory() const { return directory_; }

  // Makes the library (any case) usable in statements: attaches its file if
  // it is not attached yet, detaching the least recently used library when
  // the limit is reached. False when the system has no such library; throws
  // LibraryError when its file cannot be attached or read.
  bool Use(const std::u16string& library);
  // Whether a library of that name (any case) is attached now.
  bool IsAttached(const std::u16string& library) const;
  // The name a library is attached under (its file's spelling); empty when
  // it is not attached.
  std::string AttachedName(const std::u16string& library) const;
  // Prepares the first statement of `sql` (the rest from `*tail`), attaching
  // every library it names that is not attached yet. Answers SQLite's result
  // code; throws LibraryError when a library it names cannot be used.
  int Prepare(const char* sql, StatementHandle* statement, const char** tail = nullptr);
  // Creates the library's file (and the system directory) and attaches it.
  void CreateLibrary(const std::u16string& library);
  // SQLite's last error text for this connection.
  std::string LastError() const;
  // A number that changes whenever the library is attached again (0 while
  // it is not attached): what was learnt of it before may no longer hold.
  std::uint64_t AttachSerial(const std::u16string& library) const;
  // The attached library's schema version, which changes with every change
  // of its tables; nullopt when it cannot be read.
  std::optional<int> SchemaVersion(const std::u16string& library);
  // Whether every attached library's file is still where it was attached,
  // not deleted, renamed or replaced since.
  bool FilesInPlace();
  // Whether any library is attached now.
  bool AnyAttached() const { return !attached_.empty(); }
  // How many libraries are attached at most at once.
  int AttachLimit() const { return attach_limit_; }

 private:
  struct Attached {
    std::string name;      // as attached: the file's stem
    std::u16string name16; // the same, for comparing with names in statements
    std::uint64_t last_use;
    std::uint64_t serial;  // AttachSerial
    StatementHandle schema_version;  // PRAGMA schema_version, prepared when first asked
  };

  void Attach(const std::filesystem::path& file, const std::string& name);
  // The library that a failed prepare's error names as unknown; empty when none.
  static std::u16string UnknownLibraryOf(const std::string& error);
  void Detach(std::size_t index);
  void MakeRoom();
  std::optional<std::filesystem::path> LibraryFile(const std::u16string& library) const;
  Attached* Find(const std::u16string& library);
  const Attached* Find(const std::u16string& library) const;

  std::filesystem::path directory_;
  DatabaseHandle db_;
  std::vector<Attached> attached_;
  std::uint64_t uses_ = 0;
  std::uint64_t attaches_ = 0;
  int attach_limit_ = 0;
};

// Quotes an identifier for SQLite ("A""B").
std::string QuoteIdentifier(const std::string& name);

}  // namespace dbAx::provider::sqlite
