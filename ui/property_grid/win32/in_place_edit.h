// The edit control that the property grid puts over a value cell while a
// value is typed: Enter keeps the text, Escape throws it away, and leaving
// the control in any other way (Tab, a click elsewhere, OK) keeps it, so
// that nothing typed is lost.
#pragma once

#include <windows.h>

#include "win32/window.h"

namespace mirdane::ui {

class PropertyGrid;

class InPlaceEdit final : public win32::Window<InPlaceEdit, win32::SubclassWindow> {
 public:
  // Read by the window base; the handlers stay private.
  static const win32::MessageMap<InPlaceEdit> kMessages;

  explicit InPlaceEdit(PropertyGrid& grid) : grid_(grid) {}

  // Creates the hidden edit control as a child of the grid.
  bool Create(HWND grid, HFONT font);

 private:
  LRESULT OnGetDlgCode(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnKillFocus(WPARAM, LPARAM);


  PropertyGrid& grid_;
};

}  // namespace mirdane::ui
