// The export settings that the setup stores in the host for one document
// class: the four host properties, the custom property serverAPILibrary and
// the links (the links are read and written by CSetupMappingModel).
#pragma once

#include <string>

#include "host/custom_property.h"
#include "host/host_objects.h"

namespace mirdane {

// Stores a custom property, replacing one of that name; true when the host
// took it. An empty name is refused.
bool WriteCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name,
                         const std::u16string& value);

// Removes a custom property; true when the host removed one. An empty name
// is refused.
bool RemoveCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name);

}  // namespace mirdane
