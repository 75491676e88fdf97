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
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "release/transaction_number.h"

#if defined(_WIN32)
#include "host/com/com_release.h"
#endif

namespace mirdane::cli {
namespace {

struct ReleaseOptions {
  std::string batch;
  std::string log_dir;
  std::string counter_file;
  bool com = false;  // through the registered COM server, as the host does
};

// Starts the data-access library for the run and stops it afterwards.
class DataAccessLibrary {
 public:
  DataAccessLibrary() { dbAx::AxLibInit(); }
  ~DataAccessLibrary() {
    try {
      dbAx::AxLibTerm();
    } catch (dbAx::CAxException* caught) {
      delete caught;
    }
  }
  DataAccessLibrary(const DataAccessLibrary&) = delete;
  DataAccessLibrary& operator=(const DataAccessLibrary&) = delete;
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
  batch::BatchFile file;
  try {
    file = batch::LoadBatchFile(path);
  } catch (const batch::BatchFileError& error) {
    std::cerr << "mirdane release: " << error.what() << "\n";
    return kExitUsage;
  }
  for (const auto& note : file.notes) std::cerr << "mirdane release: " << note << "\n";
  for (const auto& warning : batch::CheckLinks(file)) {
    std::cerr << "mirdane release: warning: " << warning << "\n";
  }

  const std::filesystem::path log_dir =
      options.log_dir.empty() ? path.parent_path() / "logs" : std::filesystem::path(options.log_dir);
  batch::HostLog log(log_dir);
  ProgressBar progress(stderr, file.documents.size());

  DataAccessLibrary library;
  batch::ReleaseHooks hooks;
  hooks.before = [&progress](const batch::DocumentSpec&) { progress.Hide(); };
  hooks.after = [&progress](const batch::DocumentSpec& document, kfx::KfxReturnValue result) {
    std::cout << "document " << document.number << ": "
              << (result == kfx::KFX_REL_SUCCESS ? "released" : "NOT released") << std::endl;
    progress.Show(static_cast<std::size_t>(document.number));
  };
  std::size_t released = 0;
  if (options.com) {
#if defined(_WIN32)
    const auto outcome = hostcom::ReleaseDocumentsThroughCom(file, log, hooks);
    progress.Hide();
    if (!outcome.error.empty()) {
      std::cerr << "mirdane release: " << outcome.error << "\n";
      return kExitUsage;
    }
    released = outcome.released;
#endif
  } else {
    released = batch::ReleaseDocuments(file, log, hooks);
  }
  progress.Hide();

  const std::size_t total = file.documents.size();
  std::cout << released << " of " << total << (total == 1 ? " document" : " documents")
            << " released";
  // A log that could not be written is not named as if it held the messages.
  if (log.failed()) std::cout << "; the log " << log.CurrentLogFile().string() << " could not be written";
  else if (released < total) std::cout << "; the log is " << log.CurrentLogFile().string();
  std::cout << "\n";
  return released == total && !log.failed() ? kExitOk : kExitFailed;
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
