// What the property grid answers about itself, for the programs and tests
// that look at it from outside (as a list view answers LVM_GETITEM): the
// groups, each line's texts and state, where its cells are, and the layout.
// Pointers in lParam belong to the caller's process; the grid does not
// keep them.
#pragma once

#include <windows.h>

// The grid's window class.
#define PROPERTY_GRID_CLASS L"MirdanePropertyGrid"

// How many groups the grid holds.
#define PGM_GETGROUPCOUNT (WM_USER + 100)
// How many rows group wParam holds; -1 for no such group.
#define PGM_GETROWCOUNT (WM_USER + 101)
// Fills the PROPERTYGRIDITEM at lParam for group wParam and the item's
// `row` (-1 for the group's title line); TRUE when the line exists.
#define PGM_GETITEM (WM_USER + 102)
// Fills the PROPERTYGRIDLINE at lParam with the selected line; TRUE when a
// line is selected.
#define PGM_GETSELECTION (WM_USER + 103)
// Fills the PROPERTYGRIDLAYOUT at lParam.
#define PGM_GETLAYOUT (WM_USER + 104)
// The in-place editor while a value is being typed, else null.
#define PGM_GETEDITOR (WM_USER + 105)

// Flags of PROPERTYGRIDITEM.
#define PGIF_GROUP 0x0001          // the group's title line
#define PGIF_EXPANDED 0x0002       // the group is open (on its title line)
#define PGIF_SELECTED 0x0004
#define PGIF_SHOWN 0x0008          // the whole line is within the window
#define PGIF_REQUIRED 0x0010       // the name is drawn in the colour of a required column
#define PGIF_EDITABLE 0x0020       // the value takes typing
#define PGIF_MODIFIED 0x0040       // the value is marked as changed
#define PGIF_NAME_CLIPPED 0x0080   // the name is wider than its cell
#define PGIF_VALUE_CLIPPED 0x0100  // the value is wider than its cell
#define PGIF_EDITING 0x0200        // the value is being typed

typedef struct PROPERTYGRIDLINE {
  int group;
  int row;  // -1 for a group's title line
} PROPERTYGRIDLINE;

typedef struct PROPERTYGRIDITEM {
  int row;  // in: the row of the group given in wParam, or -1
  UINT flags;
  WCHAR name[160];         // a row's name, or the group's title
  WCHAR value[260];
  WCHAR description[600];
  COLORREF nameColour;     // the colour the name is drawn in when not selected
  RECT nameRect;           // client coordinates; empty while the line is not shown
  RECT valueRect;
  RECT buttonRect;
} PROPERTYGRIDITEM;

typedef struct PROPERTYGRIDLAYOUT {
  int rowHeight;
  int headerHeight;
  int divider;              // where the value column starts
  RECT descriptionRect;     // empty without a description area
  BOOL descriptionClipped;  // the longest description does not fit its area
  int topLine;              // the first line shown, counted over the open groups' lines
  int pageLines;            // how many whole lines are shown
} PROPERTYGRIDLAYOUT;
