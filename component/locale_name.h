// The name of the run-time library's locale as the module sets it at start:
// the English name of the user's language, then "_" and the English name of
// the user's country when there is one, then "." and the system's ANSI code
// page when there is one (English_United Kingdom.1252).
#pragma once

#include <string>

namespace mirdane::component {

std::string ComposeLocaleName(const std::string& language, const std::string& country,
                              const std::string& codePage);

}  // namespace mirdane::component
