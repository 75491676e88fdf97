#include "dbax/provider/sqlite/standin_system.h"

#include <algorithm>

#include "base/text.h"

namespace dbAx::provider::sqlite {
namespace fs = std::filesystem;

namespace {

// A writer waits this long for another process's commit before giving up.
constexpr int kBusyTimeoutMilliseconds = 60000;

// As many files as this SQLite lets one connection attach.
constexpr int kWantedAttachLimit = 125;

}  // namespace

std::string QuoteIdentifier(const std::string& name) {
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

StandInSystem::StandInSystem(fs::path directory) : directory_(std::move(directory)) {
  std::error_code error;
  if (!fs::is_directory(directory_, error)) {
    throw std::runtime_error("the stand-in system directory '" + directory_.string() +
                             "' does not exist");
  }
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 nullptr);
  db_.reset(raw);
  if (rc != SQLITE_OK) throw std::runtime_error("SQLite could not open a connection: " + LastError());
  sqlite3_busy_timeout(db_.get(), kBusyTimeoutMilliseconds);
  sqlite3_extended_result_codes(db_.get(), 1);
  // The limit can be raised up to what SQLite was built with; it answers the
  // limit in force before the call.
  sqlite3_limit(db_.get(), SQLITE_LIMIT_ATTACHED, kWantedAttachLimit);
  attach_limit_ = std::max(1, sqlite3_limit(db_.get(), SQLITE_LIMIT_ATTACHED, -1));
}

StandInSystem::Attached* StandInSystem::Find(const std::u16string& library) {
  // Asked for every row stored, mostly with the name as it was attached.
  for (auto& entry : attached_) {
    if (mirdane::SameText(entry.name16, library)) return &entry;
  }
  for (auto& entry : attached_) {
    if (mirdane::EqualsIgnoringAsciiCase(entry.name16, library)) return &entry;
  }
  return nullptr;
}

const StandInSystem::Attached* StandInSystem::Find(const std::u16string& library) const {
  return const_cast<StandInSystem*>(this)->Find(library);
}

bool StandInSystem::IsAttached(const std::u16string& library) const { return Find(library) != nullptr; }

std::string StandInSystem::AttachedName(const std::u16string& library) const {
  const Attached* entry = Find(library);
  return entry ? entry->name : std::string();
}

void StandInSystem::Attach(const fs::path& file, const std::string& name) {
  MakeRoom();
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(db_.get(), "ATTACH DATABASE ?1 AS ?2", -1, &raw, nullptr);
  StatementHandle statement(raw);
  const std::string path = file.string();
  sqlite3_bind_text(statement.get(), 1, path.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(statement.get(), 2, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(statement.get()) != SQLITE_DONE) {
    throw LibraryError("library " + name + " (" + path + ") cannot be attached: " + LastError());
  }
  statement.reset();
  attached_.push_back(Attached{name, mirdane::Utf8ToUtf16(name), ++uses_, ++attaches_, nullptr});
  // A damaged file may attach and fail only when its schema is first read;
  // read it now, so that it fails here, naming the file, and is detached
  // before it can spoil statements that name other libraries.
  const std::string check = "SELECT count(*) FROM " + QuoteIdentifier(name) + ".sqlite_master";
  if (sqlite3_exec(db_.get(), check.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    const std::string why = LastError();
    Detach(attached_.size() - 1);
    throw LibraryError("library " + name + " (" + path + ") cannot be read: " + why);
  }
  // Every row is committed by itself and must survive a crash right after.
  const std::string durable = "PRAGMA " + QuoteIdentifier(name) + ".synchronous=FULL";
  sqlite3_exec(db_.get(), durable.c_str(), nullptr, nullptr, nullptr);
}

void StandInSystem::Detach(std::size_t index) {
  attached_[index].schema_version.reset();
  const std::string sql = "DETACH DATABASE " + QuoteIdentifier(attached_[index].name);
  if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
    throw LibraryError("library " + attached_[index].name + " cannot be detached to make room "
                       "for another: " + LastError());
  }
  attached_.erase(attached_.begin() + static_cast<std::ptrdiff_t>(index));
}

void StandInSystem::MakeRoom() {
  while (static_cast<int>(attached_.size()) >= attach_limit_) {
    const auto oldest = std::min_element(attached_.begin(), attached_.end(),
                                         [](const Attached& a, const Attached& b) {
                                           return a.last_use < b.last_use;
                                         });
    Detach(static_cast<std::size_t>(oldest - attached_.begin()));
  }
}

std::optional<fs::path> StandInSystem::LibraryFile(const std::u16string& library) const {
  std::error_code error;
  for (fs::directory_iterator it(directory_, error), end; !error && it != end; it.increment(error)) {
    const auto& entry = *it;
    std::error_code type_error;
    if (!entry.is_regular_file(type_error) || entry.path().extension() != ".db") continue;
    if (mirdane::EqualsIgnoringAsciiCase(mirdane::Utf8ToUtf16(entry.path().stem().string()),
                                         library)) {
      return entry.path();
    }
  }
  return std::nullopt;
}

bool StandInSystem::Use(const std::u16string& library) {
  if (library.empty()) return false;
  if (Attached* entry = Find(library)) {
    entry->last_use = ++uses_;
    return true;
  }
  const auto file = LibraryFile(library);
  if (!file) return false;
  Attach(*file, file->stem().string());
  return true;
}

std::u16string StandInSystem::UnknownLibraryOf(const std::string& error) {
  std::string name;
  for (const char* prefix : {"no such table: ", "unknown database "}) {
    if (error.rfind(prefix, 0) != 0) continue;
    std::string rest = error.substr(std::char_traits<char>::length(prefix));
    if (prefix[0] == 'n') {
      const auto dot = rest.find('.');
      if (dot == std::string::npos) return {};
      rest.erase(dot);
    }
    name = rest;
  }
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  return mirdane::Utf8ToUtf16(name);
}

int StandInSystem::Prepare(const char* sql, StatementHandle* statement, const char** tail) {
  // Each round attaches one more library the statement names; no statement
  // names more libraries than the system can attach at once.
  for (int round = 0;; ++round) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db_.get(), sql, -1, &raw, tail);
    statement->reset(raw);
    if (rc == SQLITE_OK || round >= attach_limit_) return rc;
    const std::u16string library = UnknownLibraryOf(LastError());
    if (library.empty() || IsAttached(library) || !Use(library)) return rc;
  }
}

void StandInSystem::CreateLibrary(const std::u16string& library) {
  if (Use(library)) return;
  const std::string name = mirdane::Utf16ToUtf8(library);
  const fs::path file = directory_ / (name + ".db");
  Attach(file, name);
  // Readers and one writer at a time across processes: a second writer waits
  // for the first one's commit instead of failing.
  const std::string wal = "PRAGMA " + QuoteIdentifier(name) + ".journal_mode=WAL";
  sqlite3_exec(db_.get(), wal.c_str(), nullptr, nullptr, nullptr);
}

std::uint64_t StandInSystem::AttachSerial(const std::u16string& library) const {
  const Attached* entry = Find(library);
  return entry ? entry->serial : 0;
}

std::optional<int> StandInSystem::SchemaVersion(const std::u16string& library) {
  Attached* entry = Find(library);
  if (!entry) return std::nullopt;
  if (!entry->schema_version) {
    const std::string sql = "PRAGMA " + QuoteIdentifier(entry->name) + ".schema_version";
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(db_.get(), sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK) {
      sqlite3_finalize(raw);
      return std::nullopt;
    }
    entry->schema_version.reset(raw);
  }
  sqlite3_stmt* statement = entry->schema_version.get();
  std::optional<int> version;
  if (sqlite3_step(statement) == SQLITE_ROW) version = sqlite3_column_int(statement, 0);
  sqlite3_reset(statement);
  return version;
}

bool StandInSystem::FilesInPlace() {
  for (const auto& entry : attached_) {
    int moved = 1;
    if (sqlite3_file_control(db_.get(), entry.name.c_str(), SQLITE_FCNTL_HAS_MOVED, &moved) !=
            SQLITE_OK ||
        moved) {
      return false;
    }
  }
  return true;
}

std::string StandInSystem::LastError() const {
  return db_ ? sqlite3_errmsg(db_.get()) : "no connection";
}

}  // namespace dbAx::provider::sqlite
