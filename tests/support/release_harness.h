// Releases batch files into a fresh stand-in system, in process, the way the
// `mirdane release` program does, and reads back what was written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "dbax/provider/schema_session.h"
#include "host/kfx_constants.h"
#include "tests/support/temp_dir.h"

namespace mirdane::test {

struct LogLine {
  int severity = 0;
  std::string module;
  int line = 0;
  std::string message;  // as written: line breaks as \n
};

struct ReleaseRun {
  std::vector<kfx::KfxReturnValue> results;  // one per document
  std::vector<LogLine> log;                  // the host's error log
  std::vector<std::string> status;           // SendMessage lines
};

class ReleaseHarness {
 public:
  // A stand-in system with the bridge tables in `library`, and a batch whose
  // setup points at it with no links yet.
  explicit ReleaseHarness(std::string library = "XALIB");

  nlohmann::ordered_json& setup() { return batch_["setup"]; }
  // Creates the release ledger beside the bridge tables and switches it on
  // (custom property releaseLedger = 1).
  void EnableLedger();
  nlohmann::ordered_json& documents() { return batch_["documents"]; }
  void Link(const std::string& source, int type, const std::string& destination);
  // Appends a document and gives it for filling in.
  nlohmann::ordered_json& AddDocument();
  // Writes the batch file, releases every document and reads the log.
  ReleaseRun Run();

  // Rows of a bridge table in the library, ordered by its generated columns
  // (the ledger's by transaction number).
  dbAx::provider::QueryResult Rows(const std::string& table, const std::string& columns = "*");
  const std::filesystem::path& directory() const { return dir_.path(); }
  std::string system() const { return "sqlite:" + (dir_.path() / "system").string(); }
  const std::string& library() const { return library_; }

 private:
  TempDir dir_;
  std::string library_;
  nlohmann::ordered_json batch_;
};

// The first row's value of a column, with CHAR padding trimmed.
std::string Cell(const dbAx::provider::QueryResult& rows, std::size_t row, const std::string& column);

}  // namespace mirdane::test
