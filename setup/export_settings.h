// The export settings that the setup stores in the host for one document
// class: the four host properties, the custom property serverAPILibrary and
// the links (the links are read and written by CSetupMappingModel).
#pragma once

#include <string>

#include "host/host_objects.h"

namespace mirdane {

// The custom property that names the library holding the bridge tables.
inline constexpr char16_t kServerApiLibrary[] = u"serverAPILibrary";

// A custom property of the setup data, or `defaultText` unless the collection,
// the item and its value can all be read; then the stored value, even empty.
bool ReadCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name,
                        std::u16string* text, const std::u16string& defaultText);

// Stores a custom property, replacing one of that name; true when the host
// took it. An empty name is refused.
bool WriteCustomProperty(kfx::ReleaseSetupData& data, const std::u16string& name,
                         const std::u16string& value);

}  // namespace mirdane
