// Releasing a batch file's documents through the registered COM server, as
// the capture host's Release module does: the release script is created by
// its ProgID and driven by name through IDispatch, with each document's
// release data handed over as an automation object.
#pragma once

#include <cstddef>
#include <string>

#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"

namespace mirdane::hostcom {

inline constexpr wchar_t kReleaseScriptProgId[] = L"mirdane.LorvenExportConnector";

struct ComReleaseOutcome {
  std::size_t released = 0;
  // Why the script could not be created or driven at all; empty otherwise.
  std::string error;
};

ComReleaseOutcome ReleaseDocumentsThroughCom(const batch::BatchFile& file, batch::HostLog& log,
                                             const batch::ReleaseHooks& hooks = {});
// The same for documents handed over one at a time, with the setup and the
// rest of the batch in `file`.
ComReleaseOutcome ReleaseDocumentsThroughCom(const batch::BatchFile& file,
                                             const batch::DocumentSource& documents,
                                             batch::HostLog& log,
                                             const batch::ReleaseHooks& hooks = {});

}  // namespace mirdane::hostcom
