#include "setup/ui/win32/required_field_dialog.h"

#include <commctrl.h>

#include "setup/ui/win32/ui_text.h"
#include "win32/handles.h"

namespace mirdane::ui {
namespace {

constexpr int kMapFieldsButton = 541;
constexpr int kIgnoreRequirementButton = 542;
constexpr WORD kWarningIconResource = 11020;

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

int AskWithTaskDialog(HINSTANCE resources, HWND owner, const RequiredFieldTexts& texts) {
  // The manifest's comctl32 version 6 is active around the setup: this
  // finds its task dialog, which draws command links.
  win32::UniqueModule comctl(::LoadLibraryW(L"comctl32.dll"));
  if (!comctl) return kAnswerMapFields;
  const FARPROC found = ::GetProcAddress(comctl.get(), "TaskDialogIndirect");
  if (!found) return kAnswerMapFields;
  const auto taskDialogIndirect = reinterpret_cast<TaskDialogIndirectFunction>(
      reinterpret_cast<void (*)()>(found));

  const TASKDIALOG_BUTTON buttons[] = {
      {kMapFieldsButton, Wide(texts.mapFields)},
      {kIgnoreRequirementButton, Wide(texts.ignoreRequirement)},
  };
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner;
  config.hInstance = resources;
  config.dwFlags = TDF_USE_COMMAND_LINKS;
  config.pszWindowTitle = Wide(texts.title);
  config.pszMainInstruction = Wide(texts.instruction);
  config.pszMainIcon =
      ::FindResourceW(resources, MAKEINTRESOURCEW(kWarningIconResource), MAKEINTRESOURCEW(14))
          ? MAKEINTRESOURCEW(kWarningIconResource)  // RT_GROUP_ICON of the module
          : TD_WARNING_ICON;
  config.pButtons = buttons;
  config.cButtons = 2;
  config.nDefaultButton = kMapFieldsButton;
  int selected = 0;
  // Its result is not needed: a failure leaves `selected` at 0, which maps.
  taskDialogIndirect(&config, &selected, nullptr, nullptr);
  return selected == kIgnoreRequirementButton ? kAnswerIgnoreRequirement : kAnswerMapFields;
}

}  // namespace

OwnedRequiredFieldPrompt PlatformRequiredFieldPrompt(HINSTANCE resources) {
  return [resources](HWND owner, const RequiredFieldTexts& texts) {
    return AskWithTaskDialog(resources, owner, texts);
  };
}

}  // namespace mirdane::ui
