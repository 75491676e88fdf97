// Releasing a batch in-process, as `mirdane release` does, and keeping what
// the host was told.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"
#include "host/kfx_constants.h"

namespace mirdane::test {

struct DocumentOutcome {
  kfx::KfxReturnValue result = kfx::KFX_REL_ERROR;
  std::vector<std::string> errors;  // the status messages sent for the document
};

struct BatchOutcome {
  std::vector<DocumentOutcome> documents;
  std::string log;  // the whole error log the host wrote
};

// The demo batch (samples/invoices.json) with another system and library.
batch::BatchFile DemoBatch(const std::u16string& system, const std::u16string& library,
                           const std::u16string& user = u"", const std::u16string& password = u"");

// Releases the documents of `file` one after another with one release script;
// `between` runs before each document after the first, given its index.
template <typename Between>
BatchOutcome ReleaseBatch(const batch::BatchFile& file, const std::filesystem::path& log_dir,
                          Between between);
BatchOutcome ReleaseBatch(const batch::BatchFile& file, const std::filesystem::path& log_dir);

}  // namespace mirdane::test

#include "tests/support/batch_run_impl.h"
