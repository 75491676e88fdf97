#include "dbax/provider/sqlite/standin_system.h"

#include <stdexcept>

#include "base/text.h"

namespace dbAx::provider::sqlite {
namespace fs = std::filesystem;

namespace {

// A writer waits this long for another process's commit before giving up.
constexpr int kBusyTimeoutMilliseconds = 60000;

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

  for (const auto& entry : fs::directory_iterator(directory_, error)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".db") continue;
    const std::string name = entry.path().stem().string();
    if (IsAttached(mirdane::Utf8ToUtf16(name))) continue;  // XALIB.db beside xalib.db
    // SQLite attaches a limited number of files; the rest attach when first named.
    if (sqlite3_limit(db_.get(), SQLITE_LIMIT_ATTACHED, -1) <= CountAttached()) break;
    Attach(entry.path(), name);
  }
}

int StandInSystem::CountAttached() const {
  int count = -2;  // "main" and "temp" are not libraries
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(db_.get(), "PRAGMA database_list", -1, &raw, nullptr);
  StatementHandle statement(raw);
  while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) ++count;
  return count < 0 ? 0 : count;
}

void StandInSystem::Attach(const fs::path& file, const std::string& name) {
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(db_.get(), "ATTACH DATABASE ?1 AS ?2", -1, &raw, nullptr);
  StatementHandle statement(raw);
  const std::string path = file.string();
  sqlite3_bind_text(statement.get(), 1, path.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(statement.get(), 2, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(statement.get()) != SQLITE_DONE) {
    throw std::runtime_error("library " + name + " (" + path + ") cannot be attached: " +
                             LastError());
  }
  // Every row is committed by itself and must survive a crash right after.
  const std::string durable = "PRAGMA " + QuoteIdentifier(name) + ".synchronous=FULL";
  sqlite3_exec(db_.get(), durable.c_str(), nullptr, nullptr, nullptr);
}

bool StandInSystem::IsAttached(const std::u16string& library) const {
  sqlite3_stmt* raw = nullptr;
  sqlite3_prepare_v2(db_.get(), "PRAGMA database_list", -1, &raw, nullptr);
  StatementHandle statement(raw);
  while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) {
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 1));
    if (name && mirdane::EqualsIgnoringAsciiCase(mirdane::Utf8ToUtf16(name), library)) return true;
  }
  return false;
}

std::optional<fs::path> StandInSystem::LibraryFile(const std::u16string& library) const {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory_, error)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".db") continue;
    if (mirdane::EqualsIgnoringAsciiCase(mirdane::Utf8ToUtf16(entry.path().stem().string()),
                                         library)) {
      return entry.path();
    }
  }
  return std::nullopt;
}

bool StandInSystem::AttachIfPresent(const std::u16string& library) {
  if (library.empty()) return false;
  if (IsAttached(library)) return true;
  const auto file = LibraryFile(library);
  if (!file) return false;
  Attach(*file, file->stem().string());
  return true;
}

void StandInSystem::CreateLibrary(const std::u16string& library) {
  if (AttachIfPresent(library)) return;
  const std::string name = mirdane::Utf16ToUtf8(library);
  const fs::path file = directory_ / (name + ".db");
  Attach(file, name);
  // Readers and one writer at a time across processes: a second writer waits
  // for the first one's commit instead of failing.
  const std::string wal = "PRAGMA " + QuoteIdentifier(name) + ".journal_mode=WAL";
  sqlite3_exec(db_.get(), wal.c_str(), nullptr, nullptr, nullptr);
}

std::string StandInSystem::LastError() const {
  return db_ ? sqlite3_errmsg(db_.get()) : "no connection";
}

}  // namespace dbAx::provider::sqlite
