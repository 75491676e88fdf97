#include "ui/property_grid/win32/in_place_edit.h"

#include "ui/property_grid/win32/property_grid.h"

namespace mirdane::ui {

const win32::MessageMap<InPlaceEdit> InPlaceEdit::kMessages = {
    win32::OnMessage(WM_GETDLGCODE, &InPlaceEdit::OnGetDlgCode),
    win32::OnMessage(WM_KEYDOWN, &InPlaceEdit::OnKeyDown),
    win32::OnMessage(WM_CHAR, &InPlaceEdit::OnChar),
    win32::OnMessage(WM_KILLFOCUS, &InPlaceEdit::OnKillFocus),
};

bool InPlaceEdit::Create(HWND grid, HFONT font) {
  HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_LEFT | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                grid, nullptr,
                                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(grid, GWLP_HINSTANCE)),
                                nullptr);
  if (!edit) return false;
  ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return Attach(edit);
}

LRESULT InPlaceEdit::OnGetDlgCode(WPARAM, LPARAM lParam) {
  // Enter and Escape belong to the edit, not to the sheet's OK and Cancel,
  // and Tab too: the edit lives inside the grid, so the grid, not the edit,
  // is where the dialog manager's Tab must start from.
  LRESULT code = Default() | DLGC_WANTTAB;
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
      (message->wParam == VK_RETURN || message->wParam == VK_ESCAPE)) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

LRESULT InPlaceEdit::OnKeyDown(WPARAM key, LPARAM lParam) {
  switch (key) {
    case VK_RETURN:
      grid_.EndEdit(true);
      return 0;
    case VK_ESCAPE:
      grid_.EndEdit(false);
      return 0;
    case VK_TAB: {
      // The text is kept and the grid hands Tab to the dialog manager,
      // which moves on from the grid as from any control.
      HWND grid = ::GetParent(hwnd_);
      grid_.EndEdit(true);
      ::PostMessageW(grid, WM_KEYDOWN, key, lParam);
      return 0;
    }
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      // Moving on to another row keeps what was typed, as a grid does.
      HWND grid = ::GetParent(hwnd_);
      grid_.EndEdit(true);
      ::SendMessageW(grid, WM_KEYDOWN, key, lParam);
      return 0;
    }
    default:
      return Default();
  }
}

LRESULT InPlaceEdit::OnChar(WPARAM character, LPARAM) {
  // Their key-down did the work; the edit would only beep at them.
  if (character == u'\r' || character == 0x1B || character == u'\t') return 0;
  return Default();
}

LRESULT InPlaceEdit::OnKillFocus(WPARAM, LPARAM) {
  const LRESULT result = Default();
  // A click elsewhere, Tab or OK: the text typed so far is kept.
  grid_.EndEdit(true);
  return result;
}

}  // namespace mirdane::ui
