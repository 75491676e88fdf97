#include <gtest/gtest.h>

#include "setup/setup_mapping_model.h"

namespace mirdane {
namespace {

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(model_.BuildCatalogue()); }
  const XAFieldEntry& Slot(int i) const { return model_.slots()[static_cast<std::size_t>(i)]; }
  CSetupMappingModel model_;
};

TEST_F(Catalogue, HoldsEightyColumnsAndFiveSpareSlots) {
  int header = 0, lines = 0;
  for (int i = 0; i < CSetupMappingModel::kSlotCount; ++i) {
    const auto& slot = Slot(i);
    EXPECT_EQ(slot.sourceType, kNotMapped);
    if (i >= 80) {
      EXPECT_EQ(slot.group, kGroupSpare) << i;
      EXPECT_TRUE(slot.identifier.empty());
      continue;
    }
    const auto prefix = slot.identifier.substr(0, 8);
    if (slot.group == kGroupTransactionHeader) {
      ++header;
      EXPECT_EQ(prefix, u"UAGYCPP.") << i;
    } else {
      ++lines;
      EXPECT_EQ(prefix, u"UAG0CPP.") << i;
    }
    EXPECT_EQ(model_.FindByIdentifier(slot.identifier), i) << "identifiers are unique";
  }
  EXPECT_EQ(header, 38);
  EXPECT_EQ(lines, 42);
}

TEST_F(Catalogue, ExactlyTheEightFlaggedSlotsAreRequiredWhateverTheNotesSay) {
  std::vector<int> required;
  for (int i = 0; i < CSetupMappingModel::kSlotCount; ++i) {
    if (Slot(i).required) required.push_back(i);
  }
  EXPECT_EQ(required, (std::vector<int>{0, 1, 2, 3, 4, 13, 38, 52}));
  for (const int date : {10, 11, 12}) {
    EXPECT_EQ(Slot(date).note.rfind(u"Required;", 0), 0u);
    EXPECT_FALSE(Slot(date).required);
  }
}

TEST_F(Catalogue, TextsAreKeptExactly) {
  EXPECT_EQ(Slot(0).caption, u"Extract transaction type");
  EXPECT_EQ(Slot(0).note, u"Required; Bridge transaction type");
  EXPECT_EQ(Slot(10).sqlType, u"DECIMAL(7, 0)");
  EXPECT_EQ(Slot(27).note, u"Blank or \u2019 \u2019 or \u20190\u2019 = Do not have IFM ignore warnings "
                           u"(default).\u20191\u2019 = Have IFM ignore warning messages.");
  EXPECT_EQ(Slot(34).note, u"control value may be required when transaction totals are enforced.");
  EXPECT_EQ(Slot(37).note, u"control value may be required when transaction totals are enforced ");
  EXPECT_EQ(Slot(50).note, u"0 = No, 1 = Yes");
  EXPECT_EQ(Slot(75).note, u"0 = No, 1= yes");
  EXPECT_EQ(Slot(52).caption, u"Prorate charge line code");
  EXPECT_EQ(Slot(79).identifier, u"UAG0CPP.G0CEDM");
  EXPECT_TRUE(Slot(5).note.empty());
}

TEST_F(Catalogue, FindByIdentifierIsExact) {
  EXPECT_EQ(model_.FindByIdentifier(u"UAGYCPP.GYABNT"), 0);
  EXPECT_EQ(model_.FindByIdentifier(u"UAG0CPP.G0CEDM"), 79);
  EXPECT_EQ(model_.FindByIdentifier(u"uagycpp.gyabnt"), -1);
  EXPECT_EQ(model_.FindByIdentifier(u"OriginalFolder"), -1);
  EXPECT_EQ(model_.FindByIdentifier(u""), -1) << "spare slots have no identifier to match";
}

TEST(CatalogueDefineField, RefusesIndicesOutsideTheSlotsAndKeepsTheMapping) {
  CSetupMappingModel model;
  EXPECT_FALSE(model.DefineField(-1, 0, u"A.B", u"c", u"n", u"CHAR(1)", true));
  EXPECT_FALSE(model.DefineField(85, 0, u"A.B", u"c", u"n", u"CHAR(1)", true));
  model.slots()[84].source = u"kept";
  model.slots()[84].sourceType = 2;
  EXPECT_TRUE(model.DefineField(84, 1, u"A.B", u"c", u"n", u"CHAR(1)", true));
  EXPECT_EQ(model.slots()[84].identifier, u"A.B");
  EXPECT_EQ(model.slots()[84].source, u"kept");
  EXPECT_EQ(model.slots()[84].sourceType, 2);
  EXPECT_EQ(model.FindByIdentifier(u"A.B"), 84);
}

}  // namespace
}  // namespace mirdane
