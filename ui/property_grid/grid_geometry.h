// Where the property grid's parts are, in pixels: the lines between the
// header and the description area, and in each line the expander box, the
// name and value cells and the row's button. Painting and mouse hits both
// come from here, so what is drawn is what is hit.
#pragma once

#include "ui/property_grid/grid_model.h"

namespace mirdane::ui {

struct GridRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const GridRect&, const GridRect&) = default;
};

struct GridGeometry {
  int width = 0;         // of the lines (the client area without the scroll bar)
  int listTop = 0;       // below the header
  int listBottom = 0;    // above the description area
  int rowHeight = 16;
  int gutter = 16;       // the margin on the left that holds the expander boxes
  int divider = 100;     // where the value column starts
  int buttonWidth = 16;  // of the button at the right end of every row

  // How many whole lines fit between the header and the description area.
  int PageLines() const;
  // The divider kept where both columns stay usable in a grid `width` wide.
  int ClampDivider(int wanted) const;
};

enum class GridPart { kNone, kExpander, kGroupTitle, kName, kValue, kButton };

struct GridCells {
  GridRect line;      // the whole line
  GridRect expander;  // the box that opens and closes a group (group lines only)
  GridRect name;      // a row's name, or a group's title
  GridRect value;     // a row's value, without the button
  GridRect button;    // the row's button
};

// The cells of the line shown at `position` counted from the first line on screen.
GridCells CellsAt(const GridGeometry& geometry, int position, bool groupLine);

struct GridHit {
  GridLine line;  // invalid when no line was hit
  GridPart part = GridPart::kNone;
};

// The line and the part of it at (x, y).
GridHit HitTest(const GridModel& model, const GridGeometry& geometry, int x, int y);

}  // namespace mirdane::ui
