#include "setup/ui/win32/setup_sheet_window.h"

#include <commctrl.h>

#include "setup/ui/win32/general_page.h"
#include "setup/ui/win32/mapping_page_window.h"
#include "setup/ui/win32/property_sheet_frame.h"
#include "ui/property_grid/win32/property_grid.h"
#include "ui/taskdialog/win32/application_frame.h"
#include "ui/win32/ui_text.h"
#include "win32/modal_owner.h"

namespace mirdane::ui {

SetupSheetWindow::SetupSheetWindow(HINSTANCE resources, StringLoader strings,
                                   OwnedRequiredFieldPrompt prompt)
    : resources_(resources), strings_(std::move(strings)), prompt_(std::move(prompt)) {}

SheetResult SetupSheetWindow::Run(const std::u16string& caption, CSetupMappingModel& model) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES;  // the latter brings the header
  ::InitCommonControlsEx(&controls);
  // The grid's class lives exactly as long as this sheet: a module that the
  // host unloads leaves no class behind that points into it.
  const auto gridClass = PropertyGrid::RegisterWindowClass(resources_);

  // The sheet is modal to the host: owned by the window the host has active,
  // which is disabled while the sheet shows, so that the administrator
  // cannot go back to it and open the setup of the same object again.
  const win32::ModalOwner modalOwner(nullptr,
                                     taskdialog::win32::ApplicationFrame::Current().MainWindow());
  HWND owner = modalOwner.get();
  GeneralPage general(resources_, &model);
  MappingPageWindow mapping(resources_, model, strings_, prompt_);
  PropertySheetFrame sheet(resources_, {&general, &mapping});
  const int result = sheet.RunModal(caption, owner, 0);
  if (result < 0) {
    // Without its pages the sheet cannot be shown; the administrator is
    // told so rather than left with nothing, and nothing is stored.
    const std::u16string text =
        u"The setup pages could not be shown: the dialogs of this module are missing or "
        u"damaged. Nothing was changed.";
    ::MessageBoxW(owner, Wide(text), Wide(caption), MB_OK | MB_ICONERROR);
  }
  return result == IDOK ? SheetResult::kOk : SheetResult::kCancel;
}

}  // namespace mirdane::ui
