// Where the sheet's own dialogs appear: centred on the window that owns them.
// Inline: the task dialog's own tests build the sheet's dialogs from source.
#pragma once

#include <windows.h>

#include <algorithm>

namespace mirdane::ui {

// Moves `dialog` to the centre of its owner, whole on the owner's monitor
// (title bar first). Nothing happens without an owner.
inline void CentreOnOwner(HWND dialog) {
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  RECT around{};
  RECT own{};
  if (!owner || !::GetWindowRect(owner, &around) || !::GetWindowRect(dialog, &own)) return;
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG left = around.left + ((around.right - around.left) - width) / 2;
  LONG top = around.top + ((around.bottom - around.top) - height) / 2;
  // Whole on the screen, title bar first, on a sheet near its edge.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max(work.left, std::min(left, work.right - width));
    top = std::max(work.top, std::min(top, work.bottom - height));
  }
  ::SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace mirdane::ui
