// The task dialog messages (TDM_...) the emulated dialog answers.
#include <windows.h>
#include <commctrl.h>

#include "ui/taskdialog/stock_icons.h"
#include "ui/taskdialog/task_dialog_constants.h"
#include "ui/taskdialog/win32/module_resources.h"
#include "ui/taskdialog/win32/task_dialog.h"

namespace mirdane::taskdialog::win32 {

LRESULT CXTaskDialog::OnTaskDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND progress = Control(layout_.ids.progressBar);
  const int id = static_cast<int>(wParam);
  switch (message) {
    case TDM_CLICK_BUTTON:
      if (HWND control = Control(id); control != nullptr) SetFocus(control);
      return PostMessageW(hwnd_, WM_COMMAND, wParam, lParam);
    case TDM_SET_MARQUEE_PROGRESS_BAR:
      if (progress != nullptr) {
        const LONG_PTR style = GetWindowLongPtrW(progress, GWL_STYLE);
        if (wParam != 0) {
          SetWindowLongPtrW(progress, GWL_STYLE, style | PBS_MARQUEE);
          SendMessageW(progress, PBM_SETMARQUEE, 1, lParam);
        } else {
          SetWindowLongPtrW(progress, GWL_STYLE, style & ~static_cast<LONG_PTR>(PBS_MARQUEE));
        }
      }
      return static_cast<LRESULT>(wParam);
    case TDM_SET_PROGRESS_BAR_STATE:
      SendMessageW(progress, PBM_SETSTATE, wParam, 0);
      return 1;
    case TDM_SET_PROGRESS_BAR_RANGE:
      return SendMessageW(progress, PBM_SETRANGE, 0, lParam);
    case TDM_SET_PROGRESS_BAR_POS:
      return SendMessageW(progress, PBM_SETPOS, wParam, 0);
    case TDM_SET_ELEMENT_TEXT:
    case TDM_UPDATE_ELEMENT_TEXT: {
      int controlId = -1;
      switch (wParam) {
        case tde::kContent: controlId = layout_.ids.content; break;
        case tde::kExpandedInformation: controlId = layout_.ids.expandedInformation; break;
        case tde::kFooter: controlId = layout_.ids.footerText; break;
        case tde::kMainInstruction: controlId = layout_.ids.mainInstruction; break;
        default: break;
      }
      const bool exists = Control(controlId) != nullptr;
      if (exists) SetElementText(controlId, lParam);
      return message == TDM_UPDATE_ELEMENT_TEXT || exists ? 1 : 0;
    }
    case TDM_CLICK_RADIO_BUTTON:
      for (const ButtonText& radio : texts_.radioButtons) {
        HWND control = Control(radio.id);
        if (control == nullptr) continue;
        SendMessageW(control, BM_SETCHECK, radio.id == id ? BST_CHECKED : BST_UNCHECKED, 0);
        if (radio.id == id) SetFocus(control);
      }
      return 0;
    case TDM_ENABLE_BUTTON:
      if (HWND control = Control(id); control != nullptr) EnableWindow(control, lParam != 0);
      return 0;
    case TDM_ENABLE_RADIO_BUTTON:
      for (const ButtonText& radio : texts_.radioButtons) {
        if (radio.id != id) continue;
        if (HWND control = Control(id); control != nullptr) EnableWindow(control, lParam != 0);
      }
      return 0;
    case TDM_CLICK_VERIFICATION:
      if (HWND box = Control(layout_.ids.verification); box != nullptr) {
        SendMessageW(box, BM_SETCHECK, wParam != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
        if (lParam != 0) SetFocus(box);
      }
      return 0;
    case TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE:
      SetElevation(id, lParam != 0);
      return 0;
    case TDM_UPDATE_ICON:
      UpdateIcon(wParam, lParam);
      return 0;
    default:  // TDM_NAVIGATE_PAGE, TDM_SET_PROGRESS_BAR_MARQUEE and the unused numbers
      return 0;
  }
}

void CXTaskDialog::SetElementText(int controlId, LPARAM text) {
  // The text may be a string id as in the configuration; an id that names
  // no string leaves the element as it was.
  std::u16string loaded;
  if (FAILED(LoadText(ModuleStrings(), config_.hInstance, static_cast<std::uintptr_t>(text),
                      loaded)))
    return;
  SetWindowTextW(Control(controlId), Wide(loaded));
}

void CXTaskDialog::SetElevation(int buttonId, bool required) {
  HWND button = Control(buttonId);
  if (button == nullptr) return;
  HICON image = nullptr;
  if (required) {
    image = shieldSmall_.get();
  } else if (Has(tdf::kUseCommandLinks) && !Has(tdf::kUseCommandLinksNoIcon)) {
    // Only a command link goes back to its arrow; a push button had no image.
    image = arrow_.get();
  }
  SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
  InvalidateRect(button, nullptr, TRUE);
}

void CXTaskDialog::UpdateIcon(WPARAM which, LPARAM value) {
  const auto raw = static_cast<std::uintptr_t>(value);
  if (which == tde::kIconMain) {
    const bool handle = Has(tdf::kUseHiconMain);
    mainIcon_.reset(ReadIcon(raw, handle, true, nullptr));
    stockMain_ = !handle && StockIconResource(raw) != 0;
    if (HWND control = Control(layout_.ids.mainIcon); control != nullptr)
      InvalidateRect(control, nullptr, TRUE);
    if (Has(tdf::kCanBeMinimized)) {
      SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon_.get()));
      SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon_.get()));
    }
  } else if (which == tde::kIconFooter) {
    footerIcon_.reset(ReadIcon(raw, Has(tdf::kUseHiconFooter), false, nullptr));
    if (HWND control = Control(layout_.ids.footerIcon); control != nullptr)
      InvalidateRect(control, nullptr, TRUE);
  }
}

}  // namespace mirdane::taskdialog::win32
