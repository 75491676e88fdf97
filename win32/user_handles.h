// Owners for USER: icons, menus, windows, window classes, and a window's
// redrawing switched off for a while.
#pragma once

#include <windows.h>

#include "win32/unique_handle.h"

namespace mirdane::win32 {

struct DestroyMenuHandle {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct DestroyWindowHandle {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};

using UniqueHIcon = UniqueHandleOf<NullEmpty<HICON, DestroyIconHandle>>;
using UniqueHMenu = UniqueHandleOf<NullEmpty<HMENU, DestroyMenuHandle>>;
using UniqueHWnd = UniqueHandleOf<NullEmpty<HWND, DestroyWindowHandle>>;

// A window class registered while the object lives.
class ScopedWindowClass {
 public:
  explicit ScopedWindowClass(const WNDCLASSEXW& windowClass)
      : instance_(windowClass.hInstance), atom_(::RegisterClassExW(&windowClass)) {}
  ScopedWindowClass(const ScopedWindowClass&) = delete;
  ScopedWindowClass& operator=(const ScopedWindowClass&) = delete;
  ~ScopedWindowClass() {
    if (atom_) ::UnregisterClassW(MAKEINTATOM(atom_), instance_);
  }
  ATOM atom() const { return atom_; }

 private:
  HINSTANCE instance_;
  ATOM atom_;
};

// Switches a window's redrawing off while the object lives, then on again
// with the whole window invalidated.
class ScopedNoRedraw {
 public:
  explicit ScopedNoRedraw(HWND window) : window_(window) {
    if (window_) ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ScopedNoRedraw(const ScopedNoRedraw&) = delete;
  ScopedNoRedraw& operator=(const ScopedNoRedraw&) = delete;
  ~ScopedNoRedraw() {
    if (!window_) return;
    ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(window_, nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }

 private:
  HWND window_;
};

}  // namespace mirdane::win32
