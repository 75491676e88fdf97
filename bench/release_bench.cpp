// Benchmark: documents released into the embedded stand-in, against a
// baseline that writes byte for byte the same rows with plain SQLite calls,
// in interleaved rounds of the same run; then how the release scales with
// the number of documents (time and peak memory of `mirdane release`) and
// with the number of lines.
//
// Both sides keep the same rules: the library attached to an in-memory
// connection, WAL with synchronous=FULL, a commit per row, and the 1 ms
// pause before each document's transaction number. By default the systems
// lie in /dev/shm, where a commit costs no disk flush, so that the figures
// compare the two sides' own work rather than the disk.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "base/text.h"
#include "bench/bench_support.h"
#include "bench/standin_baseline.h"
#include "bridge/bridge_tool.h"
#include "dbax/ax_library.h"
#include "dbax/provider/schema_session.h"

namespace mirdane::bench {
namespace {

namespace fs = std::filesystem;

// A fresh stand-in system with the bridge tables in XALIB.
std::u16string NewSystem(const fs::path& directory) {
  fs::remove_all(directory);
  const std::u16string source = u"sqlite:" + Utf8ToUtf16(directory.string());
  auto schema = dbAx::provider::OpenSchemaSession(source, u"", u"");
  bridge::CreateBridgeTables(*schema, u"XALIB");
  return source;
}

// The release against the baseline for documents of `lines` lines.
void CompareWithSqlite(const fs::path& root, int documents, int lines, int rounds) {
  Ratios ratios;
  std::vector<double> release_ms, baseline_ms;
  for (int round = 0; round < rounds; ++round) {
    const fs::path released = root / "release";
    const auto file = MakeBatch(NewSystem(released), u"XALIB", documents, lines);
    const double release = TimeRelease(file, root / "logs");
    const auto rows = ReadStoredDocuments(released / "XALIB.db");

    const fs::path written = root / "baseline";
    NewSystem(written);
    const double baseline = WriteWithSqlite(written / "XALIB.db", rows);
    std::string difference;
    if (!SameRows(released / "XALIB.db", written / "XALIB.db", &difference)) {
      std::fprintf(stderr, "the baseline's rows differ from the release's: %s\n", difference.c_str());
      std::exit(1);
    }
    ratios.values.push_back(release / baseline);
    release_ms.push_back(1e3 * release / documents);
    baseline_ms.push_back(1e3 * baseline / documents);
  }
  std::printf("  %6d %8d %14.3f %14.3f   %s\n", documents, lines, Median(release_ms),
              Median(baseline_ms), ratios.Text().c_str());
}

struct ChildRun {
  double seconds = 0;
  double peak_mb = 0;
};

// `mirdane release` of a batch file in a process of its own, started by
// mirdane_peak_memory (beside this program) so that its peak resident
// memory is its own: wall time and that peak.
ChildRun RunMirdane(const std::string& mirdane, const fs::path& batch, const fs::path& root) {
  static const std::string peak_memory =
      (fs::read_symlink("/proc/self/exe").parent_path() / "mirdane_peak_memory").string();
  const std::string batch_arg = batch.string();
  const std::string logs = (root / "logs").string();
  const std::string counter = (root / "counter").string();
  const std::string peak_file = (root / "peak").string();
  // The child would otherwise write what this process has not yet flushed.
  std::fflush(stdout);
  std::fflush(stderr);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    execl(peak_memory.c_str(), peak_memory.c_str(), peak_file.c_str(), mirdane.c_str(), "release",
          "--batch", batch_arg.c_str(), "--log-dir", logs.c_str(), "--counter-file",
          counter.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double seconds = SecondsSince(start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s release --batch %s failed (status %d)\n", mirdane.c_str(),
                 batch_arg.c_str(), status);
    std::exit(1);
  }
  double peak_kb = 0;
  std::ifstream(peak_file) >> peak_kb;
  return ChildRun{seconds, peak_kb / 1024.0};
}

// Milliseconds per document and peak memory of `mirdane release` as the
// documents grow: each size against the smallest.
void ScaleDocuments(const std::string& mirdane, const fs::path& root, int rounds) {
  std::printf("\nmirdane release as the documents grow (5 lines each; %d rounds, medians; the "
              "time of a release of no document taken off)\n", rounds);
  std::printf("  %9s %12s %10s %12s %10s\n", "documents", "ms/document", "ratio", "peak MB",
              "ratio");
  const auto median_run = [&](int documents) {
    const fs::path system = root / "scale";
    const auto file = MakeBatch(u"sqlite:" + Utf8ToUtf16(system.string()), u"XALIB", documents, 5);
    const fs::path batch = root / "scale.json";
    std::ofstream(batch) << BatchJson(file);
    std::vector<double> seconds, peaks;
    for (int round = 0; round < rounds; ++round) {
      NewSystem(system);
      const ChildRun run = RunMirdane(mirdane, batch, root);
      seconds.push_back(run.seconds);
      peaks.push_back(run.peak_mb);
    }
    return ChildRun{Median(seconds), Median(peaks)};
  };
  const ChildRun empty = median_run(0);
  double first_ms = 0, first_mb = 0;
  for (const int documents : {10, 100, 1000, 10000}) {
    const ChildRun run = median_run(documents);
    const double ms = 1e3 * (run.seconds - empty.seconds) / documents;
    if (documents == 10) {
      first_ms = ms;
      first_mb = run.peak_mb;
    }
    std::printf("  %9d %12.3f %10.2f %12.1f %10.2f\n", documents, ms, ms / first_ms, run.peak_mb,
                run.peak_mb / first_mb);
  }
  std::printf("  goals: time per document within 1.2x, peak memory within 1.5x of 10 documents\n");
}

// Time per line of the release as a document's lines grow.
void ScaleLines(const fs::path& root, int rounds) {
  std::printf("\nthe release as the lines grow (%d rounds, medians)\n", rounds);
  std::printf("  %8s %10s %14s %12s\n", "lines", "documents", "ms/document", "us/line");
  for (const int lines : {1, 10, 100, 1000, 10000}) {
    const int documents = lines >= 1000 ? 2 : lines >= 100 ? 10 : 50;
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round) {
      const auto file = MakeBatch(NewSystem(root / "lines"), u"XALIB", documents, lines);
      seconds.push_back(TimeRelease(file, root / "logs"));
    }
    const double total = Median(seconds);
    std::printf("  %8d %10d %14.3f %12.1f\n", lines, documents, 1e3 * total / documents,
                1e6 * total / (static_cast<double>(documents) * lines));
  }
}

}  // namespace
}  // namespace mirdane::bench

int main(int argc, char** argv) {
  using namespace mirdane::bench;
  int documents = 100;
  int rounds = 9;
  std::string work = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/mirdane-bench"
                                                                 : "build/bench";
  std::string mirdane;
  std::vector<int> line_counts{1, 10, 100};
  bool compare_only = false;
  CLI::App app{"mirdane release benchmark: the stand-in against plain SQLite, in one run"};
  app.add_option("--documents", documents, "documents in each compared run")
      ->check(CLI::PositiveNumber);
  app.add_option("--rounds", rounds, "interleaved rounds (at least 5 for the ratios; 9 by default)")
      ->check(CLI::PositiveNumber);
  app.add_option("--work", work, "scratch directory (default: in /dev/shm)");
  app.add_option("--mirdane", mirdane, "the mirdane program, for the scaling table");
  app.add_option("--lines", line_counts, "the line counts compared (default 1 10 100)")
      ->check(CLI::PositiveNumber);
  app.add_flag("--compare-only", compare_only,
               "only the comparison with plain SQLite (for profiling), not the scaling tables");
  CLI11_PARSE(app, argc, argv);

  const std::filesystem::path root(work);
  std::filesystem::create_directories(root);
  dbAx::AxLibInit();

  std::printf("stand-in: the release / plain SQLite writing the same rows (%d interleaved "
              "rounds; median (min) of the ratios), on %s\n", rounds, root.c_str());
  std::printf("  %6s %8s %14s %14s   %s\n", "docs", "lines", "release ms/doc", "sqlite ms/doc",
              "ratio");
  for (const int lines : line_counts) CompareWithSqlite(root, documents, lines, rounds);
  std::printf("  goal: the release within 1.05x of plain SQLite (median)\n");

  if (!compare_only) {
    if (!mirdane.empty()) ScaleDocuments(mirdane, root, 3);
    ScaleLines(root, 3);
  }
  dbAx::AxLibTerm();
  std::filesystem::remove_all(root);
  return 0;
}
