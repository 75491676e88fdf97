#include <gtest/gtest.h>

#include <fstream>

#include "base/text.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_values.h"
#include "host/batch/json_lines.h"
#include "tests/support/temp_dir.h"

namespace mirdane::batch {
namespace {

class BatchFileTest : public ::testing::Test {
 protected:
  BatchFile Load(const std::string& text) {
    const auto path = dir_.path() / "batch.json";
    std::ofstream(path, std::ios::binary) << text;
    return LoadBatchFile(path);
  }
  std::string Refusal(const std::string& text) {
    try {
      Load(text);
    } catch (const BatchFileError& error) {
      return error.what();
    }
    return "(accepted)";
  }
  std::string At(int line) const { return (dir_.path() / "batch.json").string() + ":" + std::to_string(line) + ": "; }
  test::TempDir dir_;
};

TEST_F(BatchFileTest, EveryMemberIsOptional) {
  const auto batch = Load("{}");
  EXPECT_TRUE(batch.documents.empty());
  EXPECT_TRUE(batch.setup.links.empty());
  EXPECT_EQ(Load("\xEF\xBB\xBF{\"documents\": [{}]}").documents.size(), 1u) << "a byte order mark";
  EXPECT_EQ(Load("{\"setup\": null}").setup.name, u"");
}

TEST_F(BatchFileTest, RefusalsNameTheFileTheLineAndTheProblem) {
  EXPECT_EQ(Refusal("{\n  \"setup\": {\n    \"links\": [\n      {\"source\": \"A\", \"sourceType\": 7}\n    ]\n  }\n}"),
            At(4) + "setup.links[0].sourceType: expected 0 (index field), 1 (text constant), 2 "
                    "(capture value) or 3 (batch field), found 7");
  EXPECT_EQ(Refusal("{\n\"documents\": [\n {},\n {\"indexFields\": {\"Vendor\": 12}}\n]}"),
            At(4) + "documents[1].indexFields.Vendor: expected a text, found a number");
  EXPECT_EQ(Refusal("{\"documents\": [{\"tables\": {\"Lines\": {\"Qty\": [\"1\",\n 2]}}}]}"),
            At(2) + "documents[0].tables.Lines.Qty[1]: expected a text, found a number");
  EXPECT_EQ(Refusal("{\"documents\": {}}"), At(1) + "documents: expected a list, found an object");
  EXPECT_EQ(Refusal("[]"), At(1) + "the file: expected a JSON object, found a list");
  EXPECT_EQ(Refusal("{\n\"setup\": {\"name\": \"a\",\n\"name\": \"b\"}}"),
            At(3) + "not valid JSON: the member \"name\" appears twice in the same object");
  const std::string broken = Refusal("{\n  \"setup\": {\n    \"name\": \"x\"\n    \"password\": \"y\"\n}}");
  EXPECT_EQ(broken.rfind(At(4) + "not valid JSON: ", 0), 0u) << broken;
  EXPECT_NE(Refusal("").find("not valid JSON"), std::string::npos);
  EXPECT_EQ(Refusal("\xEF\xBB\xBF\xEF\xBB\xBF{}"),
            At(1) + "not valid JSON: a second byte order mark where the JSON must begin");
}

TEST_F(BatchFileTest, AMissingFileIsRefused) {
  try {
    LoadBatchFile(dir_.path() / "nope.json");
    FAIL();
  } catch (const BatchFileError& error) {
    EXPECT_NE(std::string(error.what()).find("nope.json: cannot be read"), std::string::npos);
  }
}

TEST_F(BatchFileTest, UnknownMembersAreNotedNotRefused) {
  const auto batch = Load("{\n\"documents\": [{\n\"indexField\": {}}]}");
  ASSERT_EQ(batch.notes.size(), 1u);
  EXPECT_EQ(batch.notes[0], At(3) + "the member \"indexField\" is not part of a batch file and was ignored");
}

TEST_F(BatchFileTest, LinksResolveToValuesAsTheHostResolvesThem) {
  const auto batch = Load(R"({"setup": {"links": [
      {"source": "Vendor", "sourceType": 0, "destination": "UAGYCPP.GYHBCD"},
      {"source": "Qty", "sourceType": 0, "destination": "UAG0CPP.G0AAQT"},
      {"source": "AP", "sourceType": 1, "destination": "UAGYCPP.GYABNT"},
      {"source": "Batch Name", "sourceType": 2, "destination": "UAGYCPP.GYDHNA"},
      {"source": "Folder", "sourceType": 3, "destination": "OriginalFolder"},
      {"source": "Absent", "sourceType": 0, "destination": "UAGYCPP.GYALNA"}]},
    "documents": [{"indexFields": {"Vendor": "V1"}, "tables": {"Lines": {"Qty": ["1", "2"]}},
                   "captureValues": {"Batch Name": "B-17"}, "batchFields": {"Folder": "/in"}}]})");
  const auto values = ResolveValues(batch.setup, batch.documents[0]);
  ASSERT_EQ(values.size(), 6u);
  EXPECT_EQ(values[0].text, u"V1");
  EXPECT_TRUE(values[0].tableName.empty());
  EXPECT_EQ(values[1].tableName, u"Lines");
  EXPECT_EQ(values[1].rows, (std::vector<std::u16string>{u"1", u"2"}));
  // Resolved for release, the rows stay in (and keep alive) the document.
  auto document = std::make_shared<const DocumentRecord>(batch.documents[0]);
  const auto shared = ResolveValues(batch.setup, document);
  document.reset();
  EXPECT_EQ(shared[1].Rows(), values[1].rows);
  EXPECT_EQ(values[2].text, u"AP");
  EXPECT_EQ(values[3].text, u"B-17");
  EXPECT_EQ(values[4].text, u"/in");
  EXPECT_EQ(values[5].text, u"");
}

TEST_F(BatchFileTest, HostObjectsInsistOnTheKeyTypesTheHostExpects) {
  auto values = MakeValues({{u"UAG0CPP.G0AAQT", u"", u"Lines", {u"1"}}});
  std::shared_ptr<kfx::Value> value;
  EXPECT_EQ(values->get_Item(Variant::Int(1), &value), hr::kTypeMismatch);
  ASSERT_EQ(values->get_Item(Variant::I4(1), &value), hr::kOk);
  EXPECT_EQ(values->get_Item(Variant::I4(2), &value), hr::kBadIndex);
  ASSERT_EQ(values->get_Item(Variant::Text(u"UAG0CPP.G0AAQT"), &value), hr::kOk);
  std::shared_ptr<Object> rows;
  EXPECT_EQ(value->get_RowValues(Variant::I4(0), &rows), hr::kTypeMismatch);
  ASSERT_EQ(value->get_RowValues(Variant::Int(0), &rows), hr::kOk);
  std::shared_ptr<kfx::RowValues> typed;
  ASSERT_EQ(QueryInterfaceAs(rows, &typed), hr::kOk);
  std::shared_ptr<kfx::VariableNames> wrong;
  EXPECT_EQ(QueryInterfaceAs(rows, &wrong), hr::kNoInterface);
}

TEST_F(BatchFileTest, NestingIsLimitedAndTheRefusalSaysWhere) {
  // As deep as the reader takes: nested lists under an unknown member.
  std::string fits = "{\"x\": " + std::string(kMaxJsonDepth - 1, '[') +
                     std::string(kMaxJsonDepth - 1, ']') + "}";
  EXPECT_EQ(Load(fits).notes.size(), 1u);

  std::string deeper = "{\n\"x\":\n" + std::string(kMaxJsonDepth, '[') +
                       std::string(kMaxJsonDepth, ']') + "}";
  EXPECT_EQ(Refusal(deeper), At(3) + "not valid JSON: lists and objects are nested deeper than " +
                                 std::to_string(kMaxJsonDepth) + " levels");
  // Far deeper than any stack holds, and never closed: refused all the same.
  EXPECT_NE(Refusal(std::string(1000000, '[')).find("nested deeper than"), std::string::npos);
  std::string objects;
  for (int i = 0; i < 200000; ++i) objects += "{\"a\":";
  EXPECT_NE(Refusal(objects).find("nested deeper than"), std::string::npos);
}

TEST_F(BatchFileTest, ManyMembersAndLinksAreReadInOrder) {
  // Lookups by name must not walk every member again for each one: a file
  // this large took minutes when they did.
  constexpr int kCount = 200000;
  std::string text = "{\"setup\": {\"customProperties\": {";
  for (int i = 0; i < kCount; ++i) {
    text += (i ? ",\n\"p" : "\n\"p") + std::to_string(i) + "\": \"v" + std::to_string(i) + "\"";
  }
  text += "},\n\"links\": [";
  for (int i = 0; i < kCount; ++i) {
    text += (i ? ",\n" : "\n") + std::string("{\"source\": \"f") + std::to_string(i) +
            "\", \"destination\": \"D" + std::to_string(i) + "\"}";
  }
  text += "]},\n\"documents\": [{\"indexFields\": {";
  for (int i = 0; i < kCount; ++i) {
    text += (i ? ", \"f" : "\"f") + std::to_string(i) + "\": \"x" + std::to_string(i) + "\"";
  }
  text += "},\n\"tables\": {\"Lines\": {";
  for (int i = 0; i < kCount; ++i) {
    text += (i ? ", \"c" : "\"c") + std::to_string(i) + "\": [\"" + std::to_string(i) + "\"]";
  }
  text += "}},\n\"pages\": 1}]}";
  const auto batch = Load(text);
  ASSERT_EQ(batch.setup.customProperties.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(batch.setup.customProperties[kCount - 1].first, u"p199999");
  EXPECT_EQ(batch.setup.customProperties[kCount - 1].second, u"v199999");
  ASSERT_EQ(batch.notes.size(), 1u);
  ASSERT_EQ(batch.documents[0].tables.at(0).columns.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(batch.documents[0].tables[0].columns[kCount - 1].second,
            std::vector<std::u16string>{u"199999"});
  EXPECT_EQ(batch.notes[0], At(kCount * 2 + 5) +
                                "the member \"pages\" is not part of a batch file and was ignored");
  const auto values = ResolveValues(batch.setup, batch.documents[0]);
  ASSERT_EQ(values.size(), static_cast<std::size_t>(kCount));
  EXPECT_EQ(values[12345].text, u"x12345");
  EXPECT_EQ(values[kCount - 1].text, u"x199999");
}

TEST_F(BatchFileTest, RefusalsInsideNamesWithSlashesPointAtTheirLine) {
  EXPECT_EQ(Refusal("{\"documents\": [{\"indexFields\": {\n\"a/b~c\": 1}}]}"),
            At(2) + "documents[0].indexFields.a/b~c: expected a text, found a number");
}

}  // namespace
}  // namespace mirdane::batch
