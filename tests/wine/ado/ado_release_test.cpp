// A batch released by the release script, as the host's Release module does,
// into the bridge tables through Wine's ADO: the document fails with the
// release's own message, the process goes on, and nothing is stored. The
// same batch over ODBC is released.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "base/system_message.h"
#include "base/text.h"
#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "host/batch/host_log.h"
#include "tests/wine/ado/wine_data_source.h"

namespace mirdane::test {
namespace {

constexpr HRESULT kNotImplemented = static_cast<HRESULT>(0x80004001);

class WineAdoRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    dsn_ = WineDataSourceName();
    ASSERT_FALSE(dsn_.empty());
    ResetTables(dsn_);
    directory_ = std::filesystem::temp_directory_path() /
                 ("mirdane-ado-release-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  // Releases a batch of one document with two charge lines into library MAIN
  // of `server`; answers the document's result and the status messages.
  kfx::KfxReturnValue Release(const std::u16string& server, std::string* status) {
    const auto path = directory_ / "batch.json";
    std::ofstream(path, std::ios::binary) << R"({
      "setup": {
        "connectString": ")" + Utf16ToUtf8(server) + R"(",
        "customProperties": { "serverAPILibrary": "MAIN" },
        "links": [
          { "source": "AP", "sourceType": 1, "destination": "UAGYCPP.GYABNT" },
          { "source": "Vendor", "sourceType": 0, "destination": "UAGYCPP.GYHBCD" },
          { "source": "Amount", "sourceType": 0, "destination": "UAG0CPP.G0ABN4" }
        ],
        "indexFields": ["Vendor", "Amount"]
      },
      "documents": [
        { "indexFields": { "Vendor": "V1001" },
          "tables": { "Lines": { "Amount": ["10.00", "20.50"] } } }
      ]
    })";
    const batch::BatchFile file = batch::LoadBatchFile(path);
    batch::HostLog log(directory_ / "log", [status](const std::string& text) { *status += text; });
    kfx::KfxReturnValue result = kfx::KFX_REL_UNSUPPORTED;
    batch::ReleaseHooks hooks;
    hooks.after = [&result](const batch::DocumentRecord&, kfx::KfxReturnValue answer) {
      result = answer;
    };
    const std::size_t released = batch::ReleaseDocuments(file, log, hooks);
    EXPECT_EQ(released, result == kfx::KFX_REL_SUCCESS ? 1u : 0u);
    return result;
  }

  std::u16string dsn_;
  std::filesystem::path directory_;
};

TEST_F(WineAdoRelease, TheDocumentFailsWithTheReleasesMessageAndNothingIsStored) {
  std::string status;
  EXPECT_EQ(Release(u"ado:Provider=MSDASQL;Data Source=" + dsn_, &status), kfx::KFX_REL_ERROR);
  const std::string expected =
      "document 1: Error Updating UAGYCPP: CAxRecordset::Update\n"
      "   The row could not be stored in \"MAIN\".\"UAGYCPP\"; ADO's Recordset.Update failed without "
      "giving a reason.\n"
      "   COM Error: " + Utf16ToUtf8(HresultText(kNotImplemented)) + "\n";
  EXPECT_EQ(status, expected);
  EXPECT_EQ(CountRows(dsn_, u"UAGYCPP"), 0u);
  EXPECT_EQ(CountRows(dsn_, u"UAG0CPP"), 0u);

  status.clear();
  EXPECT_EQ(Release(u"odbc:DSN=" + dsn_, &status), kfx::KFX_REL_SUCCESS) << status;
  EXPECT_EQ(CountRows(dsn_, u"UAGYCPP"), 1u);
  EXPECT_EQ(CountRows(dsn_, u"UAG0CPP"), 2u);
}

}  // namespace
}  // namespace mirdane::test
