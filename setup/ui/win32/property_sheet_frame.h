// The setup's property sheet: the page names listed in a column on the
// left (instead of tabs), the current page beside it, OK and Cancel below,
// no Apply button. It runs modally and ends with OK or Cancel; the pages
// say whether they may be left.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/ui/sheet_controller.h"
#include "setup/ui/win32/property_page.h"
#include "win32/window.h"

namespace mirdane::ui {

// The list of page names: its control id and width at 96 dots per inch.
inline constexpr int kPageListId = 0x3020;
inline constexpr int kPageListWidth = 100;

class PropertySheetFrame final : public win32::Window<PropertySheetFrame, win32::DialogWindow> {
 public:
  // Read by the window base; the handlers stay private.
  static const win32::MessageMap<PropertySheetFrame> kMessages;

  // A sheet over `pages`, in the order given, with its own frame's
  // resources from `instance`; the pages must outlive it.
  PropertySheetFrame(HINSTANCE instance, std::vector<PropertyPage*> pages);
  ~PropertySheetFrame() override;

  // Shows the sheet with `caption`, owned by `owner` (or none), on page
  // `first`, until OK or Cancel: IDOK, IDCANCEL, or -1 when it could not be shown.
  int RunModal(const std::u16string& caption, HWND owner, int first);

 private:
  LRESULT OnInitDialog(WPARAM, LPARAM);
  LRESULT OnCommand(WPARAM, LPARAM);
  LRESULT OnClose(WPARAM, LPARAM);
  // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up move between pages.
  bool HandlePageKeys(const MSG& message);
  void ShowSelectedPage(int index, bool focusPage);
  HWND CreateControl(const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD exStyle,
                     const RECT& area, int id);


  HINSTANCE instance_;
  std::vector<PropertyPage*> pages_;
  SheetController controller_;
  int first_ = 0;
  int result_ = 0;  // IDOK or IDCANCEL once the sheet ends
  HWND list_ = nullptr;
};

}  // namespace mirdane::ui
