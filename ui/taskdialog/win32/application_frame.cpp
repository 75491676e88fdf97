#include "ui/taskdialog/win32/application_frame.h"

namespace mirdane::taskdialog::win32 {

ApplicationFrame& ApplicationFrame::Current() {
  static ApplicationFrame frame;
  return frame;
}

void ApplicationFrame::EnableModeless(bool enable) {
  const bool wasEnabled = ModelessEnabled();
  if (enable) {
    if (modelessDisabled_ > 0) --modelessDisabled_;
  } else {
    ++modelessDisabled_;
  }
  if (listener_ && wasEnabled != ModelessEnabled()) listener_(ModelessEnabled());
}

void ApplicationFrame::SetModelessListener(std::function<void(bool)> listener) {
  listener_ = std::move(listener);
}

HWND FindSafeOwner(HWND parent, HWND* disabledTop) {
  HWND owner = parent != nullptr ? parent : ApplicationFrame::Current().MainWindow();
  // A module inside a host has no main window of its own: the window the
  // host has active on this thread stands for it, so that what the module
  // shows is modal to the host.
  if (owner == nullptr && parent == nullptr) owner = GetActiveWindow();
  // A popup cannot be owned by a child window.
  while (owner != nullptr && (GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD) != 0)
    owner = GetParent(owner);
  HWND top = owner;
  for (HWND up = owner; up != nullptr; up = GetParent(up)) top = up;
  if (parent == nullptr && owner != nullptr) owner = GetLastActivePopup(owner);
  if (disabledTop != nullptr) {
    *disabledTop = nullptr;
    if (top != nullptr && top != owner && IsWindowEnabled(top)) {
      *disabledTop = top;
      EnableWindow(top, FALSE);
    }
  }
  return owner;
}

}  // namespace mirdane::taskdialog::win32
