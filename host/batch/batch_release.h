// Releasing a batch file's documents exactly as the host's Release module
// does: one release script, its DocumentData set for each document in turn,
// OpenScript before the first ReleaseDoc, CloseScript at the end.
#pragma once

#include <cstddef>
#include <functional>

#include "host/batch/batch_file.h"
#include "host/batch/host_log.h"
#include "host/kfx_constants.h"

namespace mirdane::batch {

struct ReleaseHooks {
  // Runs before each document is handed to the script.
  std::function<void(const DocumentSpec&)> before;
  // Runs after each ReleaseDoc with its result.
  std::function<void(const DocumentSpec&, kfx::KfxReturnValue)> after;
};

// Releases every document of `file` in order, logging to `log`; answers how
// many were released.
std::size_t ReleaseDocuments(const BatchFile& file, HostLog& log, const ReleaseHooks& hooks = {});

}  // namespace mirdane::batch
