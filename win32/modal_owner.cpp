#include "win32/modal_owner.h"

namespace mirdane::win32 {

ModalOwner::ModalOwner(HWND parent, HWND mainWindow) {
  HWND owner = parent ? parent : mainWindow;
  // A module inside a host has no main window of its own: the window the
  // host has active on this thread stands for it, so that what the module
  // shows is modal to the host.
  if (!owner && !parent) owner = ::GetActiveWindow();
  // A popup cannot be owned by a child window.
  while (owner && (::GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD) != 0) owner = ::GetParent(owner);
  HWND top = owner;
  for (HWND up = owner; up; up = ::GetParent(up)) top = up;
  if (!parent && owner) owner = ::GetLastActivePopup(owner);
  if (top && top != owner && ::IsWindowEnabled(top)) {
    disabledTop_ = top;
    ::EnableWindow(top, FALSE);
  }
  owner_ = owner;
}

ModalOwner::~ModalOwner() {
  if (disabledTop_) ::EnableWindow(disabledTop_, TRUE);
}

}  // namespace mirdane::win32
