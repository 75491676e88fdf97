// The file-backed host's objects handed to scripts as the capture host hands
// its own: automation objects, called by name.
#pragma once

#include <oaidl.h>

#include <memory>

#include "host/host_objects.h"

namespace mirdane::hostcom {

// New automation objects over the host's release data and setup data; the
// caller owns the returned reference (null when out of memory).
IDispatch* ExposeReleaseData(std::shared_ptr<kfx::ReleaseData> data);
IDispatch* ExposeReleaseSetupData(std::shared_ptr<kfx::ReleaseSetupData> data);

}  // namespace mirdane::hostcom
