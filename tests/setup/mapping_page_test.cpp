#include <gtest/gtest.h>

#include "base/text.h"
#include "setup/mapping_page.h"
#include "tests/support/fake_setup_data.h"

namespace mirdane {
namespace {

using test::FakeSetupData;

class MappingPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_.indexFields = {u"Vendor", u"Total"};
    data_.captureValues = {u"Batch Name", u"Vendor"};
    data_.links = {{u"AP", 1, u"UAGYCPP.GYABNT"}, {u"Vendor", 0, u"UAGYCPP.GYHBCD"}};
    Open();
  }
  void Open() {
    model_.BuildCatalogue();
    model_.LoadLinks();
    model_.LoadCaptureValueNames();
    page_.BuildRows();
  }
  MappedRow& Row(int slot) { return *page_.FindRow(slot); }
  const XAFieldEntry& Slot(int slot) { return model_.slots()[static_cast<std::size_t>(slot)]; }
  // Opens the row's menu and gives the submenu titled `title` (or the menu itself).
  MenuItem Menu(int slot, const std::u16string& title = u"") {
    auto menu = page_.OpenMenu(Row(slot));
    if (title.empty()) return *menu;
    for (const auto& item : menu->items) {
      if (item.text == title) return item;
    }
    return {};
  }
  bool HasSubmenu(int slot, const std::u16string& title) {
    const auto menu = page_.OpenMenu(Row(slot));
    for (const auto& item : menu->items) {
      if (item.text == title) return true;
    }
    return false;
  }

  FakeSetupData data_;
  CSetupMappingModel model_{&data_};
  MappingPage page_{model_};
};

TEST_F(MappingPageTest, TheGridHoldsTheTwoTablesInSlotOrder) {
  ASSERT_EQ(page_.groups().size(), 2u) << "no \"Other Details\" group";
  EXPECT_EQ(page_.groups()[0].title, u"UAGYCPP - Transaction Header");
  EXPECT_EQ(page_.groups()[1].title, u"UAG0CPP - Charge line");
  EXPECT_EQ(page_.groups()[0].rows.size(), 38u);
  EXPECT_EQ(page_.groups()[1].rows.size(), 42u);
  EXPECT_EQ(page_.groups()[1].rows.front()->slot(), 38);
  EXPECT_EQ(page_.groups()[1].rows.back()->slot(), 79);
  EXPECT_EQ(page_.FindRow(80), nullptr);
}

TEST_F(MappingPageTest, ARowShowsItsSlot) {
  MappedRow& row = Row(0);
  EXPECT_EQ(row.name(), u"Extract transaction type");
  EXPECT_EQ(row.value(), u"AP");
  EXPECT_EQ(row.description(), u"UAGYCPP.GYABNT - CHAR(10)\nRequired; Bridge transaction type");
  EXPECT_TRUE(row.editable()) << "a stored text constant can be typed over";
  EXPECT_TRUE(row.required());
  EXPECT_FALSE(Row(6).editable());
  EXPECT_EQ(Row(6).value(), u"Vendor");
  EXPECT_EQ(Row(5).description(), u"UAGYCPP.GYALNB - CHAR(14)\n");

  page_.SetDisplayFieldNames(true);
  EXPECT_EQ(Row(38).name(), u"UAG0CPP.G0ABNT");
  page_.SetDisplayFieldNames(false);
  EXPECT_EQ(Row(38).name(), u"Extract transaction type");
  EXPECT_EQ(Slot(0).source, u"AP") << "names change, the mapping does not";

  MappedRow loose(page_);
  EXPECT_FALSE(loose.BindToSlot(-1));
  EXPECT_FALSE(loose.BindToSlot(85));
  EXPECT_FALSE(loose.BindToSlot(84)) << "a spare slot";
  EXPECT_TRUE(loose.BindToSlot(3));
  EXPECT_EQ(loose.name(), u"Transaction type");
}

TEST_F(MappingPageTest, MenuCommandsChangeTheTargetSlotOnly) {
  page_.OnCommand(kCommandNoMapping);
  EXPECT_EQ(Slot(0).source, u"AP") << "no menu open, no target";

  Menu(3);
  EXPECT_EQ(page_.menuTarget(), &Row(3));
  page_.OnCommand(kCommandIndexFieldBase + 2);
  EXPECT_EQ(Slot(3).source, u"Total");
  EXPECT_EQ(Slot(3).sourceType, 0);
  EXPECT_EQ(Row(3).value(), u"Total");
  EXPECT_EQ(page_.menuTarget(), nullptr);

  for (const int ignored : {kCommandIndexFieldBase, kCommandIndexFieldBase + 3,
                            kCommandFirstCaptureValue + 2, kCommandIndexFieldBase + 256}) {
    Menu(3);
    page_.OnCommand(ignored);
    EXPECT_EQ(Slot(3).source, u"Total") << ignored;
  }
  data_.failing = {"IndexFields.Item"};
  Menu(3);
  page_.OnCommand(kCommandIndexFieldBase + 1);
  EXPECT_EQ(Slot(3).source, u"Total") << "an index field that cannot be fetched";
  data_.failing.clear();

  Menu(3);
  page_.OnCommand(kCommandFirstCaptureValue + 1);
  EXPECT_EQ(Slot(3).source, u"Vendor");
  EXPECT_EQ(Slot(3).sourceType, 2);

  Menu(0);
  page_.OnCommand(kCommandTextConstant);
  EXPECT_EQ(Slot(0).source, u"") << "a constant already there is cleared";
  EXPECT_EQ(Slot(0).sourceType, 1);
  EXPECT_TRUE(Row(0).EndEdit(u"CRN"));
  EXPECT_EQ(Slot(0).source, u"CRN");

  Menu(0);
  page_.OnCommand(kCommandNoMapping);
  EXPECT_EQ(Slot(0).sourceType, kNotMapped);
  EXPECT_EQ(Row(0).value(), u"");
  EXPECT_FALSE(Row(0).editable());
  EXPECT_FALSE(Row(0).EndEdit(u"typed")) << "only a text constant takes typing";
  EXPECT_EQ(Slot(0).source, u"");
}

TEST_F(MappingPageTest, TheMenuChecksWhatTheSlotIsMappedTo) {
  const MenuItem top = Menu(6);
  ASSERT_EQ(top.items.size(), 4u);
  EXPECT_EQ(top.items[0].text, u"Text Constant");
  EXPECT_FALSE(top.items[0].checked);
  EXPECT_EQ(top.items[1].text, u"No Mapping");
  EXPECT_FALSE(top.items[1].checked);
  const MenuItem fields = Menu(6, u"Document Index Fields");
  ASSERT_EQ(fields.items.size(), 2u);
  EXPECT_TRUE(fields.items[0].checked) << "mapped to the index field Vendor";
  EXPECT_EQ(fields.items[0].command, kCommandIndexFieldBase + 1);
  EXPECT_FALSE(fields.items[1].checked);
  const MenuItem values = Menu(6, u"Kofax Capture Values");
  EXPECT_EQ(values.items[1].text, u"Vendor");
  EXPECT_FALSE(values.items[1].checked) << "a capture value is never checked";
  EXPECT_EQ(values.items[1].command, kCommandFirstCaptureValue + 1);
  // A capture value or a text constant that bears an index field's name is not that field.
  for (const auto type : {kfx::KFX_REL_VARIABLE, kfx::KFX_REL_TEXTCONSTANT}) {
    model_.slots()[6].sourceType = type;
    EXPECT_FALSE(Menu(6, u"Document Index Fields").items[0].checked) << "source type " << type;
  }
  model_.slots()[6].sourceType = kfx::KFX_REL_INDEXFIELD;

  EXPECT_TRUE(Menu(0).items[0].checked) << "Text Constant";
  EXPECT_TRUE(Menu(5).items[1].checked) << "No Mapping";

  data_.indexFields.clear();
  EXPECT_TRUE(Menu(6, u"Document Index Fields").items.empty()) << "present, though empty";
  data_.failing = {"get_IndexFields"};
  EXPECT_FALSE(HasSubmenu(6, u"Document Index Fields"));
  model_.captureValueNames.clear();
  EXPECT_FALSE(HasSubmenu(6, u"Kofax Capture Values"));
}

TEST_F(MappingPageTest, ListsLongerThanTheCommandRangesAreCutWithANote) {
  data_.indexFields.clear();
  model_.captureValueNames.clear();
  for (int i = 1; i <= 300; ++i) data_.indexFields.push_back(U16("field " + std::to_string(i)));
  for (int n = 0; n < 260; ++n) model_.captureValueNames.push_back(U16("value " + std::to_string(n)));

  const MenuItem fields = Menu(6, u"Document Index Fields");
  ASSERT_EQ(fields.items.size(), 256u);
  EXPECT_EQ(fields.items[254].command, kCommandIndexFieldBase + 255);
  EXPECT_EQ(fields.items[255].text, u"(45 more not listed)");
  EXPECT_FALSE(fields.items[255].enabled);
  EXPECT_EQ(fields.items[255].command, 0);

  const MenuItem values = Menu(6, u"Kofax Capture Values");
  ASSERT_EQ(values.items.size(), 257u);
  EXPECT_EQ(values.items[256].text, u"(4 more not listed)");
  for (const auto& item : values.items) {
    EXPECT_LT(item.command, kCommandIndexFieldBase) << "no capture value may reach into the index field range";
  }
  page_.OnCommand(values.items[255].command);
  EXPECT_EQ(Slot(6).source, u"value 255");
  Menu(6);
  page_.OnCommand(fields.items[254].command);
  EXPECT_EQ(Slot(6).source, u"field 255");
}

TEST(MappingMenuCommands, AreExactlyTheCommandsTheMenuCanSend) {
  // The Windows page hands these, and only these, to OnCommand.
  for (const int command : {kCommandTextConstant, kCommandNoMapping, kCommandFirstCaptureValue,
                            kCommandFirstCaptureValue + 255, kCommandIndexFieldBase + 1,
                            kCommandIndexFieldBase + 255}) {
    EXPECT_TRUE(IsMappingMenuCommand(command)) << command;
  }
  for (const int command : {0, 1, 32778, kCommandFirstCaptureValue - 1, kCommandIndexFieldBase,
                            kCommandIndexFieldBase + 256, kControlDisplayFieldNames}) {
    EXPECT_FALSE(IsMappingMenuCommand(command)) << command;
  }
}

}  // namespace
}  // namespace mirdane
