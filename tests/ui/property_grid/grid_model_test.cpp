// The property grid's lines, selection, scrolling, keys and geometry.
#include "ui/property_grid/grid_geometry.h"
#include "ui/property_grid/grid_model.h"
#include "ui/property_grid/wheel_steps.h"

#include <gtest/gtest.h>

namespace mirdane::ui {
namespace {

// Two groups of 38 and 42 rows, as the Data Mapping page shows them.
GridModel MappingLikeGrid() {
  GridModel model;
  const int header = model.AddGroup(u"UAGYCPP - Transaction Header");
  for (int i = 0; i < 38; ++i) model.AddRow(header, GridRow{u"h", u"", u"", false, false, u""});
  const int lines = model.AddGroup(u"UAG0CPP - Charge line");
  for (int i = 0; i < 42; ++i) model.AddRow(lines, GridRow{u"l", u"", u"", false, false, u""});
  model.SetPageSize(10);
  return model;
}

GridLine Line(int group, int row) { return GridLine{group, row}; }

TEST(GridModel, LinesAreGroupTitlesFollowedByTheirRowsWhileOpen) {
  GridModel model = MappingLikeGrid();
  ASSERT_EQ(model.lineCount(), 82);
  EXPECT_EQ(model.lines()[0], Line(0, -1));
  EXPECT_EQ(model.lines()[1], Line(0, 0));
  EXPECT_EQ(model.lines()[39], Line(1, -1));
  EXPECT_EQ(model.IndexOf(Line(1, 41)), 81);

  model.SetExpanded(0, false);
  EXPECT_EQ(model.lineCount(), 44);
  EXPECT_EQ(model.IndexOf(Line(0, 5)), -1) << "rows of a closed group are not shown";
  EXPECT_EQ(model.IndexOf(Line(1, -1)), 1);
  EXPECT_EQ(model.RowAt(Line(0, 5))->name, u"h") << "but they still exist";
  EXPECT_EQ(model.RowAt(Line(0, -1)), nullptr);
  EXPECT_EQ(model.RowAt(Line(0, 38)), nullptr);
  EXPECT_EQ(model.RowAt(Line(2, 0)), nullptr);
  EXPECT_EQ(model.AddRow(5, GridRow{}), -1);
}

TEST(GridModel, ModifiedMeansTheValueLeftWhatItWasAddedWith) {
  GridModel model;
  const int group = model.AddGroup(u"g");
  const int row = model.AddRow(group, GridRow{u"n", u"Vendor", u"", false, false, u"stale"});
  GridRow& added = *model.RowAt(Line(group, row));
  EXPECT_EQ(added.originalValue, u"Vendor");
  EXPECT_FALSE(added.modified());
  added.value = u"Other";
  EXPECT_TRUE(added.modified());
  added.value = u"Vendor";
  EXPECT_FALSE(added.modified()) << "changed back is not modified";
}

TEST(GridModel, ClosingTheGroupOfTheSelectedRowSelectsTheGroup) {
  GridModel model = MappingLikeGrid();
  ASSERT_TRUE(model.Select(Line(1, 20)));
  model.SetExpanded(1, false);
  EXPECT_EQ(model.selection(), Line(1, -1));
  // Closing another group leaves the selection alone.
  model.Select(Line(0, 3));
  model.SetExpanded(1, false);
  EXPECT_EQ(model.selection(), Line(0, 3));
  // Selecting a row of a closed group opens it.
  ASSERT_TRUE(model.Select(Line(1, 2)));
  EXPECT_TRUE(model.groups()[1].expanded);
  EXPECT_FALSE(model.Select(Line(1, 42)));
  EXPECT_FALSE(model.Select(Line(3, -1)));
  EXPECT_FALSE(model.Select(GridLine{}));
}

TEST(GridModel, EnsureVisibleScrollsAsLittleAsNeeded) {
  GridModel model = MappingLikeGrid();
  model.EnsureVisible(Line(0, 20));  // index 21
  EXPECT_EQ(model.top(), 12) << "the line becomes the last one shown";
  EXPECT_TRUE(model.IsShownWhole(21));
  EXPECT_FALSE(model.IsShownWhole(22));
  model.EnsureVisible(Line(0, 15));  // index 16, already shown
  EXPECT_EQ(model.top(), 12);
  model.EnsureVisible(Line(0, 2));
  EXPECT_EQ(model.top(), 3) << "the line becomes the first one shown";

  // A row of a closed group: the group opens and the row comes into view.
  model.SetExpanded(1, false);
  model.EnsureVisible(Line(1, 41));
  EXPECT_TRUE(model.groups()[1].expanded);
  EXPECT_EQ(model.top(), 72);
  EXPECT_TRUE(model.IsShownWhole(81));
}

TEST(GridModel, ScrollingStaysWithinTheLines) {
  GridModel model = MappingLikeGrid();
  model.ScrollTo(500);
  EXPECT_EQ(model.top(), 72);
  model.ScrollTo(-3);
  EXPECT_EQ(model.top(), 0);
  // Closing a group while scrolled to the end pulls the top back.
  model.ScrollTo(72);
  model.SetExpanded(1, false);
  EXPECT_EQ(model.top(), 30);
  // A window taller than all lines shows them from the first.
  model.SetPageSize(200);
  EXPECT_EQ(model.top(), 0);
  model.SetPageSize(0);
  EXPECT_EQ(model.pageSize(), 1);
}

TEST(GridModel, ArrowsHomeEndAndPagesMoveTheSelectionAndKeepItShown) {
  GridModel model = MappingLikeGrid();
  // The first key without a selection lands on the first line (End on the last).
  EXPECT_TRUE(model.OnKey(GridKey::kDown));
  EXPECT_EQ(model.selection(), Line(0, -1));
  EXPECT_FALSE(model.OnKey(GridKey::kUp)) << "nothing above the first line";
  EXPECT_TRUE(model.OnKey(GridKey::kDown));
  EXPECT_EQ(model.selection(), Line(0, 0));
  EXPECT_TRUE(model.OnKey(GridKey::kPageDown));
  EXPECT_EQ(model.selection(), Line(0, 9)) << "a page is the lines shown less one";
  EXPECT_TRUE(model.OnKey(GridKey::kPageDown));
  EXPECT_EQ(model.selection(), Line(0, 18));
  EXPECT_TRUE(model.IsShownWhole(model.IndexOf(model.selection())));
  EXPECT_TRUE(model.OnKey(GridKey::kEnd));
  EXPECT_EQ(model.selection(), Line(1, 41));
  EXPECT_EQ(model.top(), 72);
  EXPECT_FALSE(model.OnKey(GridKey::kDown));
  EXPECT_FALSE(model.OnKey(GridKey::kPageDown));
  EXPECT_TRUE(model.OnKey(GridKey::kPageUp));
  EXPECT_EQ(model.selection(), Line(1, 32));
  EXPECT_TRUE(model.OnKey(GridKey::kHome));
  EXPECT_EQ(model.selection(), Line(0, -1));
  EXPECT_EQ(model.top(), 0);

  GridModel fresh = MappingLikeGrid();
  EXPECT_TRUE(fresh.OnKey(GridKey::kEnd));
  EXPECT_EQ(fresh.selection(), Line(1, 41));
}

TEST(GridModel, LeftAndRightCloseOpenAndClimbGroups) {
  GridModel model = MappingLikeGrid();
  model.Select(Line(1, 5));
  EXPECT_TRUE(model.OnKey(GridKey::kLeft));
  EXPECT_EQ(model.selection(), Line(1, -1)) << "from a row, Left goes to its group";
  EXPECT_TRUE(model.OnKey(GridKey::kLeft));
  EXPECT_FALSE(model.groups()[1].expanded);
  EXPECT_FALSE(model.OnKey(GridKey::kLeft)) << "a closed group stays closed";
  EXPECT_TRUE(model.OnKey(GridKey::kRight));
  EXPECT_TRUE(model.groups()[1].expanded);
  EXPECT_EQ(model.selection(), Line(1, -1));
  EXPECT_TRUE(model.OnKey(GridKey::kRight));
  EXPECT_EQ(model.selection(), Line(1, 0)) << "Right on an open group enters it";
  EXPECT_FALSE(model.OnKey(GridKey::kRight));

  // The keypad's minus and plus act on the selection's group from a row too.
  EXPECT_TRUE(model.OnKey(GridKey::kCollapse));
  EXPECT_EQ(model.selection(), Line(1, -1));
  EXPECT_FALSE(model.OnKey(GridKey::kCollapse));
  EXPECT_TRUE(model.OnKey(GridKey::kExpand));
  EXPECT_FALSE(model.OnKey(GridKey::kExpand));

  GridModel empty;
  empty.AddGroup(u"Other Details");
  empty.Select(Line(0, -1));
  EXPECT_FALSE(empty.OnKey(GridKey::kRight)) << "an open group without rows has nothing to enter";
  EXPECT_FALSE(GridModel().OnKey(GridKey::kDown));
}

GridGeometry Geometry() {
  GridGeometry geometry;
  geometry.width = 500;
  geometry.listTop = 20;
  geometry.listBottom = 20 + 10 * 17 + 5;  // ten whole lines and part of one
  geometry.rowHeight = 17;
  geometry.gutter = 17;
  geometry.divider = 250;
  geometry.buttonWidth = 17;
  return geometry;
}

TEST(GridGeometry, HitsFollowTheCellsThatAreDrawn) {
  GridModel model = MappingLikeGrid();
  const GridGeometry geometry = Geometry();
  EXPECT_EQ(geometry.PageLines(), 10);
  model.ScrollTo(1);  // the first line shown is row 0 of the header group

  const GridCells row = CellsAt(geometry, 0, false);
  EXPECT_EQ(row.line, (GridRect{0, 20, 500, 37}));
  EXPECT_EQ(row.name, (GridRect{17, 20, 250, 37}));
  EXPECT_EQ(row.value, (GridRect{251, 20, 483, 37}));
  EXPECT_EQ(row.button, (GridRect{483, 20, 500, 37}));

  GridHit hit = HitTest(model, geometry, 100, 25);
  EXPECT_EQ(hit.line, Line(0, 0));
  EXPECT_EQ(hit.part, GridPart::kName);
  EXPECT_EQ(HitTest(model, geometry, 300, 25).part, GridPart::kValue);
  EXPECT_EQ(HitTest(model, geometry, 490, 25).part, GridPart::kButton);
  EXPECT_EQ(HitTest(model, geometry, 100, 37).line, Line(0, 1));
  EXPECT_FALSE(HitTest(model, geometry, 100, 19).line.valid()) << "the header is no line";
  EXPECT_FALSE(HitTest(model, geometry, 100, geometry.listBottom).line.valid());
  EXPECT_FALSE(HitTest(model, geometry, 500, 25).line.valid());

  model.ScrollTo(39);  // the charge line group's title first
  hit = HitTest(model, geometry, 5, 25);
  EXPECT_EQ(hit.line, Line(1, -1));
  EXPECT_EQ(hit.part, GridPart::kExpander);
  EXPECT_EQ(HitTest(model, geometry, 300, 25).part, GridPart::kGroupTitle);
  const GridCells group = CellsAt(geometry, 0, true);
  EXPECT_GE(group.expander.left, 0);
  EXPECT_LE(group.expander.right, geometry.gutter);
  EXPECT_EQ(group.expander.width(), group.expander.height());

  // Below the last line nothing is hit.
  model.SetExpanded(1, false);
  model.ScrollTo(0);
  model.SetExpanded(0, false);
  EXPECT_FALSE(HitTest(model, geometry, 100, 20 + 17 * 2 + 1).line.valid());
}

TEST(GridGeometry, TheDividerLeavesRoomForBothColumns) {
  GridGeometry geometry = Geometry();
  EXPECT_EQ(geometry.ClampDivider(250), 250);
  EXPECT_EQ(geometry.ClampDivider(0), 17 + 34);
  EXPECT_EQ(geometry.ClampDivider(1000), 500 - 17 - 34);
  geometry.width = 60;  // too narrow for both: split in the middle
  EXPECT_EQ(geometry.ClampDivider(10), 30);
}

TEST(WheelSteps, SmallDeltasAddUpToTheLinesOfANotch) {
  WheelSteps wheel;
  int lines = 0;
  for (int i = 0; i < 8; ++i) lines += wheel.Lines(15, 3);  // a touchpad's eighths
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(wheel.Lines(120, 7), 7) << "the user's lines per notch";
  EXPECT_EQ(wheel.Lines(20, 3), 0);
  EXPECT_EQ(wheel.Lines(-40, 3), -1) << "turning back does not first pay off the rest";
  EXPECT_EQ(wheel.Lines(-80, 3), -2);
}

}  // namespace
}  // namespace mirdane::ui
