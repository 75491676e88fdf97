#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "host/batch/atomic_file.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_setup_data.h"
#include "tests/support/temp_dir.h"

namespace mirdane::batch {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::stringstream text;
  text << stream.rdbuf();
  return text.str();
}

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Everything from the "documents" member on: what applying a setup must not touch.
std::string Documents(const std::string& text) { return text.substr(text.find("\"documents\"")); }

constexpr char kBatch[] = R"({
  "batchClass": "AP",
  "setup": {
    "name": "old",
    "future": { "kept": [1,   2] },
    "indexFields": ["Vendor",
                    "Total"],
    "links": [ { "source": "X", "sourceType": 0, "destination": "UAGYCPP.GYZZZZ" } ]
  },
  "documents": [ { "indexFields": {"Vendor":   "V1"} } ]
}
)";

class BatchSetup : public ::testing::Test {
 protected:
  fs::path File(const std::string& text) {
    const fs::path path = dir_.path() / "batch.json";
    Write(path, text);
    return path;
  }
  test::TempDir dir_;
};

TEST_F(BatchSetup, NothingIsWrittenBeforeApplyAndApplyTouchesOnlyTheSetupMembers) {
  const fs::path path = File(kBatch);
  BatchSetupData data(LoadBatchFile(path));
  data.put_Password(u"p\u00e4ss \"quoted\"");
  std::shared_ptr<kfx::Links> links;
  ASSERT_EQ(data.get_Links(&links), hr::kOk);
  links->RemoveAll();
  links->Add(u"AP", 1, u"UAGYCPP.GYABNT");
  std::shared_ptr<kfx::CustomProperties> properties;
  data.get_CustomProperties(&properties);
  properties->Add(u"serverAPILibrary", u"");
  EXPECT_EQ(Read(path), kBatch);

  ASSERT_EQ(data.Apply(), hr::kOk);
  const std::string written = Read(path);
  EXPECT_EQ(Documents(written), Documents(kBatch));
  EXPECT_NE(written.find(R"("future": { "kept": [1,   2] })"), std::string::npos) << written;
  EXPECT_NE(written.find("\"indexFields\": [\"Vendor\",\n                    \"Total\"]"), std::string::npos);

  const BatchFile again = LoadBatchFile(path);
  EXPECT_EQ(again.setup.name, u"old");
  EXPECT_EQ(again.setup.password, u"p\u00e4ss \"quoted\"");
  ASSERT_EQ(again.setup.links.size(), 1u);
  EXPECT_EQ(again.setup.links[0].destination, u"UAGYCPP.GYABNT");
  EXPECT_EQ(again.setup.customProperties, (NamedTexts{{u"serverAPILibrary", u""}}));
  EXPECT_EQ(again.setup.indexFields, (std::vector<std::u16string>{u"Vendor", u"Total"}));
  EXPECT_EQ(data.applyCount(), 1);
  EXPECT_EQ(fs::directory_iterator(dir_.path())->path().filename(), "batch.json");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1)
      << "no temporary file left";
}

TEST_F(BatchSetup, FilesWithoutASetupOrWithOtherLayoutsStayReadable) {
  for (const std::string& text : {std::string("{\"documents\": []}"), std::string("{}"),
                                 std::string("\xEF\xBB\xBF{\r\n  \"setup\": {},\r\n  \"documents\": []\r\n}\r\n"),
                                 std::string("{\"setup\":null,\"documents\":[]}"),
                                 std::string("{\"setup\":{\"name\":\"n\"},\"documents\":[]}")}) {
    const fs::path path = File(text);
    BatchSetupData data(LoadBatchFile(path));
    data.put_UserName(u"U");
    ASSERT_EQ(data.Apply(), hr::kOk) << data.applyError();
    const std::string written = Read(path);
    const BatchFile again = LoadBatchFile(path);
    EXPECT_EQ(again.setup.userName, u"U") << written;
    EXPECT_EQ(again.setup.links.size(), 0u);
    if (text.find("\r\n") != std::string::npos) {
      EXPECT_EQ(written.rfind("\xEF\xBB\xBF", 0), 0u);
      for (std::size_t at = written.find('\n'); at != std::string::npos; at = written.find('\n', at + 1)) {
        EXPECT_EQ(written[at - 1], '\r') << "line breaks stay CRLF: " << written;
      }
    }
  }
}

TEST_F(BatchSetup, TheHostObjectsAreStrictAboutKeysAndSourceTypes) {
  const fs::path path = File(kBatch);
  BatchSetupData data(LoadBatchFile(path));
  std::shared_ptr<kfx::Links> links;
  data.get_Links(&links);
  std::shared_ptr<kfx::Link> link;
  EXPECT_EQ(links->get_Item(Variant::Int(1), &link), hr::kTypeMismatch);
  EXPECT_EQ(links->get_Item(Variant::I4(2), &link), hr::kBadIndex);
  ASSERT_EQ(links->get_Item(Variant::I4(1), &link), hr::kOk);
  std::u16string destination;
  link->get_Destination(&destination);
  EXPECT_EQ(destination, u"UAGYCPP.GYZZZZ");
  EXPECT_EQ(links->Add(u"X", 4, u"UAGYCPP.GYABNT"), hr::kInvalidArg) << "the file knows types 0 to 3";
  EXPECT_EQ(links->Add(u"X", -1, u"UAGYCPP.GYABNT"), hr::kInvalidArg);

}

TEST_F(BatchSetup, AFailedApplyIsReportedAndLeavesTheFileAsItWas) {
  const fs::path path = File(kBatch);
  BatchSetupData data(LoadBatchFile(path));
  Write(path, "{ not json");
  EXPECT_EQ(data.Apply(), hr::kFail);
  EXPECT_NE(data.applyError().find("not valid JSON"), std::string::npos);
  EXPECT_EQ(Read(path), "{ not json");
  fs::remove(path);
  EXPECT_EQ(data.Apply(), hr::kFail);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(data.applyCount(), 0);

  EXPECT_THROW(ReplaceFileAtomically(dir_.path() / "missing" / "file.json", "x"), BatchFileError);
}

TEST_F(BatchSetup, ReplacingAFileKeepsItsPermissionsAndFollowsALink) {
  const fs::path path = File("old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::path link = dir_.path() / "link.json";
  fs::create_symlink(path, link);
  ReplaceFileAtomically(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(path), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace mirdane::batch
