// Whole documents released into the stand-in: the rows written and the
// messages logged.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/release_harness.h"

namespace mirdane::test {
namespace {

using kfx::KFX_REL_ERROR;
using kfx::KFX_REL_SUCCESS;

constexpr int kIndexField = 0, kTextConstant = 1;

bool Mentions(const std::vector<LogLine>& log, int line, const std::string& text) {
  for (const auto& entry : log) {
    if (entry.line == line && entry.message.find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(Release, ADocumentWithoutMappedValuesStoresTheNumberAndOneLine) {
  ReleaseHarness harness;
  harness.AddDocument()["pdfFileName"] = "/scans/0001.pdf";
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});

  const auto header = harness.Rows("UAGYCPP");
  ASSERT_EQ(header.rows.size(), 1u);
  const std::string number = Cell(header, 0, "GYABNV");
  EXPECT_EQ(number.size(), 15u);
  EXPECT_EQ(Cell(header, 0, "GYABNT"), "");

  const auto lines = harness.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 1u);
  EXPECT_EQ(Cell(lines, 0, "G0ABNV"), number);
  EXPECT_EQ(Cell(lines, 0, "G0GMNB"), "1");
  EXPECT_EQ(Cell(lines, 0, "G0SSFW"), "0");
  EXPECT_EQ(Cell(lines, 0, "G0SSN4"), "0");

  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0].severity, 0);
  EXPECT_EQ(run.log[0].module, ".\\releaseScript");
  EXPECT_EQ(run.log[0].line, 520);
  EXPECT_EQ(run.log[0].message, "Document Released Successfully /scans/0001.pdf");
  EXPECT_TRUE(run.status.empty()) << "success is only logged";
}

TEST(Release, TableRowsBecomeNumberedLinesSharingTheCommonValuesAndTheNumber) {
  ReleaseHarness harness;
  harness.Link("AP", kTextConstant, "UAG0CPP.G0ABNT");
  harness.Link("Quantity", kIndexField, "UAG0CPP.G0AAQT");
  harness.Link("Description", kIndexField, "UAG0CPP.G0FRNA");
  harness.Link("Vendor", kIndexField, "UAGYCPP.GYHBCD");
  auto& document = harness.AddDocument();
  document["indexFields"] = {{"Vendor", "V1"}};
  document["tables"]["Lines"] = {{"Quantity", {"1", "2", "3"}},
                                 {"Description", {"a", "b", "c", "d", "e"}}};
  EXPECT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});

  const auto header = harness.Rows("UAGYCPP");
  ASSERT_EQ(header.rows.size(), 1u);
  EXPECT_EQ(Cell(header, 0, "GYHBCD"), "V1");
  const auto lines = harness.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 5u) << "two table fields of 3 and 5 rows give 5 lines";
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Cell(lines, i, "G0GMNB"), std::to_string(i + 1));
    EXPECT_EQ(Cell(lines, i, "G0ABNT"), "AP");
    EXPECT_EQ(Cell(lines, i, "G0ABNV"), Cell(header, 0, "GYABNV"));
    EXPECT_EQ(Cell(lines, i, "G0FRNA"), std::string(1, static_cast<char>('a' + i)));
  }
  EXPECT_EQ(Cell(lines, 2, "G0AAQT"), "3");
  EXPECT_EQ(Cell(lines, 3, "G0AAQT"), "0") << "rows 4 and 5 lack the quantity: its default";
}

TEST(Release, TheLaterOfTwoHeaderValuesWinsAndTheNumberOverridesAMappedGYABNV) {
  ReleaseHarness harness;
  harness.Link("first", kTextConstant, "UAGYCPP.GYALNA");
  harness.Link("second", kTextConstant, "UAGYCPP.GYALNA");
  harness.Link("123", kTextConstant, "UAGYCPP.GYABNV");
  harness.Link("X", kTextConstant, "UAGYCPP.GYABNT.EXTRA");  // a second dot is dropped
  harness.Link("ignored", kTextConstant, "UAGYCPP.NOSUCHCOLUMN");
  harness.Link("lost", kTextConstant, "uagycpp.GYHBCD");     // table names are case-sensitive
  harness.AddDocument();
  EXPECT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
  const auto header = harness.Rows("UAGYCPP");
  EXPECT_EQ(Cell(header, 0, "GYALNA"), "second");
  EXPECT_NE(Cell(header, 0, "GYABNV"), "123");
  EXPECT_EQ(Cell(header, 0, "GYABNT"), "X");
  EXPECT_EQ(Cell(header, 0, "GYHBCD"), "");
}

TEST(Release, ARefusedHeaderValueCancelsTheHeaderAndWritesNothing) {
  ReleaseHarness harness;
  harness.Link("Date", kIndexField, "UAGYCPP.GYABNW");
  harness.AddDocument()["indexFields"] = {{"Date", "20241231"}};
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  EXPECT_TRUE(harness.Rows("UAGYCPP").rows.empty());
  EXPECT_TRUE(harness.Rows("UAG0CPP").rows.empty());
  ASSERT_EQ(run.log.size(), 1u) << "reported once";
  EXPECT_EQ(run.log[0].line, 172);
  EXPECT_EQ(run.log[0].message,
            "Error in readVariables: Invalid number of digits in decimal Field 'GYABNW' (8 > 7) "
            "(Error Code: 0x00000000)");
  ASSERT_EQ(run.status.size(), 1u);
  EXPECT_EQ(run.status[0].rfind("document 1: Error in readVariables:", 0), 0u);
}

TEST(Release, ARefusedSecondLineLeavesTheOthersAndTheHeaderStored) {
  ReleaseHarness harness;
  harness.Link("Quantity", kIndexField, "UAG0CPP.G0AAQT");
  harness.AddDocument()["tables"]["Lines"] = {{"Quantity", {"1", "x", "3"}}};
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  EXPECT_EQ(harness.Rows("UAGYCPP").rows.size(), 1u) << "no transaction: the header stays";
  const auto lines = harness.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 2u);
  EXPECT_EQ(Cell(lines, 0, "G0GMNB"), "1");
  EXPECT_EQ(Cell(lines, 1, "G0GMNB"), "3") << "the failed line used up its number";
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0].line, 328);
  EXPECT_EQ(run.log[0].message.rfind("Error Updating UAG0CPP record 2 of 3: Failed to set Field "
                                     "'G0AAQT' to value 'x' (Error Code: 0x80040e21)\\nSQL0302",
                                     0),
            0u);
}

TEST(Release, LibraryProblemsAreReportedBeforeAnyRowIsWritten) {
  for (const auto& [library, expected] : std::vector<std::pair<std::string, std::string>>{
           {"", "Error Initializing UAGYCPP: The library name '' (serverAPILibrary) is not a valid"},
           {"XA;DROP", "Error Initializing UAGYCPP: The library name 'XA;DROP'"},
           {"NOLIB", "Error Initializing UAGYCPP: CAxRecordset::Open\\nSQL0204 - NOLIB in *LIBL "
                     "type *LIB not found"}}) {
    ReleaseHarness harness;
    harness.setup()["customProperties"]["serverAPILibrary"] = library;
    harness.AddDocument();
    const auto run = harness.Run();
    EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR}) << library;
    ASSERT_EQ(run.log.size(), 1u) << library;
    EXPECT_EQ(run.log[0].line, 203);
    EXPECT_EQ(run.log[0].message.rfind(expected, 0), 0u) << run.log[0].message;
    EXPECT_TRUE(harness.Rows("UAGYCPP").rows.empty());
  }
}

TEST(Release, AMissingLibraryPropertyAndAMissingSystemFailCleanly) {
  ReleaseHarness harness;
  harness.setup().erase("customProperties");
  harness.AddDocument();
  auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  EXPECT_TRUE(Mentions(run.log, 203, "The library name ''"));

  harness.setup()["customProperties"]["serverAPILibrary"] = "XALIB";
  harness.setup()["connectString"] = "sqlite:" + (harness.directory() / "nowhere").string();
  run = harness.Run();
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0].line, 508);
  EXPECT_EQ(run.log[0].message.rfind("Error in ReleaseDoc: CAxConnection::Open\\nThe stand-in "
                                     "system cannot be opened",
                                     0),
            0u);
}

TEST(Release, EveryDocumentDrawsItsOwnNumber) {
  ReleaseHarness harness;
  for (int i = 0; i < 3; ++i) harness.AddDocument();
  harness.Run();
  const auto header = harness.Rows("UAGYCPP");
  ASSERT_EQ(header.rows.size(), 3u);
  EXPECT_LT(Cell(header, 0, "GYABNV"), Cell(header, 1, "GYABNV"));
  EXPECT_LT(Cell(header, 1, "GYABNV"), Cell(header, 2, "GYABNV"));
}

TEST(Release, TheImportFileNamesTheDocumentWhenItExists) {
  ReleaseHarness harness;
  std::ofstream(harness.directory() / "scan.tif") << "image";
  harness.Link("Folder", 3, "OriginalFolder");
  harness.Link("File", 2, "OriginalFileName");
  harness.Link("Ext", 3, "OriginalFileNameExt");
  auto& found = harness.AddDocument();
  found["pdfFileName"] = "x.pdf";
  found["batchFields"] = {{"Folder", harness.directory().string()}, {"Ext", "tif"}};
  found["captureValues"] = {{"File", "scan.pdf"}};
  auto& missing = harness.AddDocument();
  missing["pdfFileName"] = "y.pdf";
  const auto run = harness.Run();
  ASSERT_EQ(run.log.size(), 2u);
  EXPECT_EQ(run.log[0].message,
            "Document Released Successfully " + (harness.directory() / "scan.tif").string());
  EXPECT_EQ(run.log[1].message, "Document Released Successfully y.pdf");
}

}  // namespace
}  // namespace mirdane::test
