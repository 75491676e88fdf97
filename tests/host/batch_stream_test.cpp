// A batch file read one document at a time: the same documents and the same
// refusals as reading it whole, every refusal before the first document is
// handed out, and the documents read again from the file that was checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "host/batch/batch_file.h"
#include "tests/support/temp_dir.h"

namespace mirdane::batch {
namespace {

class BatchStreamTest : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& text, const char* name = "batch.json") {
    const auto path = dir_.path() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return path;
  }
  static std::vector<DocumentRecord> Visit(BatchFileReader& reader) {
    std::vector<DocumentRecord> seen;
    reader.ForEachDocument([&seen](const DocumentRecord& document) {
      seen.push_back(document);
      return true;
    });
    return seen;
  }
  test::TempDir dir_;
};

const char kBatch[] = R"({"setup": {"name": "AP", "links": [
  {"source": "Vendor", "sourceType": 0, "destination": "UAGYCPP.GYHBCD"}]},
 "documents": [
  {"pdfFileName": "a.pdf", "indexFields": {"Vendor": "V1"}},
  {"pdfFileName": "b.pdf",
   "tables": {"Lines": {"Qty": ["1", "2"]}}, "extra": 1},
  {}
 ],
 "batchClass": "Invoices"})";

TEST_F(BatchStreamTest, DocumentsComeOneAtATimeAsReadingTheWholeFileGivesThem) {
  const auto path = Write(kBatch);
  const BatchFile whole = LoadBatchFile(path);
  BatchFileReader reader(path);
  EXPECT_TRUE(reader.file().documents.empty());
  EXPECT_EQ(reader.documentCount(), 3u);
  EXPECT_EQ(reader.file().setup.name, u"AP");
  EXPECT_EQ(reader.file().batchClass, u"Invoices") << "a member after the documents";
  EXPECT_EQ(reader.file().notes, whole.notes);

  const auto seen = Visit(reader);
  ASSERT_EQ(seen.size(), whole.documents.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].number, whole.documents[i].number);
    EXPECT_EQ(seen[i].line, whole.documents[i].line);
    EXPECT_EQ(seen[i].pdfFileName, whole.documents[i].pdfFileName);
    EXPECT_EQ(seen[i].indexFields, whole.documents[i].indexFields);
    ASSERT_EQ(seen[i].tables.size(), whole.documents[i].tables.size());
    for (std::size_t t = 0; t < seen[i].tables.size(); ++t) {
      EXPECT_EQ(seen[i].tables[t].columns, whole.documents[i].tables[t].columns);
    }
  }
  EXPECT_EQ(seen[1].line, 5);
  EXPECT_EQ(whole.notes.size(), 1u) << "the unknown member \"extra\"";

  // Read again from the start, and stopped when the visitor says so.
  std::size_t visited = 0;
  reader.ForEachDocument([&visited](const DocumentRecord&) { return ++visited < 2; });
  EXPECT_EQ(visited, 2u);
}

TEST_F(BatchStreamTest, EveryRefusalComesBeforeAnyDocumentIsHandedOut) {
  for (const std::string& text : {
           std::string("{\"documents\": [{}, {\"indexFields\": {\"Vendor\": 12}}]}"),
           std::string("{\"documents\": [{}, {}], \"setup\": {\"name\": 1}}"),
           std::string("{\"documents\": [{}, {}]"),
           std::string("{\"documents\": [{}, 7]}"),
       }) {
    const auto path = Write(text);
    std::string whole, streamed;
    try {
      LoadBatchFile(path);
    } catch (const BatchFileError& error) {
      whole = error.what();
    }
    try {
      BatchFileReader reader(path);
    } catch (const BatchFileError& error) {
      streamed = error.what();
    }
    EXPECT_FALSE(whole.empty()) << text;
    EXPECT_EQ(streamed, whole) << text;
  }
  // Malformed JSON after a document in error is named first, as it always was.
  const auto path = Write("{\"documents\": [{\"indexFields\": 1}],\n\"setup\": }");
  try {
    BatchFileReader reader(path);
    FAIL();
  } catch (const BatchFileError& error) {
    EXPECT_NE(std::string(error.what()).find(":2: not valid JSON"), std::string::npos)
        << error.what();
  }
}

// The documents are read again from the file that was checked: one renamed
// over it meanwhile is not read, and one changed in place is refused where
// it no longer reads.
TEST_F(BatchStreamTest, TheDocumentsAreReadAgainFromTheFileThatWasChecked) {
  const auto path = Write(kBatch);
  BatchFileReader reader(path);
  std::filesystem::rename(Write("{\"documents\": []}", "other.json"), path);
  EXPECT_EQ(Visit(reader).size(), 3u);

  const auto changed = Write(kBatch, "changed.json");
  BatchFileReader checked(changed);
  {
    std::fstream in_place(changed, std::ios::binary | std::ios::in | std::ios::out);
    in_place.seekp(static_cast<std::streamoff>(std::string(kBatch).find("\"b.pdf\"")));
    in_place << "12345  ";
  }
  try {
    Visit(checked);
    FAIL() << "a changed document was read";
  } catch (const BatchFileError& error) {
    const std::string what = error.what();
    EXPECT_NE(what.find("documents[1].pdfFileName: expected a text, found a number"),
              std::string::npos)
        << what;
    EXPECT_NE(what.find("changed after it was checked"), std::string::npos) << what;
  }
}

}  // namespace
}  // namespace mirdane::batch
