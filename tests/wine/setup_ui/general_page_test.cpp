// The General page and the sheet's OK and Cancel.
#include "tests/wine/setup_ui/sheet_fixture.h"

namespace mirdane::wine_test {
namespace {

TEST_F(SetupSheet, GeneralPageShowsTheSetupAndOkStoresWhatWasTyped) {
  Open();
  ASSERT_EQ(CurrentPageIndex(sheet_), 0) << "the sheet opens on the General page";
  EXPECT_EQ(TextOf(Control(11003)), L"AP Invoices");
  EXPECT_EQ(TextOf(Control(11005)), L"Invoice");
  EXPECT_EQ(TextOf(Control(11002)), L"XA bridge");
  EXPECT_EQ(TextOf(Control(11017)), L"odbc:DSN=xa");
  EXPECT_EQ(TextOf(Control(11024)), L"XAUSER");
  EXPECT_EQ(TextOf(Control(11025)), L"secret");
  EXPECT_EQ(TextOf(Control(11028)), L"XALIB");
  EXPECT_TRUE(::GetWindowLongPtrW(Control(11025), GWL_STYLE) & ES_PASSWORD) << "the password is masked";
  EXPECT_TRUE(IsShown(Control(11059)));
  EXPECT_EQ(TextOf(Control(11060)), L"1.0.0") << "the product version's first three numbers";

  // Typed over, the last one emptied: empty texts are stored too.
  TypeInto(Control(11002), L"XA bridge 2");
  TypeInto(Control(11017), L"sqlite:C:/xa");
  TypeInto(Control(11024), L"QSECOFR");
  TypeInto(Control(11025), L"p@ss word");
  TypeInto(Control(11028), L"");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11028)).empty() && TextOf(Control(11025)) == L"p@ss word"; }));
  // OK on the General page closes the sheet although required columns are unmapped.
  PressOk();
  ExpectClosedWith(true);
  EXPECT_FALSE(FindThreadWindow(run_->threadId(), kRequiredFieldTitle));

  const auto setup = SetupOf(batch_);
  EXPECT_EQ(setup.name, u"XA bridge 2");
  EXPECT_EQ(setup.connectString, u"sqlite:C:/xa");
  EXPECT_EQ(setup.userName, u"QSECOFR");
  EXPECT_EQ(setup.password, u"p@ss word");
  EXPECT_EQ(CustomProperty(setup, u"serverAPILibrary"), u"");
  // The links are saved again: the catalogue's in slot order, the older
  // setup's link dropped, the three fixed links last.
  EXPECT_EQ(LinksOf(setup), (std::vector<std::string>{
                                "UAGYCPP.GYABNT=0:Transaction type", "UAGYCPP.GYALNB=1:T-01",
                                "UAGYCPP.GYDHNA=2:Batch Name", "OriginalFolder=3:OriginalFolder",
                                "OriginalFileName=2:First Page Original File Name",
                                "OriginalFileNameExt=3:OriginalFileNameExt"}));
}

TEST_F(SetupSheet, CancelStoresNothingAfterEdits) {
  Open();
  TypeInto(Control(11002), L"changed");
  TypeInto(Control(11028), L"OTHERLIB");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11028)) == L"OTHERLIB"; }));
  HWND grid = OpenMappingPage();
  Map(grid, kHeaderGroup, 1, {L"Document Index Fields", L"Division"});
  ASSERT_TRUE(WaitUntil([&] { return Text(GridItem(grid, kHeaderGroup, 1).value) == L"Division"; }));
  PressCancel();
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_) << "not a byte changed";
}

TEST_F(SetupSheet, ClosingTheWindowIsCancel) {
  Open();
  TypeInto(Control(11002), L"changed");
  ::PostMessageW(sheet_, WM_CLOSE, 0, 0);
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

// "Release each document only once" is the custom property releaseLedger:
// ticked and OK stores "1"; opened again it shows ticked, and unticked and
// OK removes the property.
TEST_F(SetupSheet, TheLedgerBoxStoresReleaseLedgerAndUntickingRemovesIt) {
  Open();
  HWND box = Control(11061);
  ASSERT_TRUE(box);
  EXPECT_EQ(TextOf(box), L"Release each &document only once");
  EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "the setup has no releaseLedger";
  ASSERT_TRUE(ClickCheckBox(box));
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  PressOk();
  ExpectClosedWith(true);
  EXPECT_EQ(CustomProperty(SetupOf(batch_), u"releaseLedger"), u"1");
  EXPECT_EQ(CustomProperty(SetupOf(batch_), u"serverAPILibrary"), u"XALIB");

  Open();
  box = Control(11061);
  EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED) << "shows what is stored";
  ASSERT_TRUE(ClickCheckBox(box));
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  PressOk();
  ExpectClosedWith(true);
  EXPECT_EQ(CustomProperty(SetupOf(batch_), u"releaseLedger"), u"(absent)");
}

TEST_F(SetupSheet, TabMnemonicsAndEscapeWorkOnTheGeneralPage) {
  Open();
  const DWORD thread = run_->threadId();
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(thread) == Control(11002); }))
      << "the sheet opens with the instance name ready for typing";
  // Tab goes down the edits in the order of the page, then to Test
  // Connection beside the library and the ledger's box below.
  for (const int next : {11017, 11024, 11025, 11028, 11062, 11061}) {
    PostKey(FocusOf(thread), VK_TAB);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(thread) == Control(next); })) << next;
  }
  // Alt and a label's underlined letter go to the label's edit.
  for (const auto& [letter, edit] : std::initializer_list<std::pair<wchar_t, int>>{
           {L'p', 11025}, {L's', 11017}, {L'i', 11002}, {L'a', 11028}, {L'u', 11024}}) {
    ::PostMessageW(FocusOf(thread), WM_SYSCHAR, letter, 1 << 29);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(thread) == Control(edit); })) << char(letter);
  }
  // The box's own letter goes to it and ticks it.
  ::PostMessageW(FocusOf(thread), WM_SYSCHAR, L'd', 1 << 29);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(thread) == Control(11061); }));
  EXPECT_TRUE(WaitUntil([&] { return ::SendMessageW(Control(11061), BM_GETCHECK, 0, 0) == BST_CHECKED; }));
  // Escape is Cancel.
  TypeInto(Control(11024), L"typed");
  ASSERT_TRUE(WaitUntil([&] { return TextOf(Control(11024)) == L"typed"; }));
  PostKey(Control(11024), VK_ESCAPE);
  ExpectClosedWith(false);
  EXPECT_EQ(ReadWholeFile(batch_), original_);
}

}  // namespace
}  // namespace mirdane::wine_test
