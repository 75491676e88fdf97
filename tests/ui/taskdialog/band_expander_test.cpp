#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ui/taskdialog/band_painting.h"
#include "ui/taskdialog/command_routing.h"
#include "ui/taskdialog/expander.h"
#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {
namespace {

constexpr std::uint32_t kWhite = colour::kContent;
constexpr std::uint32_t kBand = colour::kBand;
constexpr std::uint32_t kLine = colour::kSeparator;

TEST(BandFills, NoSeparatorIsAllWhite) {
  EXPECT_EQ(BandFills({}, 300, 200), (std::vector<BandFill>{{{0, 0, 300, 200}, kWhite}}));
}

TEST(BandFills, OneBandBelowALine) {
  EXPECT_EQ(BandFills({100, -1, -1}, 300, 200),
            (std::vector<BandFill>{{{0, 0, 300, 100}, kWhite},
                                   {{0, 100, 300, 101}, kLine},
                                   {{0, 101, 300, 200}, kBand}}));
}

TEST(BandFills, TwoAndThreeBands) {
  EXPECT_EQ(BandFills({100, 150, 180}, 300, 200),
            (std::vector<BandFill>{{{0, 0, 300, 100}, kWhite},
                                   {{0, 100, 300, 101}, kLine},
                                   {{0, 101, 300, 149}, kBand},
                                   {{0, 149, 300, 150}, kLine},
                                   {{0, 150, 300, 151}, kWhite},
                                   {{0, 151, 300, 179}, kBand},
                                   {{0, 179, 300, 180}, kLine},
                                   {{0, 180, 300, 181}, kWhite},
                                   {{0, 181, 300, 200}, kBand}}));
}

TEST(BandFills, AFooterBandWithoutAButtonBand) {
  // The footer alone takes the second separator when the first was given up
  // only after the layout; the area above it stays white.
  const auto fills = BandFills({-1, 120, -1}, 50, 160);
  ASSERT_EQ(fills.size(), 4u);
  EXPECT_EQ(fills[0], (BandFill{{0, 0, 50, 160}, kWhite}));
  EXPECT_EQ(fills[1], (BandFill{{0, 119, 50, 120}, kLine}));
  EXPECT_EQ(fills[3], (BandFill{{0, 121, 50, 160}, kBand}));
}

// Records what the expander does to the window.
class RecordingWindow : public ExpanderWindow {
 public:
  int height = 300;
  int clientHeight = 280;
  int expandedHeight = 40;
  int bottomFrame = 4;
  std::map<ExpanderPart, int> moved;
  std::map<ExpanderPart, bool> shown;
  std::vector<std::string> events;
  bool timer = false;

  void MoveBy(ExpanderPart part, int dy) override { moved[part] += dy; }
  void Show(ExpanderPart part, bool visible) override { shown[part] = visible; }
  void ResizeBy(int dy) override {
    height += dy;
    clientHeight += dy;
  }
  int ExpandedInformationHeight() override { return expandedHeight; }
  int BottomFrame() override { return bottomFrame; }
  int ClientHeight() override { return clientHeight; }
  void ShowExpandoText(bool expanded) override {
    events.push_back(expanded ? "text expanded" : "text collapsed");
  }
  void FocusExpandedInformation() override { events.push_back("focus expanded"); }
  void FocusExpandoButton() override { events.push_back("focus expando"); }
  void RepaintNow() override { events.push_back("repaint"); }
  void StartAnimationTimer() override { timer = true; }
  void StopAnimationTimer() override { timer = false; }
  void NotifyExpandoClicked(bool expanded) override {
    events.push_back(expanded ? "notify 1" : "notify 0");
  }
  int Ticks(Expander& expander, Separators& separators) {
    int ticks = 0;
    while (timer && ticks < 1000) {
      expander.OnAnimationTimer(*this, separators);
      ++ticks;
    }
    return ticks;
  }
};

TEST(Expander, AtOnceInTheContentArea) {
  RecordingWindow window;
  Separators separators{100, 150, -1};
  Expander expander(0, false, /*animate=*/false);
  expander.Toggle(window, separators);
  EXPECT_TRUE(expander.expanded());
  EXPECT_EQ(window.height, 350) << "the expanded text's height + 10";
  EXPECT_EQ(window.moved[ExpanderPart::kRadioButtons], 50);
  EXPECT_EQ(window.moved[ExpanderPart::kProgressBar], 50);
  EXPECT_EQ(window.moved[ExpanderPart::kCommonButtons], 50);
  EXPECT_EQ(window.moved[ExpanderPart::kCustomButtons], 50) << "push buttons move with the band";
  EXPECT_EQ(window.moved[ExpanderPart::kExpandoButton], 50);
  EXPECT_EQ(window.moved[ExpanderPart::kFooterText], 50);
  EXPECT_TRUE(window.shown[ExpanderPart::kExpandedInformation]);
  EXPECT_EQ(separators, (Separators{150, 200, -1}));
  EXPECT_EQ(window.events, (std::vector<std::string>{"text expanded", "notify 1"}));

  expander.Toggle(window, separators);
  EXPECT_EQ(window.height, 300);
  EXPECT_EQ(window.moved[ExpanderPart::kRadioButtons], 0);
  EXPECT_FALSE(window.shown[ExpanderPart::kExpandedInformation]);
  EXPECT_EQ(separators, (Separators{100, 150, -1}));

  // At 144 DPI the layout leaves 8 pixels above and below the text.
  Expander at144(0, false, /*animate=*/false, 144);
  at144.Toggle(window, separators);
  EXPECT_EQ(window.height, 300 + 40 + 16);
}

TEST(Expander, AnimatedInTheContentAreaEndsWhereTheImmediateOneDoes) {
  RecordingWindow window;
  window.expandedHeight = 35;  // total 45: steps of 4 would overshoot by 3
  Separators separators{100, -1, -1};
  Expander expander(tdf::kUseCommandLinks, false, /*animate=*/true);
  expander.Toggle(window, separators);
  EXPECT_TRUE(window.timer);
  EXPECT_EQ(separators, Separators{}) << "white while it grows";
  EXPECT_FALSE(window.shown[ExpanderPart::kExpandoButton]);
  EXPECT_FALSE(window.shown[ExpanderPart::kCommonButtons]);
  EXPECT_EQ(window.shown.count(ExpanderPart::kCustomButtons), 0u) << "links stay visible";
  EXPECT_EQ(window.moved[ExpanderPart::kCustomButtons], 45) << "links move at once";
  EXPECT_EQ(window.moved[ExpanderPart::kCommonButtons], 0) << "the band moves at the end";

  window.events.clear();
  const int ticks = window.Ticks(expander, separators);
  EXPECT_EQ(ticks, 12);
  EXPECT_EQ(window.height, 345);
  EXPECT_EQ(window.moved[ExpanderPart::kCommonButtons], 45);
  EXPECT_EQ(window.moved[ExpanderPart::kCustomButtons], 45) << "links are not moved twice";
  EXPECT_EQ(separators, (Separators{145, -1, -1}));
  EXPECT_TRUE(window.shown[ExpanderPart::kExpandedInformation]);
  EXPECT_TRUE(window.shown[ExpanderPart::kExpandoButton]);
  EXPECT_TRUE(window.shown[ExpanderPart::kRadioButtons]);
  EXPECT_EQ(window.events, (std::vector<std::string>{"focus expando", "repaint"}));

  expander.Toggle(window, separators);
  window.Ticks(expander, separators);
  EXPECT_EQ(window.height, 300);
  EXPECT_EQ(separators, (Separators{100, -1, -1}));
  EXPECT_EQ(window.moved[ExpanderPart::kCommonButtons], 0);
  EXPECT_FALSE(window.shown[ExpanderPart::kExpandedInformation]);
}

TEST(Expander, ASecondClickDuringTheAnimationFinishesTheFirst) {
  RecordingWindow window;
  Separators separators{100, 160, -1};
  Expander expander(0, false, /*animate=*/true);
  expander.Toggle(window, separators);
  expander.OnAnimationTimer(window, separators);
  expander.OnAnimationTimer(window, separators);
  expander.Toggle(window, separators);  // collapse again half way
  window.Ticks(expander, separators);
  EXPECT_FALSE(expander.expanded());
  EXPECT_EQ(window.height, 300);
  EXPECT_EQ(separators, (Separators{100, 160, -1}));
  for (const auto& [part, dy] : window.moved) EXPECT_EQ(dy, 0) << static_cast<int>(part);
}

TEST(Expander, FooterAreaAtOnceAndAnimated) {
  RecordingWindow window;
  Separators separators{100, 200, -1};
  Expander immediate(tdf::kExpandFooterArea, false, false);
  immediate.Toggle(window, separators);
  EXPECT_EQ(window.height, 300 + 40 + 20 - 4);
  EXPECT_TRUE(window.shown[ExpanderPart::kExpandedInformation]);
  EXPECT_EQ(separators, (Separators{100, 200, -1})) << "the bands stay";
  EXPECT_TRUE(window.moved.empty());

  RecordingWindow animated;
  Separators bands{100, 200, -1};
  Expander expander(tdf::kExpandFooterArea, false, true);
  expander.Toggle(animated, bands);
  EXPECT_FALSE(animated.shown[ExpanderPart::kExpandedInformation]);
  EXPECT_EQ(animated.shown.count(ExpanderPart::kExpandoButton), 0u) << "stays visible";
  animated.Ticks(expander, bands);
  EXPECT_EQ(animated.height, 356);
  EXPECT_EQ(bands, (Separators{100, 200, 280})) << "a line where the window used to end";
  EXPECT_TRUE(animated.shown[ExpanderPart::kExpandedInformation]);
  expander.Toggle(animated, bands);
  animated.Ticks(expander, bands);
  EXPECT_EQ(animated.height, 300);
  EXPECT_EQ(bands, (Separators{100, 200, -1}));
}

TEST(Expander, TinyTotalStillEnds) {
  RecordingWindow window;
  window.expandedHeight = 0;
  window.bottomFrame = 25;  // total below zero
  Separators separators;
  Expander expander(tdf::kExpandFooterArea, false, true);
  expander.Toggle(window, separators);
  EXPECT_LE(window.Ticks(expander, separators), 1);
  EXPECT_FALSE(window.timer);
}

TEST(RouteCommand, EachControlItsAction) {
  ControlIds ids;
  ids.expandoButton = 20;
  ids.verification = 21;
  const std::vector<int> radios{10, 11};
  EXPECT_EQ(RouteCommand(10, 0, ids, radios, 0, 0), CommandAction::kRadioButtonClicked);
  EXPECT_EQ(RouteCommand(20, 0, ids, radios, 0, 0), CommandAction::kToggleExpander);
  EXPECT_EQ(RouteCommand(21, 0, ids, radios, 0, 0), CommandAction::kVerificationClicked);
  EXPECT_EQ(RouteCommand(541, 0, ids, radios, 0, 0), CommandAction::kButtonClicked);
  EXPECT_EQ(RouteCommand(1, 0, ids, radios, 0, 0), CommandAction::kButtonClicked);
  EXPECT_EQ(RouteCommand(541, 5, ids, radios, 0, 0), CommandAction::kIgnore)
      << "a double click is not a second click";
}

TEST(RouteCommand, CancelOnlyWhenAllowed) {
  const ControlIds ids;
  EXPECT_EQ(RouteCommand(2, 0, ids, {}, 0, tdcbf::kOk), CommandAction::kIgnore);
  EXPECT_EQ(RouteCommand(2, 0, ids, {}, tdf::kAllowDialogCancellation, 0),
            CommandAction::kButtonClicked);
  EXPECT_EQ(RouteCommand(2, 0, ids, {}, 0, tdcbf::kCancel), CommandAction::kButtonClicked);
}

}  // namespace
}  // namespace mirdane::taskdialog
