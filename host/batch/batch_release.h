// Releasing a batch file's documents exactly as the host's Release module
// does: one release script, its DocumentData set for each document in turn,
// OpenScript before the first ReleaseDoc, CloseScript at the end.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "host/batch/batch_file.h"
#include "host/batch/host_log.h"
#include "host/kfx_constants.h"

namespace mirdane::batch {

struct ReleaseHooks {
  // Runs before each document is handed to the script.
  std::function<void(const DocumentRecord&)> before;
  // Runs after each ReleaseDoc with its result.
  std::function<void(const DocumentRecord&, kfx::KfxReturnValue)> after;
};

// Warnings about links the release cannot honour, one line each naming the
// file, the line and the link: a destination that is no column of the field
// catalogue, and one that the release writes itself (the transaction and line
// numbers), whose mapped value is never stored.
std::vector<std::string> CheckLinks(const BatchFile& file);

// Releases every document of `file` in order, logging to `log`; answers how
// many were released.
std::size_t ReleaseDocuments(const BatchFile& file, HostLog& log, const ReleaseHooks& hooks = {});
// The same for documents handed over one at a time, with the setup and the
// rest of the batch in `file`.
std::size_t ReleaseDocuments(const BatchFile& file, const DocumentSource& documents, HostLog& log,
                             const ReleaseHooks& hooks = {});

}  // namespace mirdane::batch
