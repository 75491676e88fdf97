// The sheet's page protocol: activation, refusal to be left, OK.
#include "setup/ui/sheet_controller.h"

#include <gtest/gtest.h>

#include <string>

namespace mirdane::ui {
namespace {

// A page that records what the sheet asked of it, into one shared log.
class RecordingPage final : public SheetPage {
 public:
  RecordingPage(std::string name, std::string* log) : name_(std::move(name)), log_(log) {}

  bool CreatePage() override {
    *log_ += name_ + ".create ";
    created_ = createWorks;
    return createWorks;
  }
  bool IsCreated() const override { return created_; }
  void ShowPage(bool show) override {
    shown = show;
    *log_ += name_ + (show ? ".show " : ".hide ");
  }
  bool OnSetActive() override {
    *log_ += name_ + ".active ";
    return acceptActive;
  }
  bool OnKillActive() override {
    *log_ += name_ + ".leave ";
    return letGo;
  }
  void OnOK() override { *log_ += name_ + ".ok "; }

  bool createWorks = true;
  bool acceptActive = true;
  bool letGo = true;
  bool shown = false;

 private:
  std::string name_;
  std::string* log_;
  bool created_ = false;
};

struct Sheet {
  std::string log;
  RecordingPage general{"general", &log};
  RecordingPage mapping{"mapping", &log};
  SheetController controller{{&general, &mapping}};
};

TEST(SheetController, OpensOnTheFirstPageAndCreatesTheOtherOnlyWhenShown) {
  Sheet sheet;
  ASSERT_TRUE(sheet.controller.Start(0));
  EXPECT_EQ(sheet.controller.current(), 0);
  EXPECT_EQ(sheet.log, "general.create general.active general.show ");
  EXPECT_FALSE(sheet.mapping.IsCreated());

  // OK now: the General page is left and applies; the mapping page, never
  // shown, is not asked anything.
  sheet.log.clear();
  EXPECT_TRUE(sheet.controller.PressOk());
  EXPECT_EQ(sheet.log, "general.leave general.ok ");
}

TEST(SheetController, SwitchingPagesLeavesThenActivatesAndCreatesOnce) {
  Sheet sheet;
  sheet.controller.Start(0);
  sheet.log.clear();
  EXPECT_TRUE(sheet.controller.SelectPage(1));
  EXPECT_EQ(sheet.log, "general.leave general.hide mapping.create mapping.active mapping.show ");
  sheet.log.clear();
  EXPECT_TRUE(sheet.controller.SelectPage(0));
  EXPECT_TRUE(sheet.controller.SelectPage(1));
  EXPECT_EQ(sheet.log,
            "mapping.leave mapping.hide general.active general.show "
            "general.leave general.hide mapping.active mapping.show ");
  // Choosing the current page again asks nothing.
  sheet.log.clear();
  EXPECT_TRUE(sheet.controller.SelectPage(1));
  EXPECT_EQ(sheet.log, "");
  EXPECT_FALSE(sheet.controller.SelectPage(2));
  EXPECT_FALSE(sheet.controller.SelectPage(-1));
  EXPECT_EQ(sheet.controller.current(), 1);
}

TEST(SheetController, APageThatRefusesToBeLeftKeepsTheSheetOnIt) {
  Sheet sheet;
  sheet.controller.Start(0);
  sheet.controller.SelectPage(1);
  sheet.mapping.letGo = false;
  sheet.log.clear();
  EXPECT_FALSE(sheet.controller.SelectPage(0));
  EXPECT_EQ(sheet.controller.current(), 1);
  EXPECT_TRUE(sheet.mapping.shown);
  EXPECT_EQ(sheet.log, "mapping.leave ");

  // OK is refused the same way, and nothing is applied.
  sheet.log.clear();
  EXPECT_FALSE(sheet.controller.PressOk());
  EXPECT_EQ(sheet.log, "mapping.leave ");

  // Once the page lets go, OK applies every created page in page order.
  sheet.mapping.letGo = true;
  sheet.log.clear();
  EXPECT_TRUE(sheet.controller.PressOk());
  EXPECT_EQ(sheet.log, "mapping.leave general.ok mapping.ok ");
}

TEST(SheetController, APageThatCannotComeUpGivesTheSheetBackToTheOldOne) {
  Sheet sheet;
  sheet.controller.Start(0);
  sheet.mapping.createWorks = false;
  sheet.log.clear();
  EXPECT_FALSE(sheet.controller.SelectPage(1));
  EXPECT_EQ(sheet.controller.current(), 0);
  EXPECT_TRUE(sheet.general.shown);
  EXPECT_EQ(sheet.log, "general.leave general.hide mapping.create general.active general.show ");

  Sheet refusing;
  refusing.general.acceptActive = false;
  EXPECT_FALSE(refusing.controller.Start(0));
  EXPECT_EQ(refusing.controller.current(), -1);
  // With no current page, OK only applies what was created.
  refusing.log.clear();
  EXPECT_TRUE(refusing.controller.PressOk());
  EXPECT_EQ(refusing.log, "general.ok ");
}

}  // namespace
}  // namespace mirdane::ui
