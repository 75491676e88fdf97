// The controls of the emulated task dialog: platform statics and buttons,
// subclassed so that they take the task dialog's colours, draw its icons,
// and draw command links (an arrow, a large title and a note).
#pragma once

#include <windows.h>

#include "ui/taskdialog/win32/win32_handles.h"
#include "ui/taskdialog/win32/window_framework.h"

namespace mirdane::taskdialog::win32 {

// A static text (or link) in its area's colours.
class CXTaskDialogStatic : public CWindowImpl {
 public:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  // Sets the text and background colour and the brush the control answers with.
  void SetColors(COLORREF text, COLORREF background, HBRUSH* brush);

 private:
  COLORREF text_ = 0;
  COLORREF background_ = RGB(255, 255, 255);
  HBRUSH* brush_ = nullptr;
};

// A radio button or the verification check box on its area's background.
class CXTaskDialogButton : public CWindowImpl {
 public:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  // Sets the colour its background is erased in and the brush it answers with.
  void SetColors(COLORREF erase, HBRUSH* brush);

 private:
  COLORREF erase_ = RGB(255, 255, 255);
  HBRUSH* brush_ = nullptr;
};

// A static that draws one of the dialog's icons.
class CXTaskDialogIconStatic : public CWindowImpl {
 public:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  // Sets the icon it draws (read at every paint) and its size: 32 pixels when large, else 16.
  void SetIcon(HICON* icon, bool large);

 private:
  HICON* icon_ = nullptr;
  bool large_ = false;
};

// An owner-drawn button drawn as a command link, hot while the pointer is over it.
class CXTaskDialogCommandLink : public CWindowImpl {
 public:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) override;
  // Sets the fonts and icons it draws with; false when a pen cannot be made.
  bool Init(HFONT titleFont, HFONT noteFont, HICON shield, HICON arrow, HICON hotArrow);

  bool hot() const { return hot_; }

 private:
  void SwapImage(bool toHot);
  void Draw(const DRAWITEMSTRUCT& item);

  UniqueHPen focusPen_;
  UniqueHPen hotPen_;
  UniqueHPen normalPen_;
  HICON shield_ = nullptr;
  HICON arrow_ = nullptr;
  HICON hotArrow_ = nullptr;
  bool hot_ = false;
  bool tracking_ = false;
  HFONT titleFont_ = nullptr;
  HFONT noteFont_ = nullptr;
};

}  // namespace mirdane::taskdialog::win32
