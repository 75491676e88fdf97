// What a command (WM_COMMAND) from one of the dialog's controls means.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/taskdialog/task_dialog_layout.h"

namespace mirdane::taskdialog {

enum class CommandAction {
  kIgnore,
  kRadioButtonClicked,   // TDN_RADIO_BUTTON_CLICKED, nothing else
  kToggleExpander,
  kVerificationClicked,  // TDN_VERIFICATION_CLICKED with the new state
  kButtonClicked,        // TDN_BUTTON_CLICKED, then close unless the callback objects
};

// The platform's "clicked" notification code of a button.
inline constexpr unsigned kButtonClickedCode = 0;

// The action for the command `id` with the notification code `code`.
//
// Only clicks count: an owner-drawn command link or a radio button also
// reports double clicks, and a double click on a link whose callback kept
// the dialog open must not count as a second click.
CommandAction RouteCommand(int id, unsigned code, const ControlIds& ids,
                           const std::vector<int>& radioButtonIds, std::uint32_t flags,
                           std::uint32_t commonButtons);

// Whether Escape, the Close entry and a Cancel command may end the dialog.
bool CancellationAllowed(std::uint32_t flags, std::uint32_t commonButtons);

}  // namespace mirdane::taskdialog
