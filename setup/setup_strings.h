// The setup's strings by resource id. The Windows module carries the same
// texts in its string table; the portable core looks them up here.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace mirdane {

inline constexpr unsigned kIdsSetupCaption = 11003;           // the property sheet's caption
inline constexpr unsigned kIdsRequiredFieldTitle = 11011;     // required-field dialog: title
inline constexpr unsigned kIdsRequiredFieldQuestion = 11012;  // main instruction
inline constexpr unsigned kIdsMapRequiredFields = 11013;      // first command link, insert %1
inline constexpr unsigned kIdsIgnoreRequirement = 11014;      // second command link

// Gives the string of an id, or nothing when there is none.
using StringLoader = std::function<std::optional<std::u16string>(unsigned id)>;

// The setup's own string table.
std::optional<std::u16string> LoadSetupString(unsigned id);

}  // namespace mirdane
