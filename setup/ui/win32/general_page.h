// The General page: which batch class and document class the setup belongs
// to, the instance name, the IBM i server, user, password and library, and
// the component's version. It shows the setup data's values when the sheet
// opens and writes them back when the sheet closes with OK.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "setup/general_settings.h"
#include "setup/ui/win32/property_page.h"

namespace mirdane {
class CSetupMappingModel;
}

namespace mirdane::ui {

// The product version of `module`'s version resource as "major.minor.build",
// or nothing when the module has no usable version resource.
std::optional<std::u16string> ModuleVersionText(HMODULE module);

class GeneralPage final : public win32::Window<GeneralPage, PropertyPage> {
 public:
  // Read by the window base; the handlers stay private.
  static const win32::MessageMap<GeneralPage> kMessages;

  // The page over `model` (which may be null), from `resources`.
  GeneralPage(HINSTANCE resources, CSetupMappingModel* model);
  ~GeneralPage() override;

  void OnOK() override;

 private:
  LRESULT OnInitDialog(WPARAM, LPARAM);
  // Tests the values on the page, saved or not.
  void TestConnection();
  // The controls into the settings; false when a control is missing.
  bool ReadControls();


  CSetupMappingModel* model_;
  GeneralSettings settings_;
};

}  // namespace mirdane::ui
