#include "ui/property_grid/grid_geometry.h"

#include <algorithm>

namespace mirdane::ui {

int GridGeometry::PageLines() const {
  if (rowHeight <= 0) return 1;
  return std::max(1, (listBottom - listTop) / rowHeight);
}

int GridGeometry::ClampDivider(int wanted) const {
  // Each column keeps room for a few characters' worth of its text; the
  // value column for its button as well.
  const int least = gutter + rowHeight * 2;
  const int most = width - buttonWidth - rowHeight * 2;
  if (most <= least) return std::max(gutter, width / 2);
  return std::clamp(wanted, least, most);
}

GridCells CellsAt(const GridGeometry& geometry, int position, bool groupLine) {
  GridCells cells;
  const int top = geometry.listTop + position * geometry.rowHeight;
  const int bottom = top + geometry.rowHeight;
  cells.line = GridRect{0, top, geometry.width, bottom};
  if (groupLine) {
    // A square box centred in the gutter, a little over half the row high.
    const int box = std::max(7, (geometry.rowHeight / 2) | 1);
    const int left = (geometry.gutter - box) / 2;
    const int boxTop = top + (geometry.rowHeight - box) / 2;
    cells.expander = GridRect{left, boxTop, left + box, boxTop + box};
    cells.name = GridRect{geometry.gutter, top, geometry.width, bottom};
    return cells;
  }
  const int buttonLeft = std::max(geometry.divider + 1, geometry.width - geometry.buttonWidth);
  cells.name = GridRect{geometry.gutter, top, geometry.divider, bottom};
  cells.value = GridRect{geometry.divider + 1, top, buttonLeft, bottom};
  cells.button = GridRect{buttonLeft, top, geometry.width, bottom};
  return cells;
}

GridHit HitTest(const GridModel& model, const GridGeometry& geometry, int x, int y) {
  GridHit hit;
  if (y < geometry.listTop || y >= geometry.listBottom || x < 0 || x >= geometry.width ||
      geometry.rowHeight <= 0) {
    return hit;
  }
  const int position = (y - geometry.listTop) / geometry.rowHeight;
  const int index = model.top() + position;
  if (index >= model.lineCount()) return hit;
  hit.line = model.lines()[static_cast<std::size_t>(index)];
  const GridCells cells = CellsAt(geometry, position, hit.line.isGroup());
  if (hit.line.isGroup()) {
    // The whole gutter opens and closes the group: the box alone is a small target.
    hit.part = x < geometry.gutter ? GridPart::kExpander : GridPart::kGroupTitle;
  } else if (cells.button.Contains(x, y)) {
    hit.part = GridPart::kButton;
  } else if (x > geometry.divider) {
    hit.part = GridPart::kValue;
  } else {
    hit.part = GridPart::kName;
  }
  return hit;
}

}  // namespace mirdane::ui
