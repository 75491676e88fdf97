#include <gtest/gtest.h>

#include "setup/export_settings.h"
#include "setup/general_settings.h"
#include "setup/setup_mapping_model.h"
#include "tests/support/fake_setup_data.h"

namespace mirdane {
namespace {

using test::FakeLink;
using test::FakeSetupData;

const std::vector<FakeLink> kFixed = {
    {u"OriginalFolder", 3, u"OriginalFolder"},
    {u"First Page Original File Name", 2, u"OriginalFileName"},
    {u"OriginalFileNameExt", 3, u"OriginalFileNameExt"},
};

std::vector<FakeLink> WithFixed(std::vector<FakeLink> links) {
  links.insert(links.end(), kFixed.begin(), kFixed.end());
  return links;
}

class ExportSettings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(model_.BuildCatalogue()); }
  XAFieldEntry& Slot(int i) { return model_.slots()[static_cast<std::size_t>(i)]; }
  void Map(int i, std::u16string source, std::int32_t type) {
    Slot(i).source = std::move(source);
    Slot(i).sourceType = type;
  }

  FakeSetupData data_;
  CSetupMappingModel model_{&data_};
};

TEST_F(ExportSettings, AnEmptySetupIsSavedWithExactlyTheThreeFixedLinks) {
  ASSERT_TRUE(model_.LoadLinks());
  ASSERT_TRUE(model_.SaveLinks());
  EXPECT_EQ(data_.links, kFixed);
}

TEST_F(ExportSettings, MappedSlotsAreSavedInSlotOrderWithoutEmptyConstantsOrSpareSlots) {
  Map(52, u"0", 1);
  Map(0, u"Transaction type", 0);
  Map(3, u"", 1);  // a text constant with no text
  Map(45, u"Batch Name", 2);
  Map(84, u"spare", 1);  // a spare slot never produces a link
  ASSERT_TRUE(model_.SaveLinks());
  EXPECT_EQ(data_.links, WithFixed({{u"Transaction type", 0, u"UAGYCPP.GYABNT"},
                                    {u"Batch Name", 2, u"UAG0CPP.G0ABN4"},
                                    {u"0", 1, u"UAG0CPP.G0SSFW"}}));

  CSetupMappingModel reopened(&data_);
  reopened.BuildCatalogue();
  ASSERT_TRUE(reopened.LoadLinks());
  EXPECT_EQ(reopened.slots()[3].sourceType, kNotMapped) << "the empty constant shows as not mapped";
  EXPECT_EQ(reopened.slots()[52].source, u"0");
}

TEST_F(ExportSettings, SavingTwiceGivesTheSameLinks) {
  Map(3, u"INV", 1);
  ASSERT_TRUE(model_.SaveLinks());
  const auto first = data_.links;
  ASSERT_TRUE(model_.LoadLinks());
  ASSERT_TRUE(model_.SaveLinks());
  EXPECT_EQ(data_.links, first);
  EXPECT_EQ(data_.links.size(), 4u) << "the fixed links do not pile up";
}

TEST_F(ExportSettings, LinksOutsideTheCatalogueAreIgnoredOnLoadAndDroppedByTheNextSave) {
  data_.links = {{u"Old", 0, u"UAGYCPP.GYZZZZ"},
                 {u"First", 1, u"UAGYCPP.GYABNT"},
                 {u"Folder", 3, u"UAGYCPP.GYHBCD"},  // a batch field kept as its type says
                 {u"Later", 1, u"UAGYCPP.GYABNT"},   // the later link to a column wins
                 {u"Lower", 0, u"uagycpp.gyasCD"},
                 {u"OriginalFolder", 3, u"OriginalFolder"}};
  ASSERT_TRUE(model_.LoadLinks());
  EXPECT_EQ(Slot(0).source, u"Later");
  EXPECT_EQ(Slot(6).sourceType, 3);
  int mapped = 0;
  for (const auto& slot : model_.slots()) mapped += slot.sourceType != kNotMapped;
  EXPECT_EQ(mapped, 2);
  ASSERT_TRUE(model_.SaveLinks());
  EXPECT_EQ(data_.links, WithFixed({{u"Later", 1, u"UAGYCPP.GYABNT"}, {u"Folder", 3, u"UAGYCPP.GYHBCD"}}));
}

TEST_F(ExportSettings, LinksThatCannotBeReachedLeaveSlotsUnmappedAndStoredLinksAlone) {
  data_.links = {{u"INV", 1, u"UAGYCPP.GYH6CD"}};
  Map(0, u"stale", 1);
  data_.failing = {"Links.Item"};
  EXPECT_TRUE(model_.LoadLinks()) << "an unreadable link is passed over";
  EXPECT_EQ(Slot(0).sourceType, kNotMapped) << "every slot is reset first";
  EXPECT_EQ(Slot(3).sourceType, kNotMapped);

  for (const char* failing : {"get_Links", "Links.Count"}) {
    data_.failing = {failing};
    Map(3, u"kept?", 1);
    EXPECT_FALSE(model_.LoadLinks()) << failing;
    EXPECT_EQ(Slot(3).sourceType, kNotMapped) << failing;
  }

  Map(0, u"AP", 1);
  for (const char* failing : {"get_Links", "Links.RemoveAll"}) {
    data_.failing = {failing};
    EXPECT_FALSE(model_.SaveLinks()) << failing;
    EXPECT_TRUE(data_.calls.empty()) << failing;
    EXPECT_EQ(data_.links, (std::vector<FakeLink>{{u"INV", 1, u"UAGYCPP.GYH6CD"}}));
  }

  CSetupMappingModel no_host;
  EXPECT_FALSE(no_host.LoadLinks());
  EXPECT_FALSE(no_host.SaveLinks());
  EXPECT_FALSE(no_host.LoadCaptureValueNames());
}

TEST_F(ExportSettings, CaptureValueNamesComeThroughEitherInterface) {
  data_.captureValues = {u"Batch Name", u"First Page Original File Name"};
  for (const bool alternate : {false, true}) {
    data_.alternateNamesInterface = alternate;
    ASSERT_TRUE(model_.LoadCaptureValueNames());
    EXPECT_EQ(model_.captureValueNames, data_.captureValues);
  }
  data_.failing = {"get_BatchVariableNames"};
  EXPECT_FALSE(model_.LoadCaptureValueNames());
  EXPECT_TRUE(model_.captureValueNames.empty()) << "emptied before it is filled";
}

TEST_F(ExportSettings, CustomPropertiesReadWithADefaultAndAreReplacedOnWrite) {
  std::u16string text;
  EXPECT_FALSE(ReadCustomProperty(data_, u"serverAPILibrary", &text, u"DEFAULT"));
  EXPECT_EQ(text, u"DEFAULT");
  data_.properties = {{u"serverAPILibrary", u""}};
  EXPECT_TRUE(ReadCustomProperty(data_, u"serverAPILibrary", &text, u"DEFAULT"));
  EXPECT_EQ(text, u"") << "a stored empty value is a value";
  data_.failing = {"get_CustomProperties"};
  EXPECT_FALSE(ReadCustomProperty(data_, u"serverAPILibrary", &text, u"DEFAULT"));
  EXPECT_EQ(text, u"DEFAULT");
  EXPECT_FALSE(WriteCustomProperty(data_, u"serverAPILibrary", u"X"));

  data_.failing.clear();
  data_.properties.clear();
  EXPECT_TRUE(WriteCustomProperty(data_, u"serverAPILibrary", u"XALIB")) << "absent, so simply added";
  EXPECT_TRUE(WriteCustomProperty(data_, u"serverAPILibrary", u"XALIB2"));
  EXPECT_EQ(data_.properties, (decltype(data_.properties){{u"serverAPILibrary", u"XALIB2"}}));

  data_.calls.clear();
  EXPECT_FALSE(WriteCustomProperty(data_, u"", u"X"));
  EXPECT_TRUE(data_.calls.empty());
  data_.failing = {"CustomProperties.Add"};
  EXPECT_FALSE(WriteCustomProperty(data_, u"serverAPILibrary", u"X"));
}

// The General page's "Release each document only once": checked stores
// releaseLedger "1", unchecked removes it, and a switch left as it was
// writes nothing, so a setup without it keeps every byte.
TEST_F(ExportSettings, TheLedgerSwitchIsWrittenOnlyWhenItChanges) {
  using Properties = decltype(data_.properties);
  const auto stored = [&](Properties properties, std::optional<bool> choice) {
    data_.properties = std::move(properties);
    GeneralSettings general;
    EXPECT_TRUE(general.Load(&model_));
    const bool shown = general.releaseLedger.value_or(false);
    if (choice) general.releaseLedger = choice;
    data_.calls.clear();
    EXPECT_TRUE(general.Store(&model_));
    return std::make_pair(shown, data_.properties);
  };
  const Properties library = {{u"serverAPILibrary", u"XALIB"}};
  const Properties on = {{u"serverAPILibrary", u"XALIB"}, {u"releaseLedger", u"1"}};
  EXPECT_EQ(stored(library, std::nullopt), std::make_pair(false, library));
  EXPECT_EQ(stored(library, true), std::make_pair(false, on));
  EXPECT_EQ(stored(on, false), std::make_pair(true, library));
  // Kept as it was (serverAPILibrary, rewritten, moves behind it as ever).
  const Properties kept = {{u"releaseLedger", u"1"}, {u"serverAPILibrary", u"XALIB"}};
  EXPECT_EQ(stored(on, true), std::make_pair(true, kept));
  EXPECT_EQ(std::count(data_.calls.begin(), data_.calls.end(), "CustomProperties.Add releaseLedger"), 0);
  // Anything but "1" is off, as the release reads it; left off, it stays as stored.
  const Properties zero = {{u"releaseLedger", u"0"}, {u"serverAPILibrary", u"XALIB"}};
  EXPECT_EQ(stored(zero, false), std::make_pair(false, zero));
  EXPECT_EQ(stored(zero, true), std::make_pair(false, on));
  // Not loaded, not chosen: a sheet that does not show the switch keeps it.
  data_.properties = on;
  data_.calls.clear();
  EXPECT_TRUE(GeneralSettings{}.Store(&model_));
  std::u16string ledger;
  EXPECT_TRUE(ReadCustomProperty(data_, u"releaseLedger", &ledger, u""));
  EXPECT_EQ(ledger, u"1");
  EXPECT_EQ(std::count(data_.calls.begin(), data_.calls.end(), "CustomProperties.Remove releaseLedger"), 0);

  EXPECT_FALSE(RemoveCustomProperty(data_, u""));
  EXPECT_FALSE(RemoveCustomProperty(data_, u"releaseLedgerX"));
}

}  // namespace
}  // namespace mirdane
