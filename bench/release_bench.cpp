// Benchmark: documents released into the embedded stand-in, against a
// baseline that writes the same rows with plain SQLite calls in the same run.
//
// The baseline does what the connector must do at the least: one connection
// per document, a prepared INSERT per row, a commit per row, with the same
// durability settings (WAL, synchronous=FULL). The connector's mandatory 1 ms
// pause per document is measured on its own and reported apart, so that the
// connector's own overhead is visible.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <CLI/CLI.hpp>

#include "base/text.h"
#include "bridge/bridge_tool.h"
#include "dbax/ax_library.h"
#include "dbax/provider/schema_session.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::bench {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A fresh stand-in system with the bridge tables.
std::string NewSystem(const fs::path& root, const std::string& name) {
  const fs::path directory = root / name;
  fs::remove_all(directory);
  const std::string source = "sqlite:" + directory.string();
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(source), u"", u"");
  bridge::CreateBridgeTables(*schema, u"XALIB");
  return source;
}

// The batch: three header values and three line columns from table fields.
batch::BatchFile MakeBatch(const std::string& source, int documents, int lines) {
  batch::BatchFile file;
  file.setup.connectString = Utf8ToUtf16(source);
  file.setup.customProperties = {{u"serverAPILibrary", u"XALIB"}};
  file.setup.links = {{u"INV", 1, u"UAGYCPP.GYH6CD"},
                      {u"Vendor", 0, u"UAGYCPP.GYHBCD"},
                      {u"Total", 0, u"UAGYCPP.GYAB34"},
                      {u"Description", 0, u"UAG0CPP.G0FRNA"},
                      {u"Quantity", 0, u"UAG0CPP.G0AAQT"},
                      {u"Price", 0, u"UAG0CPP.G0ACPR"}};
  for (int d = 0; d < documents; ++d) {
    batch::DocumentSpec document;
    document.number = d + 1;
    document.indexFields = {{u"Vendor", u"V1001"}, {u"Total", u"1234.50"}};
    batch::TableSpec table{u"Lines", {{u"Description", {}}, {u"Quantity", {}}, {u"Price", {}}}};
    for (int l = 0; l < lines; ++l) {
      table.columns[0].second.push_back(u"Item " + Utf8ToUtf16(std::to_string(l + 1)));
      table.columns[1].second.push_back(u"2");
      table.columns[2].second.push_back(u"4.95");
    }
    document.tables.push_back(std::move(table));
    file.documents.push_back(std::move(document));
  }
  return file;
}

// Seconds to release every document of `file`; false when any failed.
double ReleaseAll(const batch::BatchFile& file, const fs::path& logs, bool* all_released) {
  batch::HostLog log(logs, [](const std::string&) {});
  const auto start = Clock::now();
  *all_released = batch::ReleaseDocuments(file, log) == file.documents.size();
  return SecondsSince(start);
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE) {
    std::fprintf(stderr, "baseline: %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
  }
}

// The same rows with plain SQLite calls.
double BaselineAll(const std::string& source, int documents, int lines) {
  const std::string library = (fs::path(source.substr(7)) / "XALIB.db").string();
  long long number = 260000000000000;
  const auto start = Clock::now();
  for (int d = 0; d < documents; ++d) {
    sqlite3* db = nullptr;
    Check(sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
    sqlite3_busy_timeout(db, 60000);
    Check(sqlite3_exec(db, ("ATTACH DATABASE '" + library + "' AS XALIB").c_str(), nullptr, nullptr, nullptr), db, "attach");
    Check(sqlite3_exec(db, "PRAGMA XALIB.synchronous=FULL", nullptr, nullptr, nullptr), db, "pragma");
    ++number;
    sqlite3_stmt* header = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO XALIB.UAGYCPP (GYABNV, GYH6CD, GYHBCD, GYAB34) VALUES (?, ?, ?, ?)", -1, &header, nullptr), db, "prepare header");
    sqlite3_bind_int64(header, 1, number);
    sqlite3_bind_text(header, 2, "INV       ", -1, SQLITE_STATIC);
    sqlite3_bind_text(header, 3, "V1001     ", -1, SQLITE_STATIC);
    sqlite3_bind_text(header, 4, "1234.50", -1, SQLITE_STATIC);
    Check(sqlite3_step(header), db, "insert header");
    sqlite3_finalize(header);
    sqlite3_stmt* line = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO XALIB.UAG0CPP (G0ABNV, G0GMNB, G0SSFW, G0SSN4, G0FRNA, G0AAQT, G0ACPR) VALUES (?, ?, '0', '0', ?, ?, ?)", -1, &line, nullptr), db, "prepare line");
    for (int l = 0; l < lines; ++l) {
      const std::string description = "Item " + std::to_string(l + 1);
      sqlite3_reset(line);
      sqlite3_bind_int64(line, 1, number);
      sqlite3_bind_int(line, 2, l + 1);
      sqlite3_bind_text(line, 3, description.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int(line, 4, 2);
      sqlite3_bind_text(line, 5, "4.95", -1, SQLITE_STATIC);
      Check(sqlite3_step(line), db, "insert line");
    }
    sqlite3_finalize(line);
    sqlite3_close(db);
  }
  return SecondsSince(start);
}

// What the 1 ms pause before each transaction number costs on this machine.
double PauseSeconds(int documents) {
  const auto start = Clock::now();
  for (int d = 0; d < documents; ++d) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return SecondsSince(start);
}

struct Measurement {
  double connector = 0;
  double pause = 0;
  double baseline = 0;
};

Measurement Measure(const fs::path& root, int documents, int lines) {
  Measurement m;
  bool released = false;
  const std::string connector = NewSystem(root, "connector");
  m.connector = ReleaseAll(MakeBatch(connector, documents, lines), root / "logs", &released);
  if (!released) {
    std::fprintf(stderr, "a document was not released; see %s\n", (root / "logs").c_str());
    std::exit(1);
  }
  m.pause = PauseSeconds(documents);
  m.baseline = BaselineAll(NewSystem(root, "baseline"), documents, lines);
  return m;
}

}  // namespace
}  // namespace mirdane::bench

int main(int argc, char** argv) {
  using namespace mirdane::bench;
  int documents = 200;
  int lines = 5;
  std::string work = "build/bench";
  CLI::App app{"mirdane release benchmark: the connector against plain SQLite, in one run"};
  app.add_option("--documents", documents, "documents in the main run")->check(CLI::PositiveNumber);
  app.add_option("--lines", lines, "charge lines per document in the main run")->check(CLI::PositiveNumber);
  app.add_option("--work", work, "scratch directory");
  CLI11_PARSE(app, argc, argv);

  const fs::path root(work);
  fs::create_directories(root);
  dbAx::AxLibInit();

  const Measurement m = Measure(root, documents, lines);
  const int rows = documents * (lines + 1);
  const double own = m.connector - m.pause;
  std::printf("release of %d documents with %d charge lines each (%d rows), stand-in on %s\n",
              documents, lines, rows, root.c_str());
  std::printf("  connector          %8.3f s  %8.1f documents/s  %7.1f us/row\n", m.connector,
              documents / m.connector, 1e6 * m.connector / rows);
  std::printf("    of which pauses  %8.3f s  (the 1 ms pause before each transaction number)\n", m.pause);
  std::printf("    own work         %8.3f s  %8.1f documents/s  %7.1f us/row\n", own,
              documents / own, 1e6 * own / rows);
  std::printf("  plain SQLite       %8.3f s  %8.1f documents/s  %7.1f us/row\n", m.baseline,
              documents / m.baseline, 1e6 * m.baseline / rows);
  std::printf("  ratio connector / plain SQLite: %.2f (own work without pauses: %.2f)\n\n",
              m.connector / m.baseline, own / m.baseline);

  std::printf("time per document as the lines grow\n");
  std::printf("  %6s %14s %14s %8s\n", "lines", "connector ms", "baseline ms", "ratio");
  for (const int grow : {1, 10, 100, 1000}) {
    const int docs = grow >= 1000 ? 2 : grow >= 100 ? 5 : 20;
    const Measurement g = Measure(root, docs, grow);
    std::printf("  %6d %14.2f %14.2f %8.2f\n", grow, 1e3 * g.connector / docs,
                1e3 * g.baseline / docs, g.connector / g.baseline);
  }
  dbAx::AxLibTerm();
  return 0;
}
