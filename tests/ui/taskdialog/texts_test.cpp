#include <gtest/gtest.h>

#include <cstring>

#include "ui/taskdialog/common_buttons.h"
#include "ui/taskdialog/stock_icons.h"
#include "ui/taskdialog/task_dialog_constants.h"
#include "tests/ui/taskdialog/layout_support.h"

namespace mirdane::taskdialog {
namespace {

using test::Config;
using test::MapStrings;

TEST(LoadText, ZeroPointerOrStringId) {
  MapStrings strings;
  strings.strings[42] = u"from the table";
  std::u16string text = u"old";
  EXPECT_EQ(LoadText(strings, 1, 0, text), hr::kOk);
  EXPECT_EQ(text, u"");
  EXPECT_EQ(LoadText(strings, 1, test::Text(u"given"), text), hr::kOk);
  EXPECT_EQ(text, u"given");
  EXPECT_EQ(LoadText(strings, 1, 42, text), hr::kOk);
  EXPECT_EQ(text, u"from the table");
  EXPECT_EQ(LoadText(strings, 1, 0xFFFF, text), hr::FromBits(0x80070716));
}

TEST(LoadText, FailureCodesStayFailuresEvenForErrorZero) {
  EXPECT_EQ(FailureFromWin32(0), hr::FromBits(0x80070000));
  EXPECT_TRUE(Failed(FailureFromWin32(0)));
  EXPECT_EQ(FailureFromWin32(8), hr::kOutOfMemory - 6);  // 0x80070008
  EXPECT_EQ(FailureFromWin32(0x12345), hr::FromBits(0x80072345));
}

TEST(RemoveLinkMarkup, OnlyTheUpperCaseTags) {
  EXPECT_EQ(RemoveLinkMarkup(u"Press <A HREF=\"x\">here</A>."), u"Press here.");
  EXPECT_EQ(RemoveLinkMarkup(u"<A HREF=\"a\">one</A> and <A HREF=\"b\">two</A>"), u"one and two");
  EXPECT_EQ(RemoveLinkMarkup(u"<a href=\"x\">low</a>"), u"<a href=\"x\">low</a>");
  EXPECT_EQ(RemoveLinkMarkup(u"open <A HREF=\"x\" without end"), u"open <A HREF=\"x\" without end");
  EXPECT_EQ(RemoveLinkMarkup(u"</A></A>closing only"), u"closing only");
  EXPECT_EQ(RemoveLinkMarkup(u""), u"");
}

TEST(LoadTaskDialogTexts, DefaultsAndDisplayTexts) {
  Config c;
  c.config.dwFlags = tdf::kEnableHyperlinks;
  c.config.pszContent = test::Text(u"a <A HREF=\"u\">b</A>");
  c.config.pszFooter = test::Text(u"<A HREF=\"v\">f</A>");
  MapStrings strings;
  TaskDialogTexts texts;
  ASSERT_EQ(LoadTaskDialogTexts(c.config, strings, u"prog.exe", texts), hr::kOk);
  EXPECT_EQ(texts.windowTitle, u"prog.exe");
  EXPECT_EQ(texts.collapsedControlText, u"See &details >>");
  EXPECT_EQ(texts.expandedControlText, u"Hide &details <<");
  EXPECT_EQ(texts.content.raw, u"a <A HREF=\"u\">b</A>");
  EXPECT_EQ(texts.content.display, u"a b");
  EXPECT_EQ(texts.footer.display, u"f");

  c.config.dwFlags = 0;
  ASSERT_EQ(LoadTaskDialogTexts(c.config, strings, u"prog.exe", texts), hr::kOk);
  EXPECT_EQ(texts.content.display, texts.content.raw) << "no links: the same text";
}

TEST(LoadTaskDialogTexts, ResourceIdsEverywhereAndAMissingOneFails) {
  Config c;
  c.config.hInstance = 0x400000;
  c.config.pszWindowTitle = 1;
  c.config.pszMainInstruction = 2;
  c.config.pszExpandedControlText = 3;
  c.Button(100, reinterpret_cast<const char16_t*>(std::uintptr_t{4}));
  c.Radio(200, reinterpret_cast<const char16_t*>(std::uintptr_t{5}));
  MapStrings strings;
  strings.strings = {{1, u"Title"}, {2, u"Main"}, {3, u"Less"}, {4, u"Button"}, {5, u"Radio"}};
  TaskDialogTexts texts;
  ASSERT_EQ(LoadTaskDialogTexts(c.config, strings, u"prog.exe", texts), hr::kOk);
  EXPECT_EQ(texts.windowTitle, u"Title");
  EXPECT_EQ(texts.mainInstruction, u"Main");
  EXPECT_EQ(texts.expandedControlText, u"Less");
  ASSERT_EQ(texts.buttons.size(), 1u);
  EXPECT_EQ(texts.buttons[0].id, 100);
  EXPECT_EQ(texts.buttons[0].text, u"Button");
  EXPECT_EQ(texts.radioButtons[0].text, u"Radio");

  strings.strings.erase(4);
  EXPECT_EQ(LoadTaskDialogTexts(c.config, strings, u"prog.exe", texts), hr::FromBits(0x80070716))
      << "a button's missing string fails the whole run";
  strings.strings[4] = u"Button";
  c.config.pszFooter = 77;
  EXPECT_TRUE(Failed(LoadTaskDialogTexts(c.config, strings, u"prog.exe", texts)));
}

TEST(SplitCommandLink, AtTheFirstLineBreak) {
  const auto both = SplitCommandLink(u"Title\nNote\nmore");
  EXPECT_EQ(both.title, u"Title");
  EXPECT_EQ(both.note, u"Note\nmore");
  EXPECT_TRUE(both.hasNote);
  const auto title = SplitCommandLink(u"Only");
  EXPECT_EQ(title.title, u"Only");
  EXPECT_FALSE(title.hasNote);
}

TEST(CommonButtons, TableOrderAndTextsFromTheModule) {
  CommonButtonTable table = DefaultCommonButtons();
  std::vector<int> ids;
  for (const auto& button : table) ids.push_back(button.id);
  EXPECT_EQ(ids, (std::vector<int>{1, 6, 7, 4, 2, 8}));
  MapStrings strings;
  strings.strings[11006] = u"&Ja";
  strings.strings[11010] = u"";
  LoadCommonButtonTexts(table, strings, 1);
  EXPECT_EQ(table[0].text, u"OK");
  EXPECT_EQ(table[1].text, u"&Ja");
  EXPECT_EQ(table[5].text, u"&Close") << "an empty string keeps the default";
  EXPECT_EQ(CountCommonButtons(table, 0x3F), 6);
  EXPECT_EQ(CountCommonButtons(table, tdcbf::kRetry | tdcbf::kNo), 2);
  EXPECT_EQ(FindCommonButton(table, 4)->flag, tdcbf::kRetry);
  EXPECT_EQ(FindCommonButton(table, 3), nullptr);
}

// Each stock value shows its own icon; the main icon's sound is the message
// box's for the same icon (MB_ICONHAND, MB_ICONEXCLAMATION, MB_ICONASTERISK).
TEST(StockIcons, EachValueItsIconAndTheMainIconItsSound) {
  EXPECT_EQ(StockIconResource(stock_icon::kWarning), resource_id::kIconWarning);
  EXPECT_EQ(StockIconResource(stock_icon::kError), resource_id::kIconError);
  EXPECT_EQ(StockIconResource(stock_icon::kInformation), resource_id::kIconInformation);
  EXPECT_EQ(StockIconResource(stock_icon::kShield), resource_id::kIconShield);
  EXPECT_EQ(StockIconResource(0xFFFB), 0u);
  EXPECT_EQ(StockIconResource(resource_id::kIconWarning), 0u)
      << "a resource id is not a stock value";

  EXPECT_EQ(MainIconSound(stock_icon::kError, false), 0x10u);
  EXPECT_EQ(MainIconSound(stock_icon::kWarning, false), 0x30u);
  EXPECT_EQ(MainIconSound(stock_icon::kInformation, false), 0x40u);
  EXPECT_EQ(MainIconSound(stock_icon::kShield, false), 0u);
  EXPECT_EQ(MainIconSound(resource_id::kIconWarning, false), 0u) << "the module's own icon";
  EXPECT_EQ(MainIconSound(stock_icon::kWarning, true), 0u) << "a handle that happens to match";
}

TEST(TaskDialogConfig, ReadsPackedButtonArrays) {
  // A packed array: the second button's text pointer is not aligned.
  unsigned char bytes[2 * sizeof(TaskDialogButton)] = {};
  const TaskDialogButton first{7, 0x12345678};
  const TaskDialogButton second{8, 0x9ABCDEF0};
  std::memcpy(bytes, &first, sizeof first);
  std::memcpy(bytes + sizeof first, &second, sizeof second);
  const auto buttons = ReadButtons(reinterpret_cast<const TaskDialogButton*>(bytes), 2);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_EQ(buttons[1].nButtonID, 8);
  EXPECT_EQ(buttons[1].pszButtonText, 0x9ABCDEF0u);
  EXPECT_TRUE(ReadButtons(nullptr, 5).empty());
  EXPECT_EQ(sizeof(TaskDialogButton), 4 + sizeof(void*));
}

}  // namespace
}  // namespace mirdane::taskdialog
