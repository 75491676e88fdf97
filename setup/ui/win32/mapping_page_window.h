// The Data Mapping page: the field catalogue in a property grid, one row per
// bridge column in a group per table, each row's mapping chosen from its
// button's menu (or typed, for a text constant), and "Display Field Names"
// to name rows by identifier. Leaving the page runs the required-field check.
#pragma once

#include <windows.h>

#include "setup/mapping_page.h"
#include "setup/setup_strings.h"
#include "ui/property_grid/win32/property_grid.h"
#include "setup/ui/win32/property_page.h"
#include "setup/ui/win32/required_field_dialog.h"

namespace mirdane::ui {

// The grid's control id on the page.
inline constexpr int kPropertyGridId = 11056;

class MappingPageWindow final : public win32::Window<MappingPageWindow, PropertyPage>, private PropertyGridListener {
 public:
  // Read by the window base; the handlers stay private.
  static const win32::MessageMap<MappingPageWindow> kMessages;

  // The page over `model`, from `resources`; `strings` gives the dialog's
  // texts and `prompt` shows it.
  MappingPageWindow(HINSTANCE resources, CSetupMappingModel& model, StringLoader strings,
                    OwnedRequiredFieldPrompt prompt);
  ~MappingPageWindow() override;

  // Shows the dialog data again.
  bool OnSetActive() override;
  // The required-field check: false keeps the page (and the sheet) open on
  // the first unmapped required row.
  bool OnKillActive() override;

 private:
  LRESULT OnInitDialog(WPARAM, LPARAM);
  LRESULT OnCommand(WPARAM, LPARAM);

  void OnRowButton(GridLine line, POINT anchor) override;
  void OnRowEdited(GridLine line, const std::u16string& text) override;

  void OnMappingCommand(int command);
  void OnDisplayFieldNames();
  // Reads the check box into the page's logic (the dialog data read back).
  void ReadDialogData();
  void ShowDialogData();

  // The grid line of a row of the page's logic, and back.
  MappedRow* RowAt(GridLine line) const;
  GridLine LineOf(const MappedRow* row) const;
  void FillGrid();
  void SyncRow(GridLine line);
  void SyncAllRows();


  MappingPage page_;
  StringLoader strings_;
  OwnedRequiredFieldPrompt prompt_;
  PropertyGrid grid_;
};

}  // namespace mirdane::ui
