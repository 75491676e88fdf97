// The property grid without its window: groups of rows, which groups are
// open, the lines that are on screen in order, the selected line, the
// scroll position and how the keyboard moves through them.
#pragma once

#include <string>
#include <vector>

namespace mirdane::ui {

struct GridRow {
  std::u16string name;
  std::u16string value;
  std::u16string description;
  bool required = false;  // the name is drawn in the colour of a required column
  bool editable = false;  // the value cell takes typing
  std::u16string originalValue;  // the value when the row was added

  // Whether the value differs from the value it was shown with first.
  bool modified() const { return value != originalValue; }
};

struct GridGroup {
  std::u16string title;
  bool expanded = true;
  std::vector<GridRow> rows;
};

// One line of the grid: a group's title line (row -1) or one of its rows.
struct GridLine {
  int group = -1;
  int row = -1;

  bool valid() const { return group >= 0; }
  bool isGroup() const { return valid() && row < 0; }
  friend bool operator==(const GridLine&, const GridLine&) = default;
};

enum class GridKey { kUp, kDown, kHome, kEnd, kPageUp, kPageDown, kLeft, kRight, kExpand, kCollapse };

class GridModel {
 public:
  // Adds a group and gives its number.
  int AddGroup(std::u16string title);
  // Adds a row at the end of `group` and gives its number; its value as it
  // stands is its original value.
  int AddRow(int group, GridRow row);
  // Removes everything.
  void Clear();

  const std::vector<GridGroup>& groups() const { return groups_; }
  // The row at `line`, or null for a group line or a line that does not exist.
  GridRow* RowAt(GridLine line);
  const GridRow* RowAt(GridLine line) const;

  // The lines on screen from the first to the last: each group's title
  // line, followed by its rows while the group is open.
  const std::vector<GridLine>& lines() const { return lines_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  // The position of `line` among lines(), or -1 when it is not shown.
  int IndexOf(GridLine line) const;

  // Opens or closes a group. A row of a group that closes cannot stay
  // selected: the group's own line takes the selection.
  void SetExpanded(int group, bool expanded);

  // The selected line (invalid when none).
  GridLine selection() const { return selection_; }
  // Selects `line`, opening its group; false when no such line exists.
  bool Select(GridLine line);

  // The first line on screen, and how many whole lines the window shows.
  int top() const { return top_; }
  int pageSize() const { return pageSize_; }
  void SetPageSize(int lines);
  // Scrolls so that line `top` comes first, within the lines there are.
  void ScrollTo(int top);
  // Opens the line's group and scrolls as little as needed to show the line whole.
  void EnsureVisible(GridLine line);
  // Whether the line at position `index` is shown whole.
  bool IsShownWhole(int index) const;

  // Moves the selection (or opens and closes groups) as a key does; true
  // when anything changed.
  bool OnKey(GridKey key);

 private:
  void Rebuild();
  void ClampTop();
  bool SelectIndex(int index);

  std::vector<GridGroup> groups_;
  std::vector<GridLine> lines_;
  GridLine selection_;
  int top_ = 0;
  int pageSize_ = 1;
};

}  // namespace mirdane::ui
