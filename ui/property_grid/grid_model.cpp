#include "ui/property_grid/grid_model.h"

#include <algorithm>

namespace mirdane::ui {

int GridModel::AddGroup(std::u16string title) {
  GridGroup group;
  group.title = std::move(title);
  groups_.push_back(std::move(group));
  Rebuild();
  return static_cast<int>(groups_.size()) - 1;
}

int GridModel::AddRow(int group, GridRow row) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return -1;
  auto& rows = groups_[static_cast<std::size_t>(group)].rows;
  row.originalValue = row.value;
  rows.push_back(std::move(row));
  Rebuild();
  return static_cast<int>(rows.size()) - 1;
}

void GridModel::Clear() {
  groups_.clear();
  selection_ = {};
  top_ = 0;
  Rebuild();
}

GridRow* GridModel::RowAt(GridLine line) {
  return const_cast<GridRow*>(static_cast<const GridModel&>(*this).RowAt(line));
}

const GridRow* GridModel::RowAt(GridLine line) const {
  if (!line.valid() || line.isGroup() || line.group >= static_cast<int>(groups_.size())) {
    return nullptr;
  }
  const auto& rows = groups_[static_cast<std::size_t>(line.group)].rows;
  if (line.row >= static_cast<int>(rows.size())) return nullptr;
  return &rows[static_cast<std::size_t>(line.row)];
}

void GridModel::Rebuild() {
  lines_.clear();
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    lines_.push_back(GridLine{static_cast<int>(g), -1});
    if (!groups_[g].expanded) continue;
    for (std::size_t r = 0; r < groups_[g].rows.size(); ++r) {
      lines_.push_back(GridLine{static_cast<int>(g), static_cast<int>(r)});
    }
  }
  ClampTop();
}

int GridModel::IndexOf(GridLine line) const {
  const auto found = std::find(lines_.begin(), lines_.end(), line);
  return found == lines_.end() ? -1 : static_cast<int>(found - lines_.begin());
}

void GridModel::SetExpanded(int group, bool expanded) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return;
  groups_[static_cast<std::size_t>(group)].expanded = expanded;
  if (!expanded && selection_.group == group && !selection_.isGroup()) {
    selection_ = GridLine{group, -1};
  }
  Rebuild();
}

bool GridModel::Select(GridLine line) {
  if (!line.valid() || line.group >= static_cast<int>(groups_.size())) return false;
  if (!line.isGroup() && !RowAt(line)) return false;
  if (!line.isGroup() && !groups_[static_cast<std::size_t>(line.group)].expanded) {
    SetExpanded(line.group, true);
  }
  selection_ = line;
  return true;
}

void GridModel::SetPageSize(int lines) {
  pageSize_ = std::max(1, lines);
  ClampTop();
}

void GridModel::ClampTop() {
  const int last = std::max(0, lineCount() - pageSize_);
  top_ = std::clamp(top_, 0, last);
}

void GridModel::ScrollTo(int top) {
  top_ = top;
  ClampTop();
}

void GridModel::EnsureVisible(GridLine line) {
  if (line.valid() && !line.isGroup() && line.group < static_cast<int>(groups_.size()) &&
      !groups_[static_cast<std::size_t>(line.group)].expanded) {
    SetExpanded(line.group, true);
  }
  const int index = IndexOf(line);
  if (index < 0) return;
  if (index < top_) {
    top_ = index;
  } else if (index >= top_ + pageSize_) {
    top_ = index - pageSize_ + 1;
  }
  ClampTop();
}

bool GridModel::IsShownWhole(int index) const {
  return index >= top_ && index < top_ + pageSize_ && index < lineCount();
}

bool GridModel::SelectIndex(int index) {
  if (lines_.empty()) return false;
  index = std::clamp(index, 0, lineCount() - 1);
  const GridLine line = lines_[static_cast<std::size_t>(index)];
  const bool changed = !(line == selection_);
  selection_ = line;
  const int oldTop = top_;
  EnsureVisible(line);
  return changed || oldTop != top_;
}

bool GridModel::OnKey(GridKey key) {
  if (lines_.empty()) return false;
  const int at = IndexOf(selection_);
  // Without a selection every movement starts at the first line.
  if (at < 0) return SelectIndex(key == GridKey::kEnd ? lineCount() - 1 : 0);
  const int step = std::max(1, pageSize_ - 1);
  switch (key) {
    case GridKey::kUp: return SelectIndex(at - 1);
    case GridKey::kDown: return SelectIndex(at + 1);
    case GridKey::kHome: return SelectIndex(0);
    case GridKey::kEnd: return SelectIndex(lineCount() - 1);
    case GridKey::kPageUp: return SelectIndex(at - step);
    case GridKey::kPageDown: return SelectIndex(at + step);
    case GridKey::kLeft:
      if (!selection_.isGroup()) return SelectIndex(IndexOf(GridLine{selection_.group, -1}));
      [[fallthrough]];
    case GridKey::kCollapse: {
      const auto& group = groups_[static_cast<std::size_t>(selection_.group)];
      if (!group.expanded) return false;
      SetExpanded(selection_.group, false);
      EnsureVisible(selection_);
      return true;
    }
    case GridKey::kRight:
      if (selection_.isGroup() && groups_[static_cast<std::size_t>(selection_.group)].expanded) {
        if (groups_[static_cast<std::size_t>(selection_.group)].rows.empty()) return false;
        return SelectIndex(at + 1);
      }
      if (!selection_.isGroup()) return false;
      [[fallthrough]];
    case GridKey::kExpand: {
      const auto& group = groups_[static_cast<std::size_t>(selection_.group)];
      if (group.expanded) return false;
      SetExpanded(selection_.group, true);
      EnsureVisible(selection_);
      return true;
    }
  }
  return false;
}

}  // namespace mirdane::ui
