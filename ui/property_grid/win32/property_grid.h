// The property grid: a header with the column titles, groups of rows that
// open and close, a name and a value cell and a button on every row, and a
// description area below that shows the selected row's description. Values
// are typed in place on editable rows only; everything else goes through
// the row's button, which the grid hands to its listener.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/property_grid/grid_geometry.h"
#include "ui/property_grid/grid_model.h"
#include "ui/property_grid/wheel_steps.h"
#include "ui/property_grid/win32/in_place_edit.h"
#include "ui/property_grid/win32/property_grid_accessible.h"
#include "win32/com_ptr.h"
#include "win32/gdi.h"
#include "win32/window.h"
#include "win32/user_handles.h"

namespace mirdane::ui {

// The colour of a required column's name; in high contrast the colour the
// user's scheme gives to emphasised text instead.
inline constexpr COLORREF kRequiredNameColour = RGB(191, 0, 0);
COLORREF RequiredNameColour();

// What the grid tells the window that owns it.
class PropertyGridListener {
 public:
  virtual ~PropertyGridListener() = default;
  // The row's button was pressed (or Enter, F4 or Alt+Down on the row);
  // `anchor` is the lower left corner of the button in screen coordinates.
  virtual void OnRowButton(GridLine line, POINT anchor) = 0;
  // Text typed into the row's value cell was accepted.
  virtual void OnRowEdited(GridLine line, const std::u16string& text) = 0;
};

struct PropertyGridOptions {
  bool header = true;        // column titles above the rows
  bool description = true;   // the description area below the rows
  bool markModified = true;  // changed values in bold
  std::u16string nameTitle = u"Property";
  std::u16string valueTitle = u"Value";
};

class PropertyGrid final : public win32::Window<PropertyGrid, win32::CustomWindow> {
 public:
  // Read by the window base; the handlers stay private.
  static const win32::MessageMap<PropertyGrid> kMessages;

  // Registers the grid's window class for `instance` while the result lives.
  static std::unique_ptr<win32::ScopedWindowClass> RegisterWindowClass(HINSTANCE instance);

  PropertyGrid();
  ~PropertyGrid() override;

  // Creates the grid as a bordered tab stop child of `parent`.
  bool Create(HINSTANCE instance, HWND parent, const RECT& rect, int id,
              const PropertyGridOptions& options, PropertyGridListener* listener);

  // The groups and rows; after changing them call Relayout or RedrawLine.
  GridModel& model() { return model_; }
  // Lays the grid out again for its rows and size and repaints it.
  void Relayout();
  // Repaints one line after its texts changed.
  void RedrawLine(GridLine line);
  // Selects `line`, opens its group, scrolls it into view and takes the focus.
  void SelectAndShow(GridLine line);
  // Starts typing into the selected row's value cell, with `initial` in place
  // of its value when given; false when the row is not editable.
  bool BeginEdit(const std::u16string* initial = nullptr);
  // Ends typing, keeping the text when `accept` is true.
  void EndEdit(bool accept);

  // The lines on screen, whole or cut by the bottom of the list, and the
  // one at `position` from the first (invalid past the last).
  int ShownLineCount() const;
  GridLine ShownLine(int position) const;

 private:
  friend class InPlaceEdit;
  friend class GridAccessible;

  LRESULT OnCreate(WPARAM, LPARAM);
  LRESULT OnSize(WPARAM, LPARAM);
  LRESULT OnSetFont(WPARAM, LPARAM);
  LRESULT OnGetFont(WPARAM, LPARAM);
  LRESULT OnPaint(WPARAM, LPARAM);
  LRESULT OnPrintClient(WPARAM, LPARAM);
  LRESULT OnEraseBackground(WPARAM, LPARAM);
  LRESULT OnFocusChange(WPARAM, LPARAM);
  LRESULT OnGetDlgCode(WPARAM, LPARAM);
  LRESULT OnKeyDown(WPARAM, LPARAM);
  LRESULT OnSysKeyDown(WPARAM, LPARAM);
  LRESULT OnChar(WPARAM, LPARAM);
  LRESULT OnLeftButtonDown(WPARAM, LPARAM);
  LRESULT OnLeftButtonDoubleClick(WPARAM, LPARAM);
  LRESULT OnMouseWheel(WPARAM, LPARAM);
  LRESULT OnVerticalScroll(WPARAM, LPARAM);
  LRESULT OnNotify(WPARAM, LPARAM);
  LRESULT OnGetGroupCount(WPARAM, LPARAM);
  LRESULT OnGetRowCount(WPARAM, LPARAM);
  LRESULT OnGetItem(WPARAM, LPARAM);
  LRESULT OnGetSelection(WPARAM, LPARAM);
  LRESULT OnGetLayout(WPARAM, LPARAM);
  LRESULT OnGetEditor(WPARAM, LPARAM);
  LRESULT OnGetObject(WPARAM, LPARAM);

  // Metrics from the font and the system's DPI; the divider and the
  // description area from the texts.
  void MeasureFont();
  void LayOut();
  int DescriptionHeightNeeded(int width) const;
  int LongestNameWidth() const;
  void UpdateScrollBar();
  void UpdateHeader();
  // After the selection or the scroll position changed.
  void SelectionMoved();
  // Tells assistive technology that `event` happened to the selected line.
  void NotifySelectedLine(DWORD event);
  void ToggleGroup(int group);
  void OpenMenu(GridLine line);
  bool HasFocus() const;

  // Painting (property_grid_paint.cpp).
  void Paint(HDC dc, const RECT& client);
  void PaintLine(HDC dc, int position, GridLine line);
  void PaintGroupLine(HDC dc, const GridCells& cells, const GridGroup& group, bool selected);
  void PaintRowLine(HDC dc, const GridCells& cells, const GridRow& row, bool selected,
                    bool pressed);
  void PaintButton(HDC dc, const GridRect& rect, bool selected, bool pressed);
  void PaintDescription(HDC dc);
  int TextWidth(HFONT font, const std::u16string& text) const;


  GridModel model_;
  GridGeometry geometry_;
  PropertyGridOptions options_;
  PropertyGridListener* listener_ = nullptr;
  HINSTANCE instance_ = nullptr;
  HWND header_ = nullptr;     // children: destroyed with the grid
  HWND scrollBar_ = nullptr;
  bool scrolling_ = false;    // the scroll bar is shown
  HFONT font_ = nullptr;   // the parent's, not owned
  win32::UniqueHFont boldFont_;
  bool overstrikeBold_ = false;  // the bold font draws the regular glyphs: strike twice
  int dpi_ = 96;
  int padding_ = 2;
  int textHeight_ = 13;
  bool updatingHeader_ = false;  // the grid itself sets the header's widths
  int headerHeight_ = 0;
  RECT description_{};    // the description area, empty without one
  int descriptionNeeded_ = 0;
  bool dividerSet_ = false;  // moved by the administrator: layouts keep it
  GridLine pressed_;      // the row whose menu is open
  GridLine editing_;      // the row whose value is being typed
  InPlaceEdit editor_;
  WheelSteps wheel_;
  win32::ComPtr<GridAccessible> accessible_;  // made when first asked for
};

}  // namespace mirdane::ui
