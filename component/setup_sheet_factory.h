// The property sheet that RunUI shows inside the host.
#pragma once

#include <memory>

#include "setup/setup_sheet.h"

namespace mirdane::component {

std::shared_ptr<SetupSheet> CreateSetupSheet();

}  // namespace mirdane::component
