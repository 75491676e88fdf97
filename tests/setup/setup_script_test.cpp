#include <climits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "setup/general_settings.h"
#include "setup/setup_mapping_model.h"
#include "setup/setup_script.h"
#include "tests/support/fake_setup_data.h"

namespace mirdane {
namespace {

using test::FakeSetupData;

// A sheet that notes what it was shown, maps slot 0 and ends as told.
class ScriptedSheet final : public SetupSheet {
 public:
  explicit ScriptedSheet(SheetResult result) : result_(result) {}
  SheetResult Run(const std::u16string& shown_caption, CSetupMappingModel& model) override {
    ++runs;
    caption = shown_caption;
    shownSlot3 = model.slots()[3].source;
    if (throws) throw std::runtime_error("sheet failed");
    model.slots()[0].source = u"AP";
    model.slots()[0].sourceType = 1;
    if (result_ == SheetResult::kOk) GeneralSettings{}.Store(&model);
    return result_;
  }
  int runs = 0;
  bool throws = false;
  std::u16string caption;
  std::u16string shownSlot3;

 private:
  SheetResult result_;
};

struct Script {
  explicit Script(std::shared_ptr<SetupSheet> sheet) : script(std::move(sheet)) {
    script.putref_SetupData(data);
  }
  kfx::KfxReturnValue RunUI() {
    kfx::KfxReturnValue result = kfx::KFX_REL_UNSUPPORTED;
    EXPECT_EQ(script.RunUI(&result), hr::kOk);
    return result;
  }
  std::shared_ptr<FakeSetupData> data = std::make_shared<FakeSetupData>();
  CppdSetupScript script;
};

TEST(SetupScript, ActionEventAcknowledgesOnlyTheActionsZeroToThirteen) {
  Script s(std::make_shared<ScriptedSheet>(SheetResult::kOk));
  for (const std::int32_t action : {-1, 14, 19, 100, INT_MIN, INT_MAX}) {
    kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
    EXPECT_EQ(s.script.ActionEvent(action, u"old", u"new", &result), hr::kOk);
    EXPECT_EQ(result, kfx::KFX_REL_UNSUPPORTED) << action;
  }
  for (const std::int32_t action : {0, 4, 13}) {
    kfx::KfxReturnValue result = kfx::KFX_REL_ERROR;
    s.script.ActionEvent(action, u"old", u"new", &result);
    EXPECT_EQ(result, kfx::KFX_REL_SUCCESS) << action;
  }
  EXPECT_TRUE(s.data->calls.empty()) << "no action changes the setup";
}

TEST(SetupScript, RunUIWithoutSetupDataShowsNothingAndReportsAnError) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kOk);
  CppdSetupScript script(sheet);
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  EXPECT_EQ(script.RunUI(&result), hr::kOk);
  EXPECT_EQ(result, kfx::KFX_REL_ERROR);
  EXPECT_EQ(sheet->runs, 0);
  EXPECT_EQ(script.RunUI(nullptr), hr::kPointer);
}

TEST(SetupScript, CancelWritesNothing) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kCancel);
  Script s(sheet);
  s.data->links = {{u"INV", 1, u"UAGYCPP.GYH6CD"}};
  EXPECT_EQ(s.RunUI(), kfx::KFX_REL_SUCCESS);
  EXPECT_EQ(sheet->runs, 1);
  EXPECT_EQ(sheet->caption, u"Lorven Setup");
  EXPECT_TRUE(s.data->calls.empty());
  EXPECT_EQ(s.data->links.size(), 1u);
}

TEST(SetupScript, OkWritesTheGeneralValuesThenTheLinksThenAppliesOnce) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kOk);
  Script s(sheet);
  EXPECT_EQ(s.RunUI(), kfx::KFX_REL_SUCCESS);
  const std::vector<std::string> expected = {
      "put_Name", "put_ConnectString", "put_UserName", "put_Password",
      "CustomProperties.Remove serverAPILibrary", "CustomProperties.Add serverAPILibrary",
      "Links.RemoveAll", "Links.Add UAGYCPP.GYABNT", "Links.Add OriginalFolder",
      "Links.Add OriginalFileName", "Links.Add OriginalFileNameExt", "Apply"};
  EXPECT_EQ(s.data->calls, expected);
}

// The release ledger's switch has no control on the pages: OK must keep it.
TEST(SetupScript, OkKeepsCustomPropertiesThePagesDoNotShow) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kOk);
  Script s(sheet);
  s.data->properties = {{u"releaseLedger", u"1"}, {u"serverAPILibrary", u"XALIB"}};
  EXPECT_EQ(s.RunUI(), kfx::KFX_REL_SUCCESS);
  ASSERT_FALSE(s.data->properties.empty());
  EXPECT_EQ(s.data->properties.front(),
            (std::pair<std::u16string, std::u16string>{u"releaseLedger", u"1"}));
}

TEST(SetupScript, EveryRunShowsWhatIsStoredNow) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kOk);
  Script s(sheet);
  s.data->links = {{u"INV", 1, u"UAGYCPP.GYH6CD"}};
  s.RunUI();
  EXPECT_EQ(sheet->shownSlot3, u"INV");
  s.data->links = {{u"CRN", 1, u"UAGYCPP.GYH6CD"}};
  s.RunUI();
  EXPECT_EQ(sheet->shownSlot3, u"CRN");
}

TEST(SetupScript, NoExceptionLeavesRunUI) {
  auto sheet = std::make_shared<ScriptedSheet>(SheetResult::kOk);
  sheet->throws = true;
  Script s(sheet);
  EXPECT_EQ(s.RunUI(), kfx::KFX_REL_ERROR);
  EXPECT_TRUE(s.data->calls.empty());
}

TEST(GeneralSettings, AnEmptySetupShowsEmptyFieldsAndStoresEmptyTextsOnOk) {
  FakeSetupData data;
  CSetupMappingModel model(&data);
  GeneralSettings general;
  ASSERT_TRUE(general.Load(&model));
  EXPECT_EQ(general.apiLibrary, u"");
  EXPECT_EQ(general.batchClassName, u"AP Invoices");
  ASSERT_TRUE(general.Store(&model));
  EXPECT_EQ(data.properties, (decltype(data.properties){{u"serverAPILibrary", u""}}))
      << "serverAPILibrary is written even when empty";
}

TEST(GeneralSettings, AFailedReadLeavesTheFieldEmpty) {
  FakeSetupData data;
  data.name = u"XA bridge";
  data.password = u"secret";
  data.failing = {"get_Name", "get_BatchClassName"};
  CSetupMappingModel model(&data);
  GeneralSettings general;
  general.Load(&model);
  EXPECT_EQ(general.name, u"");
  EXPECT_EQ(general.batchClassName, u"");
  EXPECT_EQ(general.password, u"secret");
  EXPECT_FALSE(general.Load(nullptr));
  CSetupMappingModel no_host;
  EXPECT_FALSE(general.Store(&no_host));
}

}  // namespace
}  // namespace mirdane
