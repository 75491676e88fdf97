#include "setup/ui/win32/required_field_dialog.h"

#include <commctrl.h>

#include "setup/ui/win32/owner_placement.h"
#include "ui/win32/ui_text.h"
#include "ui/taskdialog/win32/task_dialog_client.h"

namespace mirdane::ui {
namespace {

constexpr int kMapFieldsButton = 541;
constexpr int kIgnoreRequirementButton = 542;
constexpr WORD kWarningIconResource = 11020;

// The question, centred on the sheet that asks it. Left to itself the
// platform's dialog is placed by the sheet's top-left corner, over its
// title bar, from the second time it is asked on.
class RequiredFieldDialog final : public taskdialog::win32::CXTaskDialogMFCClient {
 public:
  using CXTaskDialogMFCClient::CXTaskDialogMFCClient;

  void OnCreated() override { CentreOnOwner(hwnd()); }
};

int AskWithTaskDialog(HWND owner, const RequiredFieldTexts& texts) {
  RequiredFieldDialog dialog(owner);
  dialog.ModifyFlags(0, TDF_USE_COMMAND_LINKS);
  dialog.SetMainIcon(kWarningIconResource);
  dialog.SetWindowTitle(Wide(texts.title));
  dialog.SetMainInstruction(Wide(texts.instruction), 0);
  // The buttons' texts: each a command link's title, a line break and its note.
  const TASKDIALOG_BUTTON buttons[] = {
      {kMapFieldsButton, Wide(texts.mapFields)},
      {kIgnoreRequirementButton, Wide(texts.ignoreRequirement)},
  };
  dialog.SetButtons(buttons, 2, 0);
  dialog.SetDefaultButton(kMapFieldsButton);
  // Its result is not needed: a dialog that could not be shown selected
  // nothing, which maps the fields.
  dialog.DoModal();
  return dialog.GetSelectedButton() == kIgnoreRequirementButton ? kAnswerIgnoreRequirement
                                                                : kAnswerMapFields;
}

}  // namespace

OwnedRequiredFieldPrompt TaskDialogRequiredFieldPrompt() {
  return [](HWND owner, const RequiredFieldTexts& texts) { return AskWithTaskDialog(owner, texts); };
}

}  // namespace mirdane::ui
