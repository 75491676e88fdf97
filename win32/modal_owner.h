// The one rule for the owner of a modal window (the setup sheet, its message
// boxes, the task dialog): the first non-child window up from the parent;
// without a parent, the application's main window or else the window active
// on the calling thread (inside a host, the host's window), then its last
// active popup. While the modal window shows, the top-level window above its
// owner is disabled too, so that nothing behind it takes input; the owner
// itself is disabled by the modal run.
#pragma once

#include <windows.h>

namespace mirdane::win32 {

class ModalOwner {
 public:
  // Chooses the owner for a modal window of `parent` (null: of the
  // application, whose main window is `mainWindow` when it has one).
  explicit ModalOwner(HWND parent, HWND mainWindow = nullptr);
  // Enables again what the constructor disabled.
  ~ModalOwner();
  ModalOwner(const ModalOwner&) = delete;
  ModalOwner& operator=(const ModalOwner&) = delete;

  // The owner; null when there is no window to own the modal one.
  HWND get() const { return owner_; }
  // The top-level window disabled above the owner, or null.
  HWND disabledTop() const { return disabledTop_; }

 private:
  HWND owner_ = nullptr;
  HWND disabledTop_ = nullptr;
};

}  // namespace mirdane::win32
