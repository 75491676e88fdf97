// How the sheet looks: every control where its dialog units put it, at any
// DPI; no text cut or wrapped out of sight; and screenshots of the pages
// and of the required-field dialog over the sheet, for people to look at.
#include "tests/wine/setup_ui/sheet_fixture.h"

#include <commctrl.h>
#include <oleacc.h>

namespace mirdane::wine_test {
namespace {

// Where the dialog manager puts a control: its position and its size are
// each converted from dialog units on their own.
RECT DialogUnits(HWND page, int x, int y, int width, int height) {
  RECT position{x, y, x, y};
  RECT size{0, 0, width, height};
  ::MapDialogRect(page, &position);
  ::MapDialogRect(page, &size);
  return RECT{position.left, position.top, position.left + size.right, position.top + size.bottom};
}

RECT PlaceIn(HWND control, HWND page) {
  RECT area{};
  ::GetWindowRect(control, &area);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

std::string Describe(const RECT& area) {
  return "(" + std::to_string(area.left) + ", " + std::to_string(area.top) + ", " +
         std::to_string(area.right) + ", " + std::to_string(area.bottom) + ")";
}

// Whether `text` fits `control` in its own font: on one line when the
// control is one line high, and within its width.
bool TextFits(HWND control, const std::wstring& text, int extraWidth = 0) {
  RECT client{};
  ::GetClientRect(control, &client);
  HDC dc = ::GetDC(control);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT needed{};
  ::DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return needed.right + extraWidth <= client.right && needed.bottom <= client.bottom;
}

BOOL CALLBACK CollectChildren(HWND child, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  ::EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::filesystem::path Shot(const std::string& name) {
  return ScreenshotFolder() / ("setup-" + name + "-" + DpiSuffix() + ".bmp");
}

TEST_F(SetupSheet, LayoutFollowsTheDialogUnitsAndNoTextIsCut) {
  Open();
  HWND page = Page();
  RECT client{};
  ::GetClientRect(page, &client);
  EXPECT_EQ(Describe(client), Describe(DialogUnits(page, 0, 0, 350, 242))) << "the page's size";
  struct Placed {
    int id;
    int x, y, width, height;
  };
  for (const Placed& control : {Placed{11003, 131, 7, 150, 8}, Placed{11005, 131, 23, 50, 8},
                                Placed{11002, 131, 39, 152, 13}, Placed{11017, 131, 71, 152, 13},
                                Placed{11024, 131, 87, 55, 13}, Placed{11025, 131, 103, 55, 13},
                                Placed{11028, 131, 119, 55, 13}, Placed{11062, 218, 118, 70, 14},
                                Placed{11061, 131, 144, 150, 10}, Placed{11059, 90, 173, 27, 8},
                                Placed{11060, 131, 173, 89, 8}}) {
    HWND window = ::GetDlgItem(page, control.id);
    ASSERT_TRUE(window) << control.id;
    const RECT expected = DialogUnits(page, control.x, control.y, control.width, control.height);
    const RECT actual = PlaceIn(window, page);
    if (control.id == 11059) {
      // A label may grow to fit its text; where its text ends stays.
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_GE(actual.right, expected.right);
    } else if (control.id == 11061) {
      // The check box may grow to the right to show its text.
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_EQ(actual.bottom, expected.bottom);
      EXPECT_GE(actual.right, expected.right);
    } else {
      EXPECT_EQ(Describe(actual), Describe(expected)) << "control " << control.id;
    }
  }
  // Every label shows its whole text on its line, and labels end before their edits.
  const RECT editColumn = DialogUnits(page, 131, 0, 1, 1);
  int labels = 0;
  for (HWND child : ChildrenOf(page)) {
    if (!::IsWindowVisible(child)) continue;
    const std::wstring windowClass = ClassName(child);
    const auto style = ::GetWindowLongPtrW(child, GWL_STYLE);
    if (windowClass == L"Static" && (style & SS_TYPEMASK) == SS_RIGHT) {
      ++labels;
      EXPECT_TRUE(TextFits(child, TextOf(child))) << NarrowW(TextOf(child).c_str());
      EXPECT_LT(PlaceIn(child, page).right, editColumn.left) << NarrowW(TextOf(child).c_str());
    }
    if (windowClass == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) {
      EXPECT_EQ(TextOf(child), L"InforXA Server Details");
      EXPECT_EQ(Describe(PlaceIn(child, page)), Describe(DialogUnits(page, 33, 58, 260, 80)));
      EXPECT_TRUE(TextFits(child, TextOf(child)));
    }
  }
  EXPECT_EQ(labels, 8) << "Batch Class, Document Class, Instance Name, Server Name, Username, "
                          "Password, API Library, Version";
  // The ledger's box shows its whole text on the page; Test Connection its
  // text inside the server details, below the version's line.
  HWND ledger = ::GetDlgItem(page, 11061);
  SIZE ledgerIdeal{};
  ASSERT_TRUE(::SendMessageW(ledger, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ledgerIdeal)));
  RECT ledgerClient{};
  ::GetClientRect(ledger, &ledgerClient);
  EXPECT_LE(ledgerIdeal.cx, ledgerClient.right) << "the ledger's box shows its whole text";
  EXPECT_LE(PlaceIn(ledger, page).right, client.right);
  HWND test = ::GetDlgItem(page, 11062);
  EXPECT_TRUE(TextFits(test, L"Test Connection", 8));
  const RECT details = DialogUnits(page, 33, 58, 260, 80);
  const RECT testArea = PlaceIn(test, page);
  EXPECT_TRUE(testArea.right < details.right && testArea.bottom < details.bottom)
      << "inside the server details";
  EXPECT_LT(PlaceIn(ledger, page).bottom, DialogUnits(page, 0, 173, 1, 1).top)
      << "above the version";

  // The sheet: the page names in a list 100 pixels wide at 96 DPI, OK and
  // Cancel, and no other button.
  HWND list = PageList(sheet_);
  RECT listArea{};
  ::GetWindowRect(list, &listArea);
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(listArea.right - listArea.left, ::MulDiv(100, dpi, 96));
  EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  int buttons = 0;
  for (HWND child = ::GetWindow(sheet_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassName(child) != L"Button") continue;
    ++buttons;
    EXPECT_TRUE(TextFits(child, TextOf(child), 8)) << NarrowW(TextOf(child).c_str());
  }
  EXPECT_EQ(buttons, 2);
  EXPECT_EQ(TextOf(SheetButton(sheet_, IDOK)), L"OK");
  EXPECT_EQ(TextOf(SheetButton(sheet_, IDCANCEL)), L"Cancel");

  // The Data Mapping page: the grid over the frame, the check box below.
  HWND grid = OpenMappingPage();
  page = Page();
  const RECT frame = DialogUnits(page, 2, 2, 346, 225);
  EXPECT_EQ(Describe(PlaceIn(::GetDlgItem(page, 11055), page)), Describe(frame));
  EXPECT_EQ(Describe(PlaceIn(grid, page)),
            Describe(RECT{frame.left, frame.top, frame.right - 1, frame.bottom - 1}));
  HWND check = ::GetDlgItem(page, 11058);
  const RECT checkArea = PlaceIn(check, page);
  const RECT checkUnits = DialogUnits(page, 2, 231, 79, 10);
  EXPECT_EQ(checkArea.left, checkUnits.left);
  EXPECT_EQ(checkArea.top, checkUnits.top);
  EXPECT_EQ(checkArea.bottom, checkUnits.bottom);
  EXPECT_GE(checkArea.right, checkUnits.right) << "it may grow to show its text";
  SIZE ideal{};
  ASSERT_TRUE(::SendMessageW(check, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
  RECT checkClient{};
  ::GetClientRect(check, &checkClient);
  EXPECT_LE(ideal.cx, checkClient.right) << "the check box shows its whole text";
  HWND header = ::FindWindowExW(grid, nullptr, L"SysHeader32", nullptr);
  ASSERT_TRUE(header);
  wchar_t title[32] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = title;
  item.cchTextMax = 32;
  ::SendMessageW(header, HDM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(title), L"Property");
  ::SendMessageW(header, HDM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(std::wstring(title), L"Value");

  // Group headings are bold at every DPI: heavier than their text in the grid's font.
  const auto heading = GridItem(grid, kHeaderGroup, -1);
  ASSERT_TRUE(heading.flags & PGIF_SHOWN);
  EXPECT_GT(GridPixelsOfColour(grid, heading.nameRect, ::GetSysColor(COLOR_BTNTEXT)) * 10,
            InkOfText(reinterpret_cast<HFONT>(::SendMessageW(grid, WM_GETFONT, 0, 0)), heading.name) * 11)
      << "the heading is drawn bold";

  // Names fit their column both as captions and as identifiers, and the
  // description area holds the longest description.
  for (int pass = 0; pass < 2; ++pass) {
    for (int group = 0; group < 2; ++group) {
      EXPECT_FALSE(GridItem(grid, group, -1).flags & PGIF_NAME_CLIPPED);
      for (int row = 0; row < GridRowCount(grid, group); ++row) {
        const auto shown = GridItem(grid, group, row);
        EXPECT_FALSE(shown.flags & (PGIF_NAME_CLIPPED | PGIF_VALUE_CLIPPED)) << NarrowW(shown.name);
      }
    }
    PROPERTYGRIDLAYOUT layout{};
    ::SendMessageW(grid, PGM_GETLAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    EXPECT_FALSE(layout.descriptionClipped);
    EXPECT_GE(layout.pageLines, 10) << "the rows keep most of the grid";
    ASSERT_TRUE(ClickCheckBox(check));
    ASSERT_TRUE(WaitUntil([&] { return (pass == 0) == (Text(GridItem(grid, kHeaderGroup, 0).name) == L"UAGYCPP.GYABNT"); }));
  }
  PressCancel();
  ExpectClosedWith(false);
}

// What a screen reader is told of every line, read through the grid's
// accessible object page by page, is what the grid shows.
TEST_F(SetupSheet, EveryLineOfTheGridIsReadThroughItsAccessibleObject) {
  Open();
  HWND grid = OpenMappingPage();
  int focus = 0;
  ASSERT_FALSE(AccessibleLines(grid, &focus).empty()) << "the grid has no accessible object with lines";
  EXPECT_EQ(focus, -1) << "no line has the focus while the grid has not";
  const RECT title = GridItem(grid, kHeaderGroup, -1).nameRect;
  PostClick(grid, POINT{(title.left + title.right) / 2, (title.top + title.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(run_->threadId()) == grid; }));
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 3));
  auto shown = AccessibleLines(grid, &focus);
  ASSERT_EQ(focus, 4) << "the focused child is the selected row";
  EXPECT_EQ(shown[4].state & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);

  // The lines in order: each group's title, then its rows.
  std::vector<std::pair<int, int>> order;
  for (int group = 0; group < 2; ++group) {
    order.emplace_back(group, -1);
    for (int row = 0; row < GridRowCount(grid, group); ++row) order.emplace_back(group, row);
  }
  const int total = static_cast<int>(order.size());
  std::vector<bool> read(order.size());
  ::SendMessageW(grid, WM_VSCROLL, SB_TOP, 0);
  for (int top = 0;;) {
    shown = AccessibleLines(grid);
    const auto whole = static_cast<int>(std::count_if(shown.begin(), shown.end(), [](const AccessibleLine& line) {
      return !(line.state & STATE_SYSTEM_OFFSCREEN);
    }));
    ASSERT_GT(whole, 0);
    ASSERT_LE(top + static_cast<int>(shown.size()), total);
    for (std::size_t position = 0; position < shown.size(); ++position) {
      const auto [group, row] = order[static_cast<std::size_t>(top) + position];
      const auto item = GridItem(grid, group, row);
      const AccessibleLine& line = shown[position];
      EXPECT_EQ(line.name, Text(item.name));
      if (row < 0) {
        EXPECT_EQ(line.role, ROLE_SYSTEM_ROWHEADER);
        EXPECT_TRUE(line.state & STATE_SYSTEM_EXPANDED) << NarrowW(item.name);
      } else {
        EXPECT_EQ(line.role, ROLE_SYSTEM_ROW);
        EXPECT_EQ(line.value, Text(item.value)) << NarrowW(item.name);
        EXPECT_EQ(line.help, Text(GridItem(grid, group, -1).name)) << "the row's group";
        const std::wstring required = (item.flags & PGIF_REQUIRED) ? L"Required; " : L"";
        EXPECT_EQ(line.description, required + Text(item.description));
        EXPECT_EQ(!(line.state & STATE_SYSTEM_READONLY), (item.flags & PGIF_EDITABLE) != 0);
      }
      if (item.flags & PGIF_SHOWN) {
        POINT corner{item.nameRect.left, item.nameRect.top};
        ::ClientToScreen(grid, &corner);
        EXPECT_EQ(line.location.top, corner.y) << NarrowW(item.name);
        EXPECT_LE(line.location.left, corner.x);
        EXPECT_FALSE(line.state & STATE_SYSTEM_OFFSCREEN);
      }
      read[static_cast<std::size_t>(top) + position] = true;
    }
    if (top + static_cast<int>(shown.size()) >= total) break;
    ::SendMessageW(grid, WM_VSCROLL, SB_PAGEDOWN, 0);
    top = std::min(top + whole, total - whole);
  }
  EXPECT_EQ(std::count(read.begin(), read.end(), true), total) << "every line was read";
  PressCancel();
  ExpectClosedWith(false);
}

TEST_F(SetupSheet, Screenshots) {
  Open();
  // Typing shows in the screenshot where the caret is; the sheet is left as opened.
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_}, Shot("general")));
  HWND grid = OpenMappingPage();
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 3));  // a required row, unmapped
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_}, Shot("mapping-captions")));
  ASSERT_TRUE(ClickCheckBox(Control(11058)));
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kHeaderGroup, 0).name) == L"UAGYCPP.GYABNT"; }));
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_}, Shot("mapping-field-names")));
  ASSERT_TRUE(ClickCheckBox(Control(11058)));
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kHeaderGroup, 0).name) == L"Extract transaction type"; }));
  // The menu of a row, open on its index fields.
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 0));
  const auto entries = OpenRowMenuEntries(run_->threadId(), grid, {L"Document Index Fields"}, [&] {
    ::Sleep(300);
    std::vector<HWND> shown{sheet_};
    for (HWND menu : MenuWindowsOf(run_->threadId())) shown.push_back(menu);
    EXPECT_TRUE(SaveScreenshot(shown, Shot("mapping-menu")));
  });
  EXPECT_FALSE(entries.empty());
  PressOk();
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  ::Sleep(500);
  EXPECT_TRUE(SaveScreenshot({sheet_, dialog}, Shot("required-field-dialog")));
  ClickCommandLink(dialog, 541);
  ASSERT_TRUE(WaitUntil([&] { return !FindThreadWindow(run_->threadId(), kRequiredFieldTitle); }));
  ::Sleep(300);
  EXPECT_TRUE(SaveScreenshot({sheet_}, Shot("mapping-after-map-required-fields")));
  PressCancel();
  ExpectClosedWith(false);
}

}  // namespace
}  // namespace mirdane::wine_test
