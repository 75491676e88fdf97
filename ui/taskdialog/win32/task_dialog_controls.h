// The controls of the emulated task dialog: platform statics and buttons,
// subclassed so that they take the task dialog's colours, draw its icons,
// and draw command links (an arrow, a large title and a note).
#pragma once

#include <windows.h>

#include "ui/taskdialog/dpi_scale.h"
#include "win32/gdi.h"
#include "win32/window.h"

namespace mirdane::taskdialog::win32 {

namespace framework = ::mirdane::win32;

// A static text (or link) in its area's colours.
class CXTaskDialogStatic : public framework::Window<CXTaskDialogStatic, framework::SubclassWindow> {
 public:
  static const framework::MessageMap<CXTaskDialogStatic> kMessages;

  // Sets the text and background colour and the brush the control answers with.
  void SetColors(COLORREF text, COLORREF background, HBRUSH* brush);

 private:
  LRESULT OnColour(WPARAM dc, LPARAM);
  LRESULT OnEraseBackground(WPARAM dc, LPARAM);

  COLORREF text_ = 0;
  COLORREF background_ = RGB(255, 255, 255);
  HBRUSH* brush_ = nullptr;
};

// A radio button or the verification check box on its area's background.
class CXTaskDialogButton : public framework::Window<CXTaskDialogButton, framework::SubclassWindow> {
 public:
  static const framework::MessageMap<CXTaskDialogButton> kMessages;

  // Sets the colour its background is erased in and the brush it answers with.
  void SetColors(COLORREF erase, HBRUSH* brush);

 private:
  LRESULT OnColour(WPARAM dc, LPARAM);
  LRESULT OnEraseBackground(WPARAM dc, LPARAM);

  COLORREF erase_ = RGB(255, 255, 255);
  HBRUSH* brush_ = nullptr;
};

// A static that draws one of the dialog's icons.
class CXTaskDialogIconStatic : public framework::Window<CXTaskDialogIconStatic, framework::SubclassWindow> {
 public:
  static const framework::MessageMap<CXTaskDialogIconStatic> kMessages;

  // Sets the icon it draws (read at every paint) and its size in pixels: the
  // dialog's large or small icon size at the screen's DPI.
  void SetIcon(HICON* icon, int size);

 private:
  LRESULT OnPaint(WPARAM, LPARAM);

  HICON* icon_ = nullptr;
  int size_ = 16;
};

// An owner-drawn button drawn as a command link, hot while the pointer is over it.
class CXTaskDialogCommandLink : public framework::Window<CXTaskDialogCommandLink, framework::SubclassWindow> {
 public:
  static const framework::MessageMap<CXTaskDialogCommandLink> kMessages;

  // Sets the fonts and icons it draws with and the DPI its margins and icon
  // size are scaled to; false when a pen cannot be made.
  bool Init(HFONT titleFont, HFONT noteFont, HICON shield, HICON arrow, HICON hotArrow,
            int dpi);

  bool hot() const { return hot_; }

 private:
  LRESULT OnMouseMove(WPARAM, LPARAM);
  LRESULT OnMouseLeave(WPARAM, LPARAM);
  LRESULT OnDrawItem(WPARAM, LPARAM item);
  LRESULT OnUpdateUiState(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);

  void SwapImage(bool toHot);
  void Draw(const DRAWITEMSTRUCT& item);

  framework::UniqueHPen focusPen_;
  framework::UniqueHPen hotPen_;
  framework::UniqueHPen normalPen_;
  HICON shield_ = nullptr;
  HICON arrow_ = nullptr;
  HICON hotArrow_ = nullptr;
  bool hot_ = false;
  bool tracking_ = false;
  HFONT titleFont_ = nullptr;
  HFONT noteFont_ = nullptr;
  int dpi_ = kBaseDpi;
};

}  // namespace mirdane::taskdialog::win32
