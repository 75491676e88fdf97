// The question the Data Mapping page asks when it is left with a required
// column unmapped: map the fields, or ignore the requirement.
#pragma once

#include <windows.h>

#include <functional>

#include "setup/required_field_check.h"

namespace mirdane::ui {

// Shows the required-field dialog over `owner` and gives kAnswerMapFields
// or kAnswerIgnoreRequirement.
using OwnedRequiredFieldPrompt = std::function<int(HWND owner, const RequiredFieldTexts& texts)>;

// The dialog through the platform's task dialog (TaskDialogIndirect, looked
// up in comctl32.dll when asked): two command links, 541 "Map Required
// Fields" (the default) and 542 "Ignore Requirement", with the warning icon
// of `resources` (resource 11020) when it has one. Only link 542 gives
// kAnswerIgnoreRequirement; anything else, a dialog that could not be shown
// included, gives kAnswerMapFields.
OwnedRequiredFieldPrompt PlatformRequiredFieldPrompt(HINSTANCE resources);

}  // namespace mirdane::ui
