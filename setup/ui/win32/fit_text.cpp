#include "setup/ui/win32/fit_text.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/ui_text.h"
#include "win32/gdi.h"
#include "win32/window.h"

namespace mirdane::ui {
namespace {

// The width of a control's text on one line, in its own font.
LONG TextWidthIn(HWND control) {
  const std::u16string text = WindowText(control);
  RECT needed{};
  win32::ClientDc dc(control);
  win32::ScopedSelectObject select(dc.get(), win32::WindowFont(control));
  ::DrawTextW(dc.get(), Wide(text), static_cast<int>(text.size()), &needed,
              DT_CALCRECT | DT_SINGLELINE);
  return needed.right;
}

RECT PlaceInParent(HWND control) {
  RECT area{};
  ::GetWindowRect(control, &area);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void Move(HWND control, const RECT& area) {
  ::SetWindowPos(control, nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void FitLabelsToText(HWND page) {
  RECT units{2, 0, 2, 0};
  ::MapDialogRect(page, &units);
  const LONG margin = units.left;
  const LONG gap = units.right;
  for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t windowClass[16] = {};
    ::GetClassNameW(child, windowClass, 16);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
    if (::lstrcmpiW(windowClass, L"Static") != 0 || (style & SS_TYPEMASK) != SS_RIGHT) continue;
    RECT area = PlaceInParent(child);
    const LONG width = TextWidthIn(child) + 1;
    if (width <= area.right - area.left) continue;
    area.left = std::max(margin, area.right - width);
    if (area.right - area.left < width) {
      LONG limit = area.right;
      if (HWND next = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT following = PlaceInParent(next);
        if (following.left > area.right) limit = following.left - gap;
      }
      area.right = std::min(limit, area.left + width);
    }
    Move(child, area);
  }
}

void FitCheckBoxToText(HWND checkBox) {
  if (!checkBox) return;
  SIZE ideal{};
  if (!::SendMessageW(checkBox, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) ||
      ideal.cx <= 0) {
    // Without comctl32 version 6: the box, its gap and the text.
    ideal.cx = ::GetSystemMetrics(SM_CXMENUCHECK) + ::GetSystemMetrics(SM_CXEDGE) * 2 +
               TextWidthIn(checkBox);
  }
  RECT area = PlaceInParent(checkBox);
  if (ideal.cx <= area.right - area.left) return;
  RECT parent{};
  ::GetClientRect(::GetParent(checkBox), &parent);
  area.right = std::min(parent.right, area.left + ideal.cx);
  Move(checkBox, area);
}

}  // namespace mirdane::ui
