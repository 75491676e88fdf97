// The setup sheet that RunUI shows inside the host: the General page and
// the Data Mapping page in a property sheet with the page names listed on
// the left, run modally to the host's active window.
#pragma once

#include <windows.h>

#include "setup/setup_sheet.h"
#include "setup/setup_strings.h"
#include "setup/ui/win32/required_field_dialog.h"

namespace mirdane::ui {

class SetupSheetWindow final : public SetupSheet {
 public:
  // A sheet whose dialogs, menu and icons come from `resources`, whose
  // strings come from `strings`, and which asks about unmapped required
  // columns through `prompt`.
  SetupSheetWindow(HINSTANCE resources, StringLoader strings, OwnedRequiredFieldPrompt prompt);

  SheetResult Run(const std::u16string& caption, CSetupMappingModel& model) override;

 private:
  HINSTANCE resources_;
  StringLoader strings_;
  OwnedRequiredFieldPrompt prompt_;
};

}  // namespace mirdane::ui
