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

// The dialog through the task dialog front end (the platform's task dialog
// where comctl32 offers one, else the emulation): two command links, 541
// "Map Required Fields" (the default) and 542 "Ignore Requirement", with the
// module's warning icon 11020. Only link 542 gives kAnswerIgnoreRequirement;
// anything else, a dialog that could not be shown included, gives
// kAnswerMapFields.
//
// The dialog is owned by the sheet rather than parentless: an unowned dialog
// would leave the sheet clickable beneath it, and pressing OK or Cancel there
// would destroy the page while its question is still open.
OwnedRequiredFieldPrompt TaskDialogRequiredFieldPrompt();

}  // namespace mirdane::ui
