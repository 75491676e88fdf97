#include <gtest/gtest.h>

#include "setup/required_field_check.h"
#include "tests/support/fake_setup_data.h"

namespace mirdane {
namespace {

using test::FakeSetupData;

class RequiredFields : public ::testing::Test {
 protected:
  void SetUp() override {
    model_.BuildCatalogue();
    for (const int slot : {0, 1, 2, 3, 4, 13, 38, 52}) Map(slot, u"X", 1);
    page_.BuildRows();
  }
  void Map(int slot, std::u16string source, std::int32_t type) {
    model_.slots()[static_cast<std::size_t>(slot)].source = std::move(source);
    model_.slots()[static_cast<std::size_t>(slot)].sourceType = type;
  }
  // Runs the check with an answer; gives the texts shown, if any, and the row to go back to.
  MappedRow* Leave(int answer, std::optional<RequiredFieldTexts>* shown,
                   StringLoader strings = LoadSetupString) {
    return CheckRequiredFields(page_, [&](const RequiredFieldTexts& texts) {
      *shown = texts;
      return answer;
    }, strings);
  }

  FakeSetupData data_;
  CSetupMappingModel model_{&data_};
  MappingPage page_{model_};
};

TEST_F(RequiredFields, WhatCountsAsMapped) {
  MappedRow& row = *page_.FindRow(3);
  EXPECT_TRUE(IsRequirementMet(row));
  Map(3, u"", 1);
  EXPECT_FALSE(IsRequirementMet(row)) << "a text constant without text";
  Map(3, u"Transaction type", 0);
  EXPECT_TRUE(IsRequirementMet(row));
  Map(3, u"Folder", 3);
  EXPECT_TRUE(IsRequirementMet(row)) << "any stored source type";
  Map(3, u"", 0);
  EXPECT_FALSE(IsRequirementMet(row)) << "nothing would be saved for it";
  Map(3, u"", -1);
  EXPECT_FALSE(IsRequirementMet(row));
  EXPECT_TRUE(IsRequirementMet(*page_.FindRow(5))) << "not required";
  MappedRow unbound(page_);
  EXPECT_TRUE(IsRequirementMet(unbound));
}

TEST_F(RequiredFields, AllMappedLetsThePageGoWithoutAsking) {
  std::optional<RequiredFieldTexts> shown;
  EXPECT_EQ(Leave(kAnswerMapFields, &shown), nullptr);
  EXPECT_FALSE(shown);
}

TEST_F(RequiredFields, TheFirstUnmetRowInGridOrderIsNamedAsShown) {
  Map(52, u"", -1);
  Map(3, u"", -1);
  std::optional<RequiredFieldTexts> shown;
  EXPECT_EQ(Leave(kAnswerMapFields, &shown), page_.FindRow(3));
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->title, u"Required field not Mapped");
  EXPECT_EQ(shown->instruction,
            u"One or more fields that are marked as 'Required' have not been mapped. What would you like to do?");
  EXPECT_EQ(shown->mapFields,
            u"Map Required Fields\nReturn to the dialog and map the required fields, beginning with "
            u"'Transaction type'.");
  EXPECT_EQ(shown->ignoreRequirement,
            u"Ignore Requirement\nDo not map the Required fields and close this dialog immediately.");

  page_.SetDisplayFieldNames(true);
  Leave(kAnswerMapFields, &shown);
  EXPECT_NE(shown->mapFields.find(u"beginning with 'UAGYCPP.GYH6CD'."), std::u16string::npos);

  EXPECT_EQ(Leave(kAnswerIgnoreRequirement, &shown), nullptr) << "ignoring lets the page go";
  EXPECT_EQ(Leave(0, &shown), page_.FindRow(3)) << "no dialog shown: stay and map";
  EXPECT_EQ(Leave(-1, &shown), page_.FindRow(3)) << "closed some other way";
  EXPECT_EQ(CheckRequiredFields(page_, nullptr, LoadSetupString), page_.FindRow(3))
      << "no dialog at all";
}

TEST_F(RequiredFields, MissingStringsAndPercentSignsInNames) {
  Map(38, u"", -1);
  std::optional<RequiredFieldTexts> shown;
  Leave(kAnswerMapFields, &shown, [](unsigned id) -> std::optional<std::u16string> {
    if (id == kIdsMapRequiredFields) return u"Map %1, not %2; 100%%";
    return std::nullopt;
  });
  EXPECT_EQ(shown->title, u"???");
  EXPECT_EQ(shown->instruction, u"???");
  EXPECT_EQ(shown->ignoreRequirement, u"???");
  EXPECT_EQ(shown->mapFields, u"Map Extract transaction type, not %2; 100%");

  const auto texts = MakeRequiredFieldTexts(u"50% of %1", LoadSetupString);
  EXPECT_NE(texts.mapFields.find(u"beginning with '50% of %1'."), std::u16string::npos)
      << "a name is inserted as it is";
}

}  // namespace
}  // namespace mirdane
