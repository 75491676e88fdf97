// Strings from the module's string table.
#pragma once

#include <optional>
#include <string>

namespace mirdane::component {

// The string `id` of mirdane.dll's string table, or nothing when it has none.
std::optional<std::u16string> LoadModuleString(unsigned id);

}  // namespace mirdane::component
