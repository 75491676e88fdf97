// One document of a batch file as the host's ReleaseData.
#pragma once

#include <memory>

#include "host/batch/batch_file.h"
#include "host/batch/host_log.h"
#include "host/host_objects.h"

namespace mirdane::batch {

// The release data of `document`: its values resolved from the setup's links
// as the host resolves them, the setup's connection settings and custom
// properties, and the log. `batch` and `log` must outlive the object.
std::shared_ptr<kfx::ReleaseData> MakeReleaseData(const BatchFile& batch,
                                                  const DocumentRecord& document, HostLog& log);

}  // namespace mirdane::batch
