// What the property grid answers about itself (property_grid_messages.h).
#include "ui/property_grid/win32/property_grid.h"
#include "ui/property_grid/win32/property_grid_messages.h"
#include "ui/win32/ui_text.h"

namespace mirdane::ui {
namespace {

RECT ToRect(const GridRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

LRESULT PropertyGrid::OnGetGroupCount(WPARAM, LPARAM) {
  return static_cast<LRESULT>(model_.groups().size());
}

LRESULT PropertyGrid::OnGetRowCount(WPARAM group, LPARAM) {
  if (group >= model_.groups().size()) return -1;
  return static_cast<LRESULT>(model_.groups()[group].rows.size());
}

LRESULT PropertyGrid::OnGetItem(WPARAM groupIndex, LPARAM lParam) {
  auto* item = reinterpret_cast<PROPERTYGRIDITEM*>(lParam);
  if (!item || groupIndex >= model_.groups().size()) return FALSE;
  const GridLine line{static_cast<int>(groupIndex), item->row < 0 ? -1 : item->row};
  const GridGroup& group = model_.groups()[groupIndex];
  const GridRow* row = model_.RowAt(line);
  if (!line.isGroup() && !row) return FALSE;
  const int row_id = item->row;
  *item = PROPERTYGRIDITEM{};
  item->row = row_id;
  UINT flags = 0;
  if (line.isGroup()) {
    flags |= PGIF_GROUP;
    if (group.expanded) flags |= PGIF_EXPANDED;
    CopyText(group.title, item->name);
    item->nameColour = ::GetSysColor(COLOR_BTNTEXT);
    if (TextWidth(boldFont_.get(), group.title) + 2 * padding_ > geometry_.width - geometry_.gutter) {
      flags |= PGIF_NAME_CLIPPED;
    }
  } else {
    CopyText(row->name, item->name);
    CopyText(row->value, item->value);
    CopyText(row->description, item->description);
    if (row->required) flags |= PGIF_REQUIRED;
    if (row->editable) flags |= PGIF_EDITABLE;
    if (options_.markModified && row->modified()) flags |= PGIF_MODIFIED;
    if (editing_ == line) flags |= PGIF_EDITING;
    item->nameColour = row->required ? RequiredNameColour() : ::GetSysColor(COLOR_WINDOWTEXT);
    const GridCells cells = CellsAt(geometry_, 0, false);
    if (TextWidth(font_, row->name) + 2 * padding_ > cells.name.width()) flags |= PGIF_NAME_CLIPPED;
    const HFONT valueFont = (flags & PGIF_MODIFIED) ? boldFont_.get() : font_;
    if (TextWidth(valueFont, row->value) + 2 * padding_ > cells.value.width()) {
      flags |= PGIF_VALUE_CLIPPED;
    }
  }
  if (model_.selection() == line) flags |= PGIF_SELECTED;
  const int index = model_.IndexOf(line);
  if (index >= 0 && model_.IsShownWhole(index)) {
    flags |= PGIF_SHOWN;
    const GridCells cells = CellsAt(geometry_, index - model_.top(), line.isGroup());
    item->nameRect = ToRect(cells.name);
    item->valueRect = ToRect(cells.value);
    item->buttonRect = ToRect(cells.button);
  }
  item->flags = flags;
  return TRUE;
}

LRESULT PropertyGrid::OnGetSelection(WPARAM, LPARAM lParam) {
  auto* line = reinterpret_cast<PROPERTYGRIDLINE*>(lParam);
  const GridLine selected = model_.selection();
  if (!line || !selected.valid()) return FALSE;
  line->group = selected.group;
  line->row = selected.row;
  return TRUE;
}

LRESULT PropertyGrid::OnGetLayout(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<PROPERTYGRIDLAYOUT*>(lParam);
  if (!layout) return FALSE;
  layout->rowHeight = geometry_.rowHeight;
  layout->headerHeight = headerHeight_;
  layout->divider = geometry_.divider;
  layout->descriptionRect = description_;
  layout->descriptionClipped = descriptionNeeded_ > description_.bottom - description_.top;
  layout->topLine = model_.top();
  layout->pageLines = model_.pageSize();
  return TRUE;
}

LRESULT PropertyGrid::OnGetEditor(WPARAM, LPARAM) {
  return editing_.valid() ? reinterpret_cast<LRESULT>(editor_.hwnd()) : 0;
}

}  // namespace mirdane::ui
