// The required-field check: run when the Data Mapping page is left (another
// page chosen, or OK pressed on it), never from the General page or on
// Cancel; answered through the task dialog's two command links.
#include <cstdlib>

#include "tests/wine/setup_ui/sheet_fixture.h"

namespace mirdane::wine_test {
namespace {

// Whether the question's window is centred on the sheet's (a pixel either way).
bool CentredOn(HWND dialog, HWND sheet) {
  RECT question{};
  RECT around{};
  if (!::GetWindowRect(dialog, &question) || !::GetWindowRect(sheet, &around)) return false;
  return std::abs((question.left + question.right) - (around.left + around.right)) <= 2 &&
         std::abs((question.top + question.bottom) - (around.top + around.bottom)) <= 2;
}

// A column of pixels at the left edge of a row's name cell.
RECT NameEdge(HWND grid, int group, int row) {
  const RECT name = GridItem(grid, group, row).nameRect;
  return RECT{name.left, name.top + 1, name.left + 1, name.bottom - 2};
}

TEST_F(SetupSheet, OkOnTheMappingPageAsksAndMapRequiredFieldsKeepsTheSheetOnTheRow) {
  Open();
  HWND grid = OpenMappingPage();
  // Scrolled away from the first unmapped row, which must come back into view.
  PostKey(grid, VK_END);
  ASSERT_TRUE(WaitUntil([&] { return !(GridItem(grid, kHeaderGroup, 1).flags & PGIF_SHOWN); }));
  PressOk();
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog) << "no required-field dialog";
  EXPECT_FALSE(::IsWindowEnabled(sheet_)) << "the dialog is modal to the sheet";
  EXPECT_EQ(::GetWindow(dialog, GW_OWNER), sheet_);
  EXPECT_FALSE(::IsWindowEnabled(run_->host())) << "and the host stays disabled";
  EXPECT_TRUE(WaitUntil([&] { return CentredOn(dialog, sheet_); }, 2000));
  const std::wstring mapText = CommandLinkText(dialog, 541);
  EXPECT_EQ(mapText.substr(0, 19), L"Map Required Fields");
  EXPECT_NE(mapText.find(L"beginning with 'Administrative division'."), std::wstring::npos)
      << NarrowW(mapText.c_str());
  const std::wstring ignoreText = CommandLinkText(dialog, 542);
  EXPECT_NE(ignoreText.find(L"Ignore Requirement"), std::wstring::npos);
  EXPECT_NE(ignoreText.find(L"close this dialog immediately."), std::wstring::npos);

  ClickCommandLink(dialog, 541);
  ASSERT_TRUE(WaitUntil([&] { return !FindThreadWindow(run_->threadId(), kRequiredFieldTitle); }));
  EXPECT_FALSE(run_->WaitForEnd(300)) << "the sheet stays open";
  EXPECT_EQ(CurrentPageIndex(sheet_), 1);
  PROPERTYGRIDLINE line{};
  ASSERT_TRUE(WaitUntil([&] { return GridSelection(grid, &line) && line.group == kHeaderGroup && line.row == 1; }));
  EXPECT_TRUE(GridItem(grid, kHeaderGroup, 1).flags & PGIF_SHOWN) << "the row is scrolled into view";
  EXPECT_EQ(FocusOf(run_->threadId()), grid);

  // Mapping it moves the question on to the next unmapped column.
  Map(grid, kHeaderGroup, 1, {L"Document Index Fields", L"Division"});
  PressOk();
  dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  EXPECT_NE(CommandLinkText(dialog, 541).find(L"'Financial division'"), std::wstring::npos);
  EXPECT_TRUE(WaitUntil([&] { return CentredOn(dialog, sheet_); }, 2000))
      << "asked again, the question is still centred on the sheet";
  EXPECT_FALSE(::IsWindowEnabled(run_->host()));
  // The selected row stays marked while the question has the focus.
  ASSERT_TRUE(WaitUntil([&] { return ::IsChild(dialog, FocusOf(run_->threadId())) != FALSE; }));
  const COLORREF mark = ::GetSysColor(COLOR_BTNSHADOW);
  EXPECT_TRUE(GridPaintsColour(grid, NameEdge(grid, kHeaderGroup, 1), mark));
  EXPECT_FALSE(GridPaintsColour(grid, NameEdge(grid, kHeaderGroup, 3), mark));
  ClickCommandLink(dialog, 541);
  ASSERT_TRUE(WaitUntil([&] { return GridSelection(grid, &line) && line.row == 2; }));
  PressCancel();
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

TEST_F(SetupSheet, IgnoreRequirementClosesTheSheetAndSavesWithoutTheColumns) {
  Open();
  TypeInto(Control(11028), L"NEWLIB");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11028)) == L"NEWLIB"; }));
  HWND grid = OpenMappingPage();
  Map(grid, kLineGroup, 14, {L"Text Constant"});
  ASSERT_TRUE(TypeIntoCell(grid, L"Y"));
  PressOk();
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  ClickCommandLink(dialog, 542);
  ExpectClosedWith(true);
  const auto setup = SetupOf(batch_);
  EXPECT_EQ(CustomProperty(setup, u"serverAPILibrary"), u"NEWLIB") << "the General page was written too";
  EXPECT_EQ(LinksOf(setup), (std::vector<std::string>{
                                "UAGYCPP.GYABNT=0:Transaction type", "UAGYCPP.GYALNB=1:T-01",
                                "UAGYCPP.GYDHNA=2:Batch Name", "UAG0CPP.G0SSFW=1:Y",
                                "OriginalFolder=3:OriginalFolder",
                                "OriginalFileName=2:First Page Original File Name",
                                "OriginalFileNameExt=3:OriginalFileNameExt"}));
}

TEST_F(SetupSheet, ChoosingAnotherPageRunsTheCheckAndARefusalKeepsTheListOnTheMappingPage) {
  Open();
  OpenMappingPage();
  ChoosePage(sheet_, 0);
  HWND dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  ClickCommandLink(dialog, 541);
  ASSERT_TRUE(WaitUntil([&] { return !FindThreadWindow(run_->threadId(), kRequiredFieldTitle); }));
  EXPECT_EQ(CurrentPageIndex(sheet_), 1);
  EXPECT_EQ(::SendMessageW(PageList(sheet_), LB_GETCURSEL, 0, 0), 1) << "the list stays on the page shown";
  // The answer is not remembered: leaving again asks again.
  ChoosePage(sheet_, 0);
  dialog = WaitForRequiredFieldDialog();
  ASSERT_TRUE(dialog);
  ClickCommandLink(dialog, 542);
  ASSERT_TRUE(WaitUntil([&] { return CurrentPageIndex(sheet_) == 0; }));
  // From the General page OK does not ask, nor does Cancel anywhere.
  ChoosePage(sheet_, 1);
  ASSERT_TRUE(WaitUntil([&] { return CurrentPageIndex(sheet_) == 1; }));
  PressCancel();
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

}  // namespace
}  // namespace mirdane::wine_test
