// Owners for GDI: objects (fonts, brushes, pens, bitmaps), device contexts,
// and an object selected into a context for a while.
#pragma once

#include <windows.h>

#include <utility>

#include "win32/unique_handle.h"

namespace mirdane::win32 {

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct DeleteDcHandle {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};

using UniqueHFont = UniqueHandleOf<NullEmpty<HFONT, DeleteGdiObject>>;
using UniqueHBrush = UniqueHandleOf<NullEmpty<HBRUSH, DeleteGdiObject>>;
using UniqueHPen = UniqueHandleOf<NullEmpty<HPEN, DeleteGdiObject>>;
using UniqueHBitmap = UniqueHandleOf<NullEmpty<HBITMAP, DeleteGdiObject>>;
// A device context made with CreateCompatibleDC or CreateDC.
using UniqueHdc = UniqueHandleOf<NullEmpty<HDC, DeleteDcHandle>>;

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

}  // namespace mirdane::win32
