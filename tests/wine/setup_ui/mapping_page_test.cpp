// The Data Mapping page: the grid, the mapping menus, typing text constants,
// the keyboard, and what OK stores.
#include "tests/wine/setup_ui/sheet_fixture.h"

namespace mirdane::wine_test {
namespace {

TEST_F(SetupSheet, MappingPageShowsTheCatalogueInTwoGroups) {
  Open();
  HWND grid = OpenMappingPage();
  ASSERT_TRUE(grid);
  EXPECT_EQ(::SendMessageW(grid, PGM_GETGROUPCOUNT, 0, 0), 2) << "no \"Other Details\" group";
  EXPECT_EQ(Wide(u"UAGYCPP - Transaction Header"), GridItem(grid, kHeaderGroup, -1).name);
  EXPECT_EQ(Wide(u"UAG0CPP - Charge line"), GridItem(grid, kLineGroup, -1).name);
  EXPECT_EQ(GridRowCount(grid, kHeaderGroup), 38);
  EXPECT_EQ(GridRowCount(grid, kLineGroup), 42);
  EXPECT_EQ(::IsDlgButtonChecked(Page(), 11058), BST_UNCHECKED);
  EXPECT_EQ(TextOf(Control(11058)), L"Display Field Names");

  const auto first = GridItem(grid, kHeaderGroup, 0);
  EXPECT_EQ(std::wstring(first.name), L"Extract transaction type");
  EXPECT_EQ(std::wstring(first.value), L"Transaction type");
  EXPECT_EQ(std::wstring(first.description), L"UAGYCPP.GYABNT - CHAR(10)\nRequired; Bridge transaction type");
  EXPECT_FALSE(first.flags & PGIF_EDITABLE) << "an index field changes only through the menu";
  EXPECT_FALSE(first.flags & PGIF_MODIFIED) << "nothing has changed yet";
  const auto constant = GridItem(grid, kHeaderGroup, 5);
  EXPECT_EQ(std::wstring(constant.value), L"T-01");
  EXPECT_TRUE(constant.flags & PGIF_EDITABLE) << "a stored text constant opens editable";

  // Exactly the eight required columns are marked, in the colour of a
  // required column, and the grid really paints their names in it.
  const std::vector<std::pair<int, int>> required = {{0, 0}, {0, 1}, {0, 2}, {0, 3},
                                                     {0, 4}, {0, 13}, {1, 0}, {1, 14}};
  int marked = 0;
  for (int group = 0; group < 2; ++group) {
    for (int row = 0; row < GridRowCount(grid, group); ++row) {
      const auto item = GridItem(grid, group, row);
      const bool isRequired = std::find(required.begin(), required.end(), std::pair{group, row}) != required.end();
      EXPECT_EQ((item.flags & PGIF_REQUIRED) != 0, isRequired) << NarrowW(item.name);
      EXPECT_EQ(item.nameColour, isRequired ? RGB(191, 0, 0) : ::GetSysColor(COLOR_WINDOWTEXT));
      EXPECT_FALSE(item.flags & PGIF_NAME_CLIPPED) << "row " << group << "." << row;
      if (item.flags & PGIF_REQUIRED) ++marked;
    }
  }
  EXPECT_EQ(marked, 8);
  const auto transactionType = GridItem(grid, kHeaderGroup, 3);
  ASSERT_TRUE(transactionType.flags & PGIF_SHOWN);
  EXPECT_TRUE(GridPaintsColour(grid, transactionType.nameRect, RGB(191, 0, 0)));
  const auto transactionNumber = GridItem(grid, kHeaderGroup, 5);
  EXPECT_FALSE(GridPaintsColour(grid, transactionNumber.nameRect, RGB(191, 0, 0)));
  {
    // In high contrast no fixed colour: the scheme's own for emphasis.
    HighContrastInModule highContrast(L"mirdane.dll");
    ASSERT_TRUE(highContrast.active());
    EXPECT_EQ(GridItem(grid, kHeaderGroup, 3).nameColour, ::GetSysColor(COLOR_HOTLIGHT));
    EXPECT_FALSE(GridPaintsColour(grid, transactionType.nameRect, RGB(191, 0, 0)));
    EXPECT_TRUE(GridPaintsColour(grid, transactionType.nameRect, ::GetSysColor(COLOR_HOTLIGHT)));
  }

  PROPERTYGRIDLAYOUT layout{};
  ::SendMessageW(grid, PGM_GETLAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  EXPECT_FALSE(layout.descriptionClipped) << "the longest description fits its area";
  EXPECT_GT(layout.headerHeight, 0);
  PressCancel();
  ExpectClosedWith(false);
}

TEST_F(SetupSheet, RowMenusCarryTheMappingsCheckMarks) {
  Open();
  HWND grid = OpenMappingPage();
  const DWORD thread = run_->threadId();
  // Row 0 is mapped to the index field "Transaction type".
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 0));
  auto top = OpenRowMenuEntries(thread, grid, {});
  ASSERT_EQ(top.size(), 4u);
  EXPECT_EQ(top[0].text, L"Text Constant");
  EXPECT_EQ(top[1].text, L"No Mapping");
  EXPECT_EQ(top[2].text, L"Document Index Fields");
  EXPECT_EQ(top[3].text, L"Kofax Capture Values");
  EXPECT_TRUE(top[2].submenu && top[3].submenu);
  EXPECT_FALSE(top[0].checked || top[1].checked);
  auto fields = OpenRowMenuEntries(thread, grid, {L"Document Index Fields"});
  ASSERT_EQ(fields.size(), 5u);
  EXPECT_TRUE(fields[0].checked) << "the index field the row is mapped to";
  for (std::size_t i = 1; i < fields.size(); ++i) EXPECT_FALSE(fields[i].checked);
  EXPECT_EQ(fields[3].text, L"P&&L code") << "an ampersand in a name is shown, not taken as a mnemonic";

  // Row 9 maps the capture value "Batch Name": no capture value is ever checked.
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 9));
  auto values = OpenRowMenuEntries(thread, grid, {L"Kofax Capture Values"});
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0].text, L"Batch Name");
  EXPECT_FALSE(values[0].checked);
  top = OpenRowMenuEntries(thread, grid, {});
  EXPECT_FALSE(top[0].checked || top[1].checked);

  // An unmapped row has "No Mapping" checked, the constant row "Text Constant".
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 1));
  top = OpenRowMenuEntries(thread, grid, {});
  EXPECT_TRUE(top[1].checked);
  EXPECT_FALSE(top[0].checked);
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 5));
  top = OpenRowMenuEntries(thread, grid, {});
  EXPECT_TRUE(top[0].checked);
  PressCancel();
  ExpectClosedWith(false);
}

TEST_F(SetupSheet, MappingEveryRequiredColumnThroughTheMenusSavesTheLinksOnOk) {
  Open();
  HWND grid = OpenMappingPage();
  Map(grid, kHeaderGroup, 1, {L"Document Index Fields", L"Division"});
  MapConstant(grid, kHeaderGroup, 2, L"01");
  Map(grid, kHeaderGroup, 3, {L"Document Index Fields", L"P&L code"});
  Map(grid, kHeaderGroup, 4, {L"Kofax Capture Values", L"First Page Original File Name"});
  MapConstant(grid, kHeaderGroup, 13, L"SCAN");
  Map(grid, kLineGroup, 0, {L"Document Index Fields", L"Ledger"});
  MapConstant(grid, kLineGroup, 14, L"N");
  // The stored capture value is unmapped, the stored constant typed over.
  Map(grid, kHeaderGroup, 9, {L"No Mapping"});
  ASSERT_TRUE(SelectGridRow(grid, kHeaderGroup, 5));
  PostChars(grid, L"X");  // typing on a text constant starts its edit
  ASSERT_TRUE(TypeIntoCell(grid, L"-9"));

  const auto division = GridItem(grid, kHeaderGroup, 1);
  EXPECT_EQ(Text(division.value), L"Division");
  EXPECT_TRUE(division.flags & PGIF_MODIFIED) << "a changed value is marked";
  EXPECT_FALSE(division.flags & PGIF_EDITABLE);
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 5).value), L"X-9");
  const auto unmapped = GridItem(grid, kHeaderGroup, 9);
  EXPECT_EQ(Text(unmapped.value), L"");
  EXPECT_TRUE(unmapped.flags & PGIF_MODIFIED);

  // Everything required is mapped: OK on this page asks nothing.
  PressOk();
  ExpectClosedWith(true);
  EXPECT_FALSE(FindThreadWindow(run_->threadId(), kRequiredFieldTitle));
  EXPECT_EQ(LinksOf(SetupOf(batch_)),
            (std::vector<std::string>{
                "UAGYCPP.GYABNT=0:Transaction type", "UAGYCPP.GYASCD=0:Division",
                "UAGYCPP.GYF7CD=1:01", "UAGYCPP.GYH6CD=0:P&L code",
                "UAGYCPP.GYMBCD=2:First Page Original File Name", "UAGYCPP.GYALNB=1:X-9",
                "UAGYCPP.GYARCD=1:SCAN", "UAG0CPP.G0ABNT=0:Ledger", "UAG0CPP.G0SSFW=1:N",
                "OriginalFolder=3:OriginalFolder",
                "OriginalFileName=2:First Page Original File Name",
                "OriginalFileNameExt=3:OriginalFileNameExt"}));
}

TEST_F(SetupSheet, TextConstantsAreTypedInPlaceAndNothingTypedIsLost) {
  Open();
  HWND grid = OpenMappingPage();
  // "Text Constant" on the row that holds one clears it and opens the cell.
  Map(grid, kHeaderGroup, 5, {L"Text Constant"});
  ASSERT_TRUE(WaitUntil([&] { return GridItem(grid, kHeaderGroup, 5).flags & PGIF_EDITING; }));
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 5).value), L"");
  HWND editor = reinterpret_cast<HWND>(::SendMessageW(grid, PGM_GETEDITOR, 0, 0));
  ASSERT_TRUE(editor);
  EXPECT_EQ(TextOf(editor), L"");
  // Escape throws the typing away; the cleared constant stays cleared.
  PostChars(editor, L"abc");
  PostKey(editor, VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !(GridItem(grid, kHeaderGroup, 5).flags & PGIF_EDITING); }));
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 5).value), L"");
  EXPECT_TRUE(GridItem(grid, kHeaderGroup, 5).flags & PGIF_EDITABLE);
  // Tab keeps the typing and leaves the grid for the next control.
  PostChars(grid, L"T");
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(grid, PGM_GETEDITOR, 0, 0) != 0; }));
  editor = reinterpret_cast<HWND>(::SendMessageW(grid, PGM_GETEDITOR, 0, 0));
  PostChars(editor, L"AB");
  PostKey(editor, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(run_->threadId()) == Control(11058); }));
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 5).value), L"TAB");
  EXPECT_FALSE(GridItem(grid, kHeaderGroup, 5).flags & PGIF_EDITING);
  const RECT title = GridItem(grid, kHeaderGroup, -1).nameRect;
  PostClick(grid, POINT{(title.left + title.right) / 2, (title.top + title.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(run_->threadId()) == grid; }));

  // "No Mapping" empties the cell and it no longer takes typing.
  Map(grid, kHeaderGroup, 5, {L"No Mapping"});
  ASSERT_TRUE(WaitUntil([&] { return !(GridItem(grid, kHeaderGroup, 5).flags & PGIF_EDITABLE); }));
  PostChars(grid, L"z");
  ::Sleep(200);
  EXPECT_FALSE(::SendMessageW(grid, PGM_GETEDITOR, 0, 0)) << "a row without a constant is not typed into";

  // A constant typed and left open when OK is pressed is kept.
  Map(grid, kHeaderGroup, 6, {L"Text Constant"});
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(grid, PGM_GETEDITOR, 0, 0) != 0; }));
  editor = reinterpret_cast<HWND>(::SendMessageW(grid, PGM_GETEDITOR, 0, 0));
  PostChars(editor, L"ENTITY");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(editor) == L"ENTITY"; }));
  PressOk();
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  ClickCommandLink(dialog, 542);
  ExpectClosedWith(true);
  const auto links = LinksOf(SetupOf(batch_));
  EXPECT_NE(std::find(links.begin(), links.end(), "UAGYCPP.GYHBCD=1:ENTITY"), links.end());
  for (const auto& link : links) EXPECT_EQ(link.rfind("UAGYCPP.GYALNB", 0), std::string::npos) << link;
}

TEST_F(SetupSheet, TheKeyboardMovesThroughTheGridAndItsGroups) {
  Open();
  HWND grid = OpenMappingPage();
  PROPERTYGRIDLINE line{};
  auto selected = [&](int group, int row) {
    return WaitUntil([&] { return GridSelection(grid, &line) && line.group == group && line.row == row; }, 3000);
  };
  // A touchpad's small steps add up to the lines the user has a notch scroll.
  UINT linesPerNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, 2, nullptr, 0));
  for (int i = 0; i < 8; ++i) ::PostMessageW(grid, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-15)), 0);
  const bool wheeled = WaitUntil([&] {
    const auto shown = AccessibleLines(grid);
    return !shown.empty() && shown.front().name == Text(GridItem(grid, kHeaderGroup, 1).name);
  }, 3000);
  ::SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, linesPerNotch, nullptr, 0);
  ASSERT_TRUE(wheeled) << "eight deltas of 15 are one notch: two lines";
  PostKey(grid, VK_END);
  ASSERT_TRUE(selected(kLineGroup, 41));
  EXPECT_TRUE(GridItem(grid, kLineGroup, 41).flags & PGIF_SHOWN) << "the last row is scrolled into view";
  EXPECT_FALSE(GridItem(grid, kHeaderGroup, 0).flags & PGIF_SHOWN);
  PostKey(grid, VK_HOME);
  ASSERT_TRUE(selected(kHeaderGroup, -1));
  EXPECT_TRUE(GridItem(grid, kHeaderGroup, -1).flags & PGIF_SHOWN);
  PROPERTYGRIDLAYOUT layout{};
  ::SendMessageW(grid, PGM_GETLAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
  ASSERT_GT(layout.pageLines, 2);
  PostKey(grid, VK_NEXT);
  ASSERT_TRUE(selected(kHeaderGroup, layout.pageLines - 2)) << "Page Down moves a page less one line";
  // Left on a row goes to its group, Left again closes it, Enter opens it.
  PostKey(grid, VK_LEFT);
  ASSERT_TRUE(selected(kHeaderGroup, -1));
  PostKey(grid, VK_LEFT);
  ASSERT_TRUE(WaitUntil([&] { return !(GridItem(grid, kHeaderGroup, -1).flags & PGIF_EXPANDED); }));
  EXPECT_FALSE(GridItem(grid, kHeaderGroup, 0).flags & PGIF_SHOWN);
  PostKey(grid, VK_DOWN);
  ASSERT_TRUE(selected(kLineGroup, -1)) << "a closed group's rows are skipped";
  PostKey(grid, VK_UP);
  PostKey(grid, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return GridItem(grid, kHeaderGroup, -1).flags & PGIF_EXPANDED; }));
  // Tab leaves the grid for the check box, and Space there ticks it.
  ::PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, layout.headerHeight + 2));
  ::PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(60, layout.headerHeight + 2));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(run_->threadId()) == grid; }));
  PostKey(grid, VK_TAB);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(run_->threadId()) == Control(11058); }));
  PressCancel();
  ExpectClosedWith(false);
}

TEST_F(SetupSheet, DisplayFieldNamesNamesRowsByIdentifierAndIsNotStored) {
  Open();
  HWND grid = OpenMappingPage();
  ASSERT_TRUE(ClickCheckBox(Control(11058)));
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kLineGroup, 0).name) == L"UAG0CPP.G0ABNT"; }));
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 3).name), L"UAGYCPP.GYH6CD");
  EXPECT_EQ(Text(GridItem(grid, kHeaderGroup, 0).value), L"Transaction type") << "the mappings stay";
  // The dialog names the unmapped column as the grid shows it.
  PressOk();
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  EXPECT_NE(CommandLinkText(dialog, 541).find(L"'UAGYCPP.GYASCD'"), std::wstring::npos)
      << NarrowW(CommandLinkText(dialog, 541).c_str());
  ClickCommandLink(dialog, 541);
  ASSERT_TRUE(WaitUntil([&] { return !FindThreadWindow(run_->threadId(), kRequiredFieldTitle); }));
  ASSERT_TRUE(ClickCheckBox(Control(11058)));
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kLineGroup, 0).name) == L"Extract transaction type"; }));
  ASSERT_TRUE(ClickCheckBox(Control(11058)));
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kLineGroup, 0).name) == L"UAG0CPP.G0ABNT"; }));
  ChoosePage(sheet_, 0);
  ASSERT_TRUE(WaitForRequiredFieldDialog());
  ClickCommandLink(WaitForRequiredFieldDialog(), 542);
  ASSERT_TRUE(WaitUntil([&] { return CurrentPageIndex(sheet_) == 0; }));
  PressOk();
  ExpectClosedWith(true);

  // A second run starts with captions again.
  Open();
  grid = OpenMappingPage();
  EXPECT_EQ(::IsDlgButtonChecked(Page(), 11058), BST_UNCHECKED);
  EXPECT_EQ(Text(GridItem(grid, kLineGroup, 0).name), L"Extract transaction type");
  PressCancel();
  ExpectClosedWith(false);
}

TEST_F(SetupSheet, OpeningTwiceShowsTheSameMappings) {
  Open();
  HWND grid = OpenMappingPage();
  Map(grid, kHeaderGroup, 2, {L"Document Index Fields", L"Vendor"});
  MapConstant(grid, kLineGroup, 3, L"EUR");
  std::vector<std::wstring> before;
  for (int group = 0; group < 2; ++group) {
    for (int row = 0; row < GridRowCount(grid, group); ++row) before.push_back(Text(GridItem(grid, group, row).value));
  }
  PressOk();
  ClickCommandLink(WaitForRequiredFieldDialog(), 542);
  ExpectClosedWith(true);

  for (int time = 0; time < 2; ++time) {
    Open();
    grid = OpenMappingPage();
    std::vector<std::wstring> after;
    for (int group = 0; group < 2; ++group) {
      for (int row = 0; row < GridRowCount(grid, group); ++row) {
        const auto item = GridItem(grid, group, row);
        after.push_back(Text(item.value));
        EXPECT_FALSE(item.flags & PGIF_MODIFIED) << "nothing is changed in a new run";
      }
    }
    EXPECT_EQ(after, before);
    EXPECT_TRUE(GridItem(grid, kLineGroup, 3).flags & PGIF_EDITABLE);
    PressCancel();
    ExpectClosedWith(false);
  }
}

}  // namespace
}  // namespace mirdane::wine_test
