// Automation objects used on both the release side and the setup side.
#pragma once

#include <oaidl.h>

#include <memory>

#include "host/host_objects.h"

namespace mirdane::hostcom {

// Each gives a new object with one reference for the caller, or null.
IDispatch* MakeCustomProperties(std::shared_ptr<kfx::CustomProperties> properties);
IDispatch* MakeRowValues(std::shared_ptr<kfx::RowValues> rows);

}  // namespace mirdane::hostcom
