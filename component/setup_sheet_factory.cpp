#include "component/setup_sheet_factory.h"

#include "component/module.h"
#include "component/module_strings.h"
#include "setup/ui/win32/required_field_dialog.h"
#include "setup/ui/win32/setup_sheet_window.h"

namespace mirdane::component {

std::shared_ptr<SetupSheet> CreateSetupSheet() {
  HINSTANCE module = CmirdaneModule::Instance().ModuleHandle();
  // The required-field question goes through the task dialog front end.
  ui::OwnedRequiredFieldPrompt prompt = ui::TaskDialogRequiredFieldPrompt();
  return std::make_shared<ui::SetupSheetWindow>(module, LoadModuleString, std::move(prompt));
}

}  // namespace mirdane::component
