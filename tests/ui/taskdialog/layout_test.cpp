#include <gtest/gtest.h>

#include "ui/taskdialog/task_dialog_constants.h"
#include "tests/ui/taskdialog/layout_support.h"

namespace mirdane::taskdialog {

namespace style = ui::style;
using ui::DialogItem;
using ui::ControlKind;
using ui::PixelRect;
using ui::DialogBaseUnits;
namespace {

using test::Config;
using test::Laid;
using test::LayOut;

constexpr std::uint32_t kButtonStyle = 0x50010000;  // child, visible, tab stop

TEST(TaskDialogLayout, WithoutButtonsTheRowGetsOneOk) {
  for (const std::uint32_t flags : {0u, tdf::kUseCommandLinks}) {
    Config c;
    c.config.dwFlags = flags;
    c.config.pszMainInstruction = test::Text(u"Hello");
    Laid laid;
    LayOut(c, laid);
    ASSERT_EQ(laid.result, hr::kOk);
    const auto& dialog = laid.layout.dialog;
    ASSERT_EQ(dialog.items.size(), 2u);
    // "Hello" in the large font is 45 wide: the text column is 46, the row 44.
    EXPECT_EQ(laid.Rect(2), (PixelRect{10, 10, 56, 30}));
    EXPECT_EQ(dialog.items[0].style, 0x50000000u);
    EXPECT_EQ(dialog.items[0].text, u"Hello");
    EXPECT_EQ(laid.Rect(1), (PixelRect{12, 50, 56, 73})) << "right-aligned, 10 from the edge";
    EXPECT_EQ(laid.Item(1).style, kButtonStyle | style::kGroup | style::kDefaultPushButton);
    EXPECT_EQ(laid.Item(1).text, u"OK");
    EXPECT_EQ(laid.layout.ids.defaultControl, 1);
    EXPECT_EQ(laid.layout.ids.mainInstruction, 2) << "ids follow the highest button id";
    EXPECT_EQ(laid.layout.commonButtonIds, std::vector<int>{1})
        << "2 is the main instruction here, not a Cancel button";
    EXPECT_EQ(laid.layout.separators, (Separators{40, -1, -1}));
    // 66 by 83 pixels with base units 8 and 16: sizes round up.
    EXPECT_EQ(dialog.cx, 33);
    EXPECT_EQ(dialog.cy, 42);
    EXPECT_EQ(dialog.style, style::kDialog);
    EXPECT_EQ(dialog.exStyle, 0u);
    // The item in dialog units.
    EXPECT_EQ(dialog.items[0].x, 5);
    EXPECT_EQ(dialog.items[0].y, 5);
    EXPECT_EQ(dialog.items[0].cx, 23);
    EXPECT_EQ(dialog.items[0].cy, 10);
  }
}

TEST(TaskDialogLayout, CommandLinksTouchAndTheFirstIsTheDefault) {
  Config c;
  c.config.dwFlags = tdf::kUseCommandLinks;
  c.config.pszMainInstruction = test::Text(u"Hi");
  c.Button(541, u"Go\nNote here");
  c.Button(542, u"Stop");
  Laid laid;
  LayOut(c, laid);
  ASSERT_EQ(laid.result, hr::kOk);
  const auto& items = laid.layout.dialog.items;
  ASSERT_EQ(items.size(), 3u) << "no OK button beside command links";
  // The note "Note here" (54) + 46 sets the text column at 100.
  EXPECT_EQ(laid.Rect(543), (PixelRect{10, 10, 110, 30}));
  // Title 20 + 25 + one note line of 13; the note wraps at 100 - 46 = 54 and just fits.
  EXPECT_EQ(laid.Rect(541), (PixelRect{10, 40, 110, 98}));
  EXPECT_EQ(laid.Rect(542), (PixelRect{10, 98, 110, 138})) << "a one-line link is 20 taller";
  EXPECT_EQ(laid.Item(541).style, kButtonStyle | style::kCommandLink);
  EXPECT_EQ(laid.Item(542).text, u"Stop");
  EXPECT_EQ(laid.layout.ids.defaultControl, 541);
  EXPECT_EQ(laid.layout.separators.first, -1) << "nothing in the band";
  EXPECT_EQ(laid.layout.dialog.cx, 60);
  EXPECT_EQ(laid.layout.dialog.cy, 82);  // 163 pixels
  EXPECT_EQ(laid.layout.buttons.idCounter, 542);
}

TEST(TaskDialogLayout, CommandLinksWithoutIconLeaveTwentyPixels) {
  Config c;
  c.config.dwFlags = tdf::kUseCommandLinks | tdf::kUseCommandLinksNoIcon;
  c.Button(100, u"Go\nNote here");
  Laid laid;
  LayOut(c, laid);
  // 54 + 20 = 74 wide; the note wraps at 74 - 20 = 54.
  EXPECT_EQ(laid.Rect(100), (PixelRect{10, 10, 84, 68}));
}

TEST(TaskDialogLayout, CustomButtonsStandLeftOfTheCommonOnesAtOneWidth) {
  Config c;
  c.config.dwCommonButtons = tdcbf::kOk | tdcbf::kCancel;
  c.config.pszMainInstruction = test::Text(u"Hi");
  c.Button(100, u"Save");
  c.Button(101, u"Don't save");
  Laid laid;
  LayOut(c, laid);
  ASSERT_EQ(laid.result, hr::kOk);
  // "Don't save" (60) + 32 is the widest: four buttons of 92, 8 apart.
  EXPECT_EQ(laid.Rect(100), (PixelRect{10, 50, 102, 73}));
  EXPECT_EQ(laid.Rect(101), (PixelRect{110, 50, 202, 73}));
  EXPECT_EQ(laid.Rect(1), (PixelRect{210, 50, 302, 73}));
  EXPECT_EQ(laid.Rect(2), (PixelRect{310, 50, 402, 73}));
  EXPECT_EQ(laid.Item(100).style, kButtonStyle | style::kDefaultPushButton);
  EXPECT_EQ(laid.Item(101).style, kButtonStyle);
  EXPECT_EQ(laid.Item(1).style, kButtonStyle | style::kGroup);
  EXPECT_EQ(laid.Item(2).style, kButtonStyle | style::kGroup);
  EXPECT_EQ(laid.layout.ids.mainInstruction, 102);
  EXPECT_EQ(laid.layout.dialog.cx, 206) << "the row sets the width";
  EXPECT_EQ(laid.layout.dialog.style, style::kDialog | style::kSystemMenu) << "Cancel present";
  // Order of the items: main instruction, custom buttons, then the common ones.
  std::vector<int> order;
  for (const auto& item : laid.layout.dialog.items) order.push_back(item.id);
  EXPECT_EQ(order, (std::vector<int>{102, 100, 101, 1, 2}));
  EXPECT_EQ(laid.layout.commonButtonIds, (std::vector<int>{1, 2}));
}

TEST(TaskDialogLayout, TheDefaultButtonIsTheOneNamedOrNone) {
  Config c;
  c.config.dwCommonButtons = tdcbf::kYes | tdcbf::kNo;
  c.config.nDefaultButton = 7;
  Laid laid;
  LayOut(c, laid);
  EXPECT_EQ(laid.Item(6).style & style::kDefaultPushButton, 0u);
  EXPECT_NE(laid.Item(7).style & style::kDefaultPushButton, 0u);
  EXPECT_EQ(laid.layout.ids.defaultControl, 7);

  c.config.nDefaultButton = 99;
  Laid none;
  LayOut(c, none);
  EXPECT_EQ(none.Item(6).style & style::kDefaultPushButton, 0u);
  EXPECT_EQ(none.Item(7).style & style::kDefaultPushButton, 0u);
  EXPECT_EQ(none.layout.ids.defaultControl, -1);
}

TEST(TaskDialogLayout, EveryPartInItsPlace) {
  Config c;
  c.config.dwFlags = tdf::kEnableHyperlinks | tdf::kShowProgressBar;
  c.config.dwCommonButtons = tdcbf::kOk;
  c.config.pszContent = test::Text(u"Press <A HREF=\"x\">here</A>.");
  c.config.pszExpandedInformation = test::Text(u"More");
  c.config.pszVerificationText = test::Text(u"&Always");
  c.config.pszFooter = test::Text(u"Foot");
  c.config.cxWidth = 100;
  c.Radio(10, u"Red");
  c.Radio(11, u"Green");
  Laid laid;
  LayOut(c, laid, /*mainIcon=*/true, /*footerIcon=*/true, DialogBaseUnits{6, 12});
  ASSERT_EQ(laid.result, hr::kOk);
  const auto& ids = laid.layout.ids;
  // 100 dialog units at a base of 6 are 75 pixels; the limit 23 is then
  // raised for the button row; "Green" beside its glyph sets the column at 60.
  EXPECT_EQ(ids.mainIcon, 12);
  EXPECT_EQ(laid.Rect(12), (PixelRect{10, 14, 42, 46}));
  EXPECT_EQ(ids.content, 13);
  EXPECT_EQ(laid.Rect(13), (PixelRect{52, 10, 112, 36})) << "'Press here.' wraps at 60";
  EXPECT_EQ(laid.Item(13).kind, ControlKind::kLink);
  EXPECT_EQ(laid.Item(13).text, u"Press <A HREF=\"x\">here</A>.") << "the link gets the markup";
  EXPECT_EQ(ids.expandedInformation, 14);
  EXPECT_EQ(laid.Rect(14), (PixelRect{52, 46, 112, 59}));
  EXPECT_EQ(laid.Item(14).style, 0x40000000u) << "hidden while collapsed";
  EXPECT_EQ(ids.progressBar, 15);
  EXPECT_EQ(laid.Rect(15), (PixelRect{52, 46, 132, 60})) << "collapsed: no room for More";
  EXPECT_EQ(laid.Item(15).style, 0x50000001u);
  EXPECT_EQ(laid.Rect(10), (PixelRect{62, 70, 112, 83}));
  EXPECT_EQ(laid.Item(10).style, 0x50020009u);
  EXPECT_EQ(laid.Rect(11), (PixelRect{62, 88, 112, 101}));
  EXPECT_EQ(laid.Item(11).style, 0x50000009u);
  EXPECT_EQ(laid.Rect(1), (PixelRect{88, 121, 132, 144}));
  EXPECT_EQ(ids.expandoButton, 16);
  EXPECT_EQ(laid.Rect(16), (PixelRect{10, 149, 132, 172})) << "the dialog widened for it";
  EXPECT_EQ(laid.Item(16).text, u"See &details >>");
  EXPECT_EQ(ids.verification, 17);
  EXPECT_EQ(laid.Rect(17), (PixelRect{10, 177, 112, 190}));
  EXPECT_EQ(laid.Item(17).style, 0x50010003u);
  EXPECT_EQ(ids.footerIcon, 18);
  EXPECT_EQ(laid.Rect(18), (PixelRect{10, 210, 26, 226}));
  EXPECT_EQ(ids.footerText, 19);
  EXPECT_EQ(laid.Rect(19), (PixelRect{31, 210, 112, 223}));
  EXPECT_EQ(laid.Item(19).kind, ControlKind::kLink);
  EXPECT_EQ(laid.layout.separators, (Separators{111, 200, -1}));
  EXPECT_EQ(ids.defaultControl, 1);
  // 142 by 236 pixels at base units 6 and 12; the content in dialog units:
  // positions truncated, sizes rounded up.
  EXPECT_EQ(laid.layout.dialog.cx, 95);
  EXPECT_EQ(laid.layout.dialog.cy, 158);
  const DialogItem& content = laid.Item(13);
  EXPECT_EQ(content.x, 34);
  EXPECT_EQ(content.y, 6);
  EXPECT_EQ(content.cx, 40);
  EXPECT_EQ(content.cy, 18);
}

TEST(TaskDialogLayout, LayoutMeasuresTheTextWithoutItsLinks) {
  Config c;
  c.config.dwFlags = tdf::kEnableHyperlinks;
  c.config.pszContent = test::Text(u"Press <A HREF=\"x\">here</A>.");
  c.config.pszFooter = test::Text(u"see <a href=\"y\">it</a>");
  Laid laid;
  LayOut(c, laid);
  bool measuredDisplay = false;
  for (const auto& call : laid.measurer.calls) {
    EXPECT_NE(call.text, u"Press <A HREF=\"x\">here</A>.");
    if (call.text == u"Press here.") measuredDisplay = true;
  }
  EXPECT_TRUE(measuredDisplay);
  EXPECT_EQ(laid.texts.footer.display, u"see <a href=\"y\">it</a>") << "lower case stays";
}

TEST(TaskDialogLayout, ExpandedInTheFooterArea) {
  Config c;
  c.config.dwFlags = tdf::kExpandFooterArea | tdf::kExpandedByDefault;
  c.config.pszMainInstruction = test::Text(u"Hi");
  c.config.pszExpandedInformation = test::Text(u"More");
  Laid laid;
  LayOut(c, laid);
  const auto& ids = laid.layout.ids;
  EXPECT_EQ(laid.Rect(1), (PixelRect{88, 50, 132, 73}));
  EXPECT_EQ(laid.Rect(ids.expandoButton), (PixelRect{10, 78, 132, 101}));
  EXPECT_EQ(laid.Item(ids.expandoButton).text, u"Hide &details <<");
  EXPECT_EQ(laid.Rect(ids.expandedInformation), (PixelRect{10, 121, 35, 134}));
  EXPECT_EQ(laid.Item(ids.expandedInformation).style, 0x50000000u);
  EXPECT_EQ(laid.layout.separators, (Separators{40, 111, -1}));
  EXPECT_EQ(laid.layout.dialog.cy, 72);  // 144 pixels

  c.config.dwFlags = tdf::kExpandFooterArea;
  Laid collapsed;
  LayOut(c, collapsed);
  EXPECT_EQ(collapsed.layout.separators, (Separators{40, -1, -1}));
  EXPECT_EQ(collapsed.layout.dialog.cy, 56);  // 111 pixels, rounded up
}

TEST(TaskDialogLayout, ExpandedInTheContentAreaPushesWhatFollows) {
  Config c;
  c.config.dwFlags = tdf::kExpandedByDefault | tdf::kUseCommandLinks;
  c.config.pszContent = test::Text(u"Body");
  c.config.pszExpandedInformation = test::Text(u"More");
  c.Button(100, u"Go");
  Laid laid;
  LayOut(c, laid);
  const int expanded = laid.layout.ids.expandedInformation;
  EXPECT_EQ(laid.Rect(expanded), (PixelRect{10, 33, 74, 46}));
  EXPECT_EQ(laid.Rect(100).top, 56) << "below the expanded text";
}

TEST(TaskDialogLayout, AShortDialogMakesRoomForItsIcon) {
  Config c;
  Laid laid;
  LayOut(c, laid, /*mainIcon=*/true);
  EXPECT_EQ(laid.layout.separators.first, 56);
  EXPECT_EQ(laid.Rect(1).top, 66);
}

TEST(TaskDialogLayout, FooterIconIsCentredOnATallFooter) {
  Config c;
  c.config.pszFooter = test::Text(u"one\ntwo\nthree");
  Laid laid;
  LayOut(c, laid, false, /*footerIcon=*/true);
  const auto& ids = laid.layout.ids;
  const PixelRect text = laid.Rect(ids.footerText);
  EXPECT_EQ(text.Height(), 39);
  EXPECT_EQ(laid.Rect(ids.footerIcon).top, text.top + 11);
  EXPECT_EQ(text.left, 31);
}

TEST(TaskDialogLayout, FooterIconAloneStillGetsAnEmptyText) {
  Config c;
  Laid laid;
  LayOut(c, laid, false, /*footerIcon=*/true);
  EXPECT_NE(laid.layout.ids.footerText, -1);
  EXPECT_EQ(laid.Item(laid.layout.ids.footerText).text, u"");
  EXPECT_EQ(laid.layout.separators.second, 53) << "the OK band above it";
}

TEST(TaskDialogLayout, WidthFromDialogUnitsAndTheMonitor) {
  Config c;
  c.config.cxWidth = 200;
  Laid laid;
  LayOut(c, laid);
  ASSERT_FALSE(laid.measurer.calls.empty());
  EXPECT_EQ(laid.measurer.calls.front().limit, 180) << "200 pixels less the margins";

  Laid withIcon;
  LayOut(c, withIcon, /*mainIcon=*/true);
  EXPECT_EQ(withIcon.measurer.calls.front().limit, 148);

  c.config.cxWidth = 0;
  Laid wide;
  LayOut(c, wide, false, false, {8, 16}, /*monitorWidth=*/1280);
  EXPECT_EQ(wide.measurer.calls.front().limit, 700);
}

TEST(TaskDialogLayout, HeaderStylesFollowTheFlags) {
  Config c;
  c.config.dwFlags = tdf::kPositionRelativeToWindow | tdf::kCanBeMinimized |
                     tdf::kAllowDialogCancellation | tdf::kRtlLayout;
  Laid laid;
  LayOut(c, laid);
  EXPECT_EQ(laid.layout.dialog.style,
            style::kDialog | style::kCentre | style::kMinimizeBox | style::kSystemMenu);
  EXPECT_EQ(laid.layout.dialog.exStyle, 0x3000u);
  EXPECT_EQ(laid.layout.dialog.title, u"host.exe") << "no title: the program's name";
}

TEST(TaskDialogLayout, MarqueeProgressBar) {
  Config c;
  c.config.dwFlags = tdf::kShowMarqueeProgressBar;
  Laid laid;
  LayOut(c, laid);
  EXPECT_EQ(laid.Item(laid.layout.ids.progressBar).style, 0x50000009u);
}

TEST(TaskDialogLayout, RadioButtonTextIsNotCutOff) {
  Config c;
  c.config.pszMainInstruction = test::Text(u"Hi");
  c.Radio(5, u"A longer choice");
  Laid laid;
  LayOut(c, laid);
  // 15 characters (90) beside a glyph of 20, 10 into the column.
  EXPECT_EQ(laid.Rect(5), (PixelRect{20, 40, 130, 53}));
  EXPECT_GE(laid.Rect(5).Width(), 90 + 20);
}

TEST(TaskDialogLayout, TheFixedSizesGrowWithTheDpi) {
  // The same dialog at 96 and 144 DPI, its texts measured the same at both:
  // every difference is one of the fixed sizes, half as large again at 144
  // (give or take the pixel that rounding each of them may add).
  Config c;
  c.config.dwFlags = tdf::kShowProgressBar;
  c.config.dwCommonButtons = tdcbf::kOk;
  c.config.pszMainInstruction = test::Text(u"Title");
  c.config.pszContent = test::Text(u"Some content");
  c.config.pszVerificationText = test::Text(u"Again");
  c.config.pszFooter = test::Text(u"Foot");
  c.Radio(10, u"Red");
  Laid at96;
  Laid at144;
  LayOut(c, at96, /*mainIcon=*/true, /*footerIcon=*/true);
  LayOut(c, at144, /*mainIcon=*/true, /*footerIcon=*/true, {8, 16}, 1024, /*dpi=*/144);
  ASSERT_EQ(at96.result, hr::kOk);
  ASSERT_EQ(at144.result, hr::kOk);
  auto expectScaled = [](int size96, int size144, const char* what) {
    EXPECT_NEAR(size144, size96 * 1.5, 1.0) << what << ": " << size96 << " at 96 DPI";
  };
  const ControlIds& ids96 = at96.layout.ids;
  const ControlIds& ids144 = at144.layout.ids;
  const PixelRect icon = at144.Rect(ids144.mainIcon);
  EXPECT_EQ(icon, (PixelRect{15, 21, 63, 69})) << "48 pixels, its margins with it";
  EXPECT_EQ(at144.Rect(ids144.footerIcon).Width(), 24);
  EXPECT_EQ(at144.Rect(ids144.footerIcon).Height(), 24);
  expectScaled(at96.Rect(ids96.content).left, at144.Rect(ids144.content).left, "text column");
  expectScaled(at96.Rect(ids96.footerText).left, at144.Rect(ids144.footerText).left,
               "footer text beside its icon");
  expectScaled(at96.Rect(ids96.content).top - at96.Rect(ids96.mainInstruction).bottom,
               at144.Rect(ids144.content).top - at144.Rect(ids144.mainInstruction).bottom,
               "gap between texts");
  expectScaled(at96.Rect(10).left - at96.Rect(ids96.content).left,
               at144.Rect(10).left - at144.Rect(ids144.content).left, "radio indent");
  expectScaled(at96.Rect(ids96.progressBar).Height(), at144.Rect(ids144.progressBar).Height(),
               "progress bar");
  expectScaled(at96.Rect(1).top - at96.layout.separators.first,
               at144.Rect(1).top - at144.layout.separators.first, "band above the buttons");
  const int okText = 2 * test::FixedMeasurer::kMessageWidth;
  expectScaled(at96.Rect(1).Width() - okText, at144.Rect(1).Width() - okText, "button margin");
  expectScaled(at96.Rect(1).Height() - test::FixedMeasurer::kMessageHeight,
               at144.Rect(1).Height() - test::FixedMeasurer::kMessageHeight, "button height");
  const PixelRect footer96 = at96.Rect(ids96.footerText);
  const PixelRect footer144 = at144.Rect(ids144.footerText);
  expectScaled(footer96.top - at96.layout.separators.second,
               footer144.top - at144.layout.separators.second, "footer below its line");
  test::FixedMeasurer measurer;
  EXPECT_EQ(MeasureCommandLink(measurer, u"Go", 100, 144), 20 + 30) << "10 above and below: 15";
}

TEST(MeasureButtons, CountsIdsAndSizes) {
  Config c;
  c.config.dwCommonButtons = tdcbf::kClose;
  c.config.dwFlags = tdf::kUseCommandLinks;
  c.Button(300, u"A very long command link title");
  c.Radio(400, u"r");
  test::FixedMeasurer measurer;
  TaskDialogTexts texts;
  test::MapStrings strings;
  ASSERT_EQ(LoadTaskDialogTexts(c.config, strings, u"x", texts), hr::kOk);
  const ButtonMetrics metrics =
      MeasureButtons(c.config, texts, DefaultCommonButtons(), measurer, 500);
  EXPECT_EQ(metrics.buttonWidth, 5 * 6 + 32) << "\"Close\" only: links are not push buttons";
  EXPECT_EQ(metrics.buttonHeight, 23);
  EXPECT_EQ(metrics.expandoWidth, 15 * 6 + 32);
  EXPECT_EQ(metrics.idCounter, 400);
}

TEST(MeasureCommandLink, TitleAloneOrWithNote) {
  test::FixedMeasurer measurer;
  EXPECT_EQ(MeasureCommandLink(measurer, u"Title only", 100), 40);
  EXPECT_EQ(MeasureCommandLink(measurer, u"T\naa bb cc", 30), 20 + 25 + 26);
  EXPECT_EQ(MeasureCommandLink(measurer, u"T\nfirst\nsecond", 300), 20 + 25 + 26)
      << "only the first line break divides";
}

TEST(TaskDialogLayout, ANullButtonArrayCountsAsNoButtons) {
  Config c;
  c.config.cButtons = 3;  // but no array
  Laid laid;
  LayOut(c, laid);
  ASSERT_EQ(laid.result, hr::kOk);
  EXPECT_EQ(laid.layout.dialog.items.size(), 1u);
  EXPECT_EQ(laid.Item(1).text, u"OK");
}

}  // namespace
}  // namespace mirdane::taskdialog
