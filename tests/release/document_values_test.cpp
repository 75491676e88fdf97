#include <gtest/gtest.h>

#include <fstream>

#include "base/text.h"
#include "host/batch/batch_values.h"
#include "release/document_values.h"
#include "tests/support/temp_dir.h"

namespace mirdane {
namespace {

using batch::ResolvedValue;

std::shared_ptr<kfx::Values> ValuesOf(std::vector<ResolvedValue> values) {
  return batch::MakeValues(std::move(values));
}

TEST(SplitDestination, TableBeforeTheFirstDotColumnUpToTheSecond) {
  std::u16string table, column;
  SplitDestination(u"UAGYCPP.GYABNT", &table, &column);
  EXPECT_EQ(table, u"UAGYCPP");
  EXPECT_EQ(column, u"GYABNT");
  SplitDestination(u"UAGYCPP.GYABNT.X", &table, &column);
  EXPECT_EQ(column, u"GYABNT");
  SplitDestination(u"OriginalFolder", &table, &column);
  EXPECT_EQ(table, u"OriginalFolder");
  EXPECT_EQ(column, u"");
}

TEST(ChargeLines, RowsExtendTheSetAndTheFirstValueOfAColumnStays) {
  ChargeLineSet lines;
  auto values = ValuesOf({{u"UAG0CPP.A", u"", u"T", {u"1", u"2", u"3"}},
                          {u"UAG0CPP.B", u"", u"T", {u"a", u"b", u"c", u"d", u"e"}},
                          {u"UAG0CPP.A", u"", u"T", {u"x"}},
                          {u"UAG0CPP.E", u"", u"T", {}}});
  for (std::int32_t i = 1; i <= 4; ++i) {
    std::shared_ptr<kfx::Value> value;
    ASSERT_EQ(values->get_Item(Variant::I4(i), &value), 0);
    std::u16string destination, table, column;
    value->get_Destination(&destination);
    SplitDestination(destination, &table, &column);
    EXPECT_TRUE(ReadRowValues(column, *value, lines));
  }
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_TRUE(lines[0].empty());
  EXPECT_EQ(lines[1].at(u"A"), u"1") << "the first value for a column wins within a row";
  EXPECT_EQ(lines[3].at(u"A"), u"3");
  EXPECT_EQ(lines[4].count(u"A"), 0u);
  EXPECT_EQ(lines[5].at(u"B"), u"e");

  ChargeLineSet common;
  AddCommonLineValue(u"G0SSFW", u"1", common);
  AddCommonLineValue(u"G0SSFW", u"0", common);
  AddCommonLineValue(u"G0ABNV", u"9", common);
  ASSERT_EQ(common.size(), 1u);
  EXPECT_EQ(common[0].at(u"G0SSFW"), u"1");
  EXPECT_EQ(common[0].begin()->first, u"G0ABNV") << "ordinal key order";
}

TEST(ChargeLines, ASingleValueCannotBeReadAsRows) {
  ChargeLineSet lines;
  auto values = ValuesOf({{u"UAG0CPP.A", u"v", u"", {}}});
  std::shared_ptr<kfx::Value> value;
  values->get_Item(Variant::I4(1), &value);
  EXPECT_FALSE(ReadRowValues(u"A", *value, lines));
  EXPECT_TRUE(lines.empty());
}

class OriginalFile : public ::testing::Test {
 protected:
  bool Find(const std::u16string& folder, const std::u16string& name,
            const std::u16string& extension, std::u16string* path) {
    auto values = ValuesOf({{u"OriginalFolder", folder, u"", {}},
                            {u"OriginalFileName", name, u"", {}},
                            {u"OriginalFileNameExt", extension, u"", {}}});
    return FindOriginalFile(*values, path);
  }
  void Touch(const std::string& relative) {
    std::filesystem::create_directories((dir_.path() / relative).parent_path());
    std::ofstream(dir_.path() / relative) << "x";
  }
  std::u16string Dir(const std::string& relative = "") {
    return Utf8ToUtf16((relative.empty() ? dir_.path() : dir_.path() / relative).string());
  }
  test::TempDir dir_;
};

TEST_F(OriginalFile, TheExtensionReplacesTheFileNamesOwn) {
  Touch("a.pdf");
  Touch("a.tif");
  std::u16string path;
  ASSERT_TRUE(Find(Dir(), u"a.tif", u"pdf", &path));
  EXPECT_EQ(path, Dir() + u"/a.pdf");
  ASSERT_TRUE(Find(Dir() + u"/", u"a.tif", u"", &path));
  EXPECT_EQ(path, Dir() + u"/a.tif") << "one separator between folder and name";
  ASSERT_TRUE(Find(Dir(), u"a", u".pdf", &path));
  EXPECT_EQ(path, Dir() + u"/a.pdf");
}

TEST_F(OriginalFile, ADotInTheFolderIsNotTheExtensionsDot) {
  Touch("Batch.7/doc.tif");
  std::u16string path;
  ASSERT_TRUE(Find(Dir("Batch.7"), u"doc", u"tif", &path));
  EXPECT_EQ(path, Dir("Batch.7") + u"/doc.tif");
}

TEST_F(OriginalFile, NothingIsFoundWithoutFolderNameOrFile) {
  std::u16string path = u"unchanged";
  EXPECT_FALSE(Find(Dir(), u"missing", u"tif", &path));
  EXPECT_FALSE(Find(u"", u"a", u"tif", &path));
  EXPECT_FALSE(Find(Dir(), u"", u"tif", &path));
  EXPECT_FALSE(Find(Dir(), std::u16string(300, u'a'), u"", &path)) << "too long a path";
  EXPECT_EQ(path, u"unchanged");
}

}  // namespace
}  // namespace mirdane
