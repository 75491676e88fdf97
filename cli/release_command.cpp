// mirdane release: drives the release exactly as the host's Release module
// does, with a batch file in place of the host.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "base/text.h"
#include "cli/commands.h"
#include "cli/progress_bar.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"
#include "dbax/com_runtime.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "release/transaction_number.h"

#if defined(_WIN32)
#include "tools/com_host/com_release.h"
#endif

namespace mirdane::cli {
namespace {

struct ReleaseOptions {
  std::string batch;
  std::string log_dir;
  std::string counter_file;
  bool com = false;  // through the registered COM server, as the host does
};

// Starts the data-access library for the run and stops it afterwards. The
// program owns its main thread, so it also gives that thread the COM
// apartment that ADO needs (where the platform has COM), and ends it.
class DataAccessLibrary {
 public:
  DataAccessLibrary() : com_(dbAx::InitializeComForThread()) { dbAx::AxLibInit(); }
  ~DataAccessLibrary() {
    try {
      dbAx::AxLibTerm();
    } catch (dbAx::CAxException* caught) {
      delete caught;
    }
    if (!mirdane::Failed(com_)) dbAx::UninitializeComForThread();
  }
  DataAccessLibrary(const DataAccessLibrary&) = delete;
  DataAccessLibrary& operator=(const DataAccessLibrary&) = delete;

 private:
  mirdane::HRESULT com_;
};

void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
  ::_putenv_s(name, value.c_str());
#else
  ::setenv(name, value.c_str(), 1);
#endif
}

int RunRelease(const ReleaseOptions& options) {
  // Read when the first number is drawn.
  // (Through --com the DLL reads it in this same process.)
  if (!options.counter_file.empty()) SetEnvironment(kCounterFileVariable, options.counter_file);
  const std::filesystem::path path(options.batch);
  // The whole file is checked before the first document is released; the
  // documents are then read again one at a time, so that memory does not
  // grow with their number.
  std::unique_ptr<batch::BatchFileReader> reader;
  try {
    reader = std::make_unique<batch::BatchFileReader>(path);
  } catch (const batch::BatchFileError& error) {
    std::cerr << "mirdane release: " << error.what() << "\n";
    return kExitUsage;
  }
  const batch::BatchFile& file = reader->file();
  const std::size_t total = reader->documentCount();
  for (const auto& note : file.notes) std::cerr << "mirdane release: " << note << "\n";
  for (const auto& warning : batch::CheckLinks(file)) {
    std::cerr << "mirdane release: warning: " << warning << "\n";
  }

  const std::filesystem::path log_dir =
      options.log_dir.empty() ? path.parent_path() / "logs" : std::filesystem::path(options.log_dir);
  batch::HostLog log(log_dir);
  ProgressBar progress(stderr, total);

  DataAccessLibrary library;
  batch::ReleaseHooks hooks;
  // Counted as they go: a file that no longer reads as it did ends the loop.
  std::size_t released = 0;
  hooks.before = [&progress](const batch::DocumentRecord&) { progress.Hide(); };
  hooks.after = [&](const batch::DocumentRecord& document, kfx::KfxReturnValue result) {
    std::cout << "document " << document.number << ": "
              << (result == kfx::KFX_REL_SUCCESS ? "released" : "NOT released") << std::endl;
    if (result == kfx::KFX_REL_SUCCESS) ++released;
    progress.Show(static_cast<std::size_t>(document.number));
  };
  bool unreadable = false;
  try {
    if (options.com) {
#if defined(_WIN32)
      const auto outcome = hostcom::ReleaseDocumentsThroughCom(file, reader->Documents(), log, hooks);
      progress.Hide();
      if (!outcome.error.empty()) {
        std::cerr << "mirdane release: " << outcome.error << "\n";
        return kExitUsage;
      }
#endif
    } else {
      batch::ReleaseDocuments(file, reader->Documents(), log, hooks);
    }
  } catch (const batch::BatchFileError& error) {
    progress.Hide();
    std::cerr << "mirdane release: " << error.what() << "\n";
    unreadable = true;
  }
  progress.Hide();

  std::cout << released << " of " << total << (total == 1 ? " document" : " documents")
            << " released";
  // A log that could not be written is not named as if it held the messages.
  if (log.failed()) std::cout << "; the log " << log.CurrentLogFile().string() << " could not be written";
  else if (released < total) std::cout << "; the log is " << log.CurrentLogFile().string();
  std::cout << "\n";
  return released == total && !log.failed() && !unreadable ? kExitOk : kExitFailed;
}

}  // namespace

void AddReleaseCommand(CLI::App& app, int* exit_code) {
  auto options = std::make_shared<ReleaseOptions>();
  auto* release = app.add_subcommand(
      "release",
      "release every document of a batch file into its bridge tables, as the host's Release "
      "module does; exits 0 when every document was released, 1 when any was not or the log "
      "could not be written, 2 when the batch file or the arguments are unusable");
  release->add_option("--batch", options->batch, "the batch file (JSON)")->required();
  release->add_option("--log-dir", options->log_dir,
                      "where the error log ERR_<yy><mm>.txt goes (default: logs beside the batch "
                      "file)");
  release->add_option("--counter-file", options->counter_file,
                      "the file that keeps the last transaction number drawn (default: "
                      "MIRDANE_COUNTER_FILE, else mirdane/transaction-number in the account's "
                      "state folder)");
#if defined(_WIN32)
  release->add_flag("--com", options->com,
                    "release through the registered COM server (mirdane.LorvenExportConnector), "
                    "driven by name through IDispatch as the host's Release module drives it");
#endif
  release->callback([exit_code, options] { *exit_code = RunRelease(*options); });
}

}  // namespace mirdane::cli
