// Owners for GDI objects, device contexts, menus, windows and window
// classes: each handle is owned from the moment it exists and given back
// when its owner goes.
#pragma once

#include <windows.h>

#include <utility>

#include "win32/unique_handle.h"

namespace mirdane::win32 {

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct DestroyMenuHandle {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct DestroyWindowHandle {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct DeleteDcHandle {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};

using UniqueHFont = UniqueHandleOf<HFONT, DeleteGdiObject>;
using UniqueHBrush = UniqueHandleOf<HBRUSH, DeleteGdiObject>;
using UniqueHPen = UniqueHandleOf<HPEN, DeleteGdiObject>;
using UniqueHBitmap = UniqueHandleOf<HBITMAP, DeleteGdiObject>;
using UniqueHIcon = UniqueHandleOf<HICON, DestroyIconHandle>;
using UniqueHMenu = UniqueHandleOf<HMENU, DestroyMenuHandle>;
using UniqueHWnd = UniqueHandleOf<HWND, DestroyWindowHandle>;
// A device context made with CreateCompatibleDC or CreateDC.
using UniqueHdc = UniqueHandleOf<HDC, DeleteDcHandle>;

// Selects an object into a device context and puts the old one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    // HGDI_ERROR, spelled without the macro's sign conversion.
    if (old_ && old_ != reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1))) {
      ::SelectObject(dc_, old_);
    }
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's client-area device context (GetDC), or the screen's for null.
class ClientDc {
 public:
  explicit ClientDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  ~ClientDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The device context of one WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

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
