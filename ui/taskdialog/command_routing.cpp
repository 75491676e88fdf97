#include "ui/taskdialog/command_routing.h"

#include <algorithm>

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

bool CancellationAllowed(std::uint32_t flags, std::uint32_t commonButtons) {
  return (flags & tdf::kAllowDialogCancellation) != 0 || (commonButtons & tdcbf::kCancel) != 0;
}

CommandAction RouteCommand(int id, unsigned code, const ControlIds& ids,
                           const std::vector<int>& radioButtonIds, std::uint32_t flags,
                           std::uint32_t commonButtons) {
  if (code != kButtonClickedCode) return CommandAction::kIgnore;
  if (std::find(radioButtonIds.begin(), radioButtonIds.end(), id) != radioButtonIds.end())
    return CommandAction::kRadioButtonClicked;
  if (id == ids.expandoButton) return CommandAction::kToggleExpander;
  if (id == ids.verification) return CommandAction::kVerificationClicked;
  if (id == button_id::kCancel && !CancellationAllowed(flags, commonButtons))
    return CommandAction::kIgnore;
  return CommandAction::kButtonClicked;
}

}  // namespace mirdane::taskdialog
