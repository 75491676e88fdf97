#include "setup/ui/win32/mapping_page_window.h"

#include "setup/required_field_check.h"
#include "setup/ui/setup_pages_resource.h"
#include "setup/ui/win32/fit_text.h"
#include "setup/ui/win32/mapping_menu.h"
#include "win32/gdi.h"
#include "win32/user_handles.h"

namespace mirdane::ui {

const win32::MessageMap<MappingPageWindow> MappingPageWindow::kMessages = {
    win32::OnMessage(WM_INITDIALOG, &MappingPageWindow::OnInitDialog),
    win32::OnCommand(IDC_DISPLAY_FIELD_NAMES, BN_CLICKED, &MappingPageWindow::OnDisplayFieldNames),
    win32::OnMessage(WM_COMMAND, &MappingPageWindow::OnCommand),
};

MappingPageWindow::MappingPageWindow(HINSTANCE resources, CSetupMappingModel& model,
                                     StringLoader strings, OwnedRequiredFieldPrompt prompt)
    : Window(resources, IDD_SETUP_MAPPING),
      page_(model),
      strings_(std::move(strings)),
      prompt_(std::move(prompt)) {}

MappingPageWindow::~MappingPageWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT MappingPageWindow::OnInitDialog(WPARAM, LPARAM) {
  // The grid goes over the frame, one pixel narrower and one lower.
  HWND frame = ::GetDlgItem(hwnd_, IDC_GRID_FRAME);
  RECT area{};
  ::GetClientRect(frame, &area);
  ::MapWindowPoints(frame, hwnd_, reinterpret_cast<POINT*>(&area), 2);
  area.right -= 1;
  area.bottom -= 1;
  PropertyGridOptions options;  // header, description area, changes marked
  if (!grid_.Create(resources(), hwnd_, area, kPropertyGridId, options, this)) return TRUE;
  // Tab order: the grid, then the check box.
  ::SetWindowPos(grid_.hwnd(), frame, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  {
    win32::ScopedNoRedraw quiet(hwnd_);
    page_.BuildRows();
    FillGrid();
    // The first row is selected, so that the description area says what it is.
    grid_.model().Select(GridLine{0, 0});
  }
  grid_.Relayout();
  FitCheckBoxToText(::GetDlgItem(hwnd_, IDC_DISPLAY_FIELD_NAMES));
  ShowDialogData();
  return TRUE;
}

MappedRow* MappingPageWindow::RowAt(GridLine line) const {
  if (line.isGroup() || !line.valid()) return nullptr;
  const auto& groups = page_.groups();
  if (line.group >= static_cast<int>(groups.size())) return nullptr;
  const auto& rows = groups[static_cast<std::size_t>(line.group)].rows;
  if (line.row >= static_cast<int>(rows.size())) return nullptr;
  return rows[static_cast<std::size_t>(line.row)].get();
}

GridLine MappingPageWindow::LineOf(const MappedRow* row) const {
  const auto& groups = page_.groups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t r = 0; r < groups[g].rows.size(); ++r) {
      if (groups[g].rows[r].get() == row) return GridLine{static_cast<int>(g), static_cast<int>(r)};
    }
  }
  return GridLine{};
}

void MappingPageWindow::FillGrid() {
  GridModel& grid = grid_.model();
  grid.Clear();
  for (const RowGroup& group : page_.groups()) {
    const int g = grid.AddGroup(group.title);
    for (const auto& row : group.rows) {
      grid.AddRow(g, GridRow{row->name(), row->value(), row->description(), row->required(),
                             row->editable(), u""});
    }
  }
}

void MappingPageWindow::SyncRow(GridLine line) {
  const MappedRow* row = RowAt(line);
  GridRow* shown = grid_.model().RowAt(line);
  if (!row || !shown) return;
  shown->name = row->name();
  shown->value = row->value();
  shown->description = row->description();
  shown->required = row->required();
  shown->editable = row->editable();
  grid_.RedrawLine(line);
}

void MappingPageWindow::SyncAllRows() {
  const auto& groups = page_.groups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    for (std::size_t r = 0; r < groups[g].rows.size(); ++r) {
      SyncRow(GridLine{static_cast<int>(g), static_cast<int>(r)});
    }
  }
}

void MappingPageWindow::ShowDialogData() {
  ::CheckDlgButton(hwnd_, IDC_DISPLAY_FIELD_NAMES,
                   page_.displayFieldNames() ? BST_CHECKED : BST_UNCHECKED);
}

void MappingPageWindow::ReadDialogData() {
  const bool display = ::IsDlgButtonChecked(hwnd_, IDC_DISPLAY_FIELD_NAMES) == BST_CHECKED;
  if (display == page_.displayFieldNames()) return;
  page_.SetDisplayFieldNames(display);
  SyncAllRows();
  grid_.Relayout();
}

bool MappingPageWindow::OnSetActive() {
  ShowDialogData();
  return true;
}

bool MappingPageWindow::OnKillActive() {
  // What is being typed counts: the check and the links see it.
  grid_.EndEdit(true);
  HWND sheet = ::GetParent(hwnd_);
  const RequiredFieldPrompt ask = [this, sheet](const RequiredFieldTexts& texts) {
    return prompt_ ? prompt_(sheet, texts) : kAnswerMapFields;
  };
  if (MappedRow* unmet = CheckRequiredFields(page_, ask, strings_)) {
    grid_.SelectAndShow(LineOf(unmet));
    return false;
  }
  ReadDialogData();
  return true;
}

void MappingPageWindow::OnRowButton(GridLine line, POINT anchor) {
  MappedRow* row = RowAt(line);
  if (!row) return;
  const std::optional<MenuItem> menu = page_.OpenMenu(*row);
  if (!menu) return;
  win32::UniqueHMenu loaded(::LoadMenuW(resources(), MAKEINTRESOURCEW(IDR_MAPPING_MENU)));
  HMENU popup = loaded ? ::GetSubMenu(loaded.get(), 0) : nullptr;
  if (!popup) return;
  CompleteMappingMenu(popup, *menu);
  // The chosen command comes back to the page as WM_COMMAND once the menu has closed.
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, anchor.x, anchor.y, 0, hwnd_, nullptr);
}

void MappingPageWindow::OnRowEdited(GridLine line, const std::u16string& text) {
  if (MappedRow* row = RowAt(line)) row->EndEdit(text);
  SyncRow(line);
}

void MappingPageWindow::OnMappingCommand(int command) {
  MappedRow* target = page_.menuTarget();
  page_.OnCommand(command);
  if (!target) return;
  const GridLine line = LineOf(target);
  SyncRow(line);
  ShowDialogData();
  // A new text constant is typed at once, in its value cell.
  if (command == kCommandTextConstant && target->editable()) {
    grid_.SelectAndShow(line);
    grid_.BeginEdit();
  }
}

void MappingPageWindow::OnDisplayFieldNames() {
  {
    win32::ScopedNoRedraw quiet(hwnd_);
    page_.SetDisplayFieldNames(::IsDlgButtonChecked(hwnd_, IDC_DISPLAY_FIELD_NAMES) == BST_CHECKED);
    SyncAllRows();
  }
  grid_.Relayout();
}

LRESULT MappingPageWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  // From the mapping menu: no control sends these.
  if (lParam == 0 && code == 0 && IsMappingMenuCommand(id)) {
    OnMappingCommand(id);
    return 0;
  }
  return Default();
}

}  // namespace mirdane::ui
