// Values that every charge line carries: the transaction number that ties it
// to its header, and the two codes that default to "0" unless mapped.
#include <gtest/gtest.h>

#include "host/batch/batch_file.h"
#include "host/batch/batch_release.h"
#include "tests/support/release_harness.h"

namespace mirdane::test {
namespace {

using kfx::KFX_REL_SUCCESS;

constexpr int kIndexField = 0, kTextConstant = 1;

void AddThreeRows(ReleaseHarness& harness) {
  harness.Link("Quantity", kIndexField, "UAG0CPP.G0AAQT");
  harness.AddDocument()["tables"]["Lines"] = {{"Quantity", {"1", "2", "3"}},
                                              {"Prorate", {"A", "B", "C"}},
                                              {"Number", {"7", "8", "9"}}};
}

TEST(LineValues, AMappedProrateCodeWinsOverTheDefaultOnEveryLine) {
  ReleaseHarness constant;
  constant.Link("P", kTextConstant, "UAG0CPP.G0SSFW");
  constant.Link("Q", kTextConstant, "UAG0CPP.G0SSN4");
  AddThreeRows(constant);
  ASSERT_EQ(constant.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
  auto lines = constant.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Cell(lines, i, "G0SSFW"), "P") << "line " << i + 1;
    EXPECT_EQ(Cell(lines, i, "G0SSN4"), "Q") << "line " << i + 1;
  }

  ReleaseHarness column;
  column.Link("Prorate", kIndexField, "UAG0CPP.G0SSFW");
  AddThreeRows(column);
  ASSERT_EQ(column.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
  lines = column.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Cell(lines, i, "G0SSFW"), std::string(1, static_cast<char>('A' + i))) << "line " << i + 1;
    EXPECT_EQ(Cell(lines, i, "G0SSN4"), "0") << "unmapped: the default";
  }
}

TEST(LineValues, LinesAlwaysCarryTheirHeadersNumberAndTheirOwnLineNumber) {
  for (const bool perRow : {false, true}) {
    ReleaseHarness harness;
    if (perRow) {
      harness.Link("Number", kIndexField, "UAG0CPP.G0ABNV");
      harness.Link("Number", kIndexField, "UAG0CPP.G0GMNB");
    } else {
      harness.Link("260101000000000", kTextConstant, "UAG0CPP.G0ABNV");
      harness.Link("1", kTextConstant, "UAG0CPP.G0GMNB");
    }
    AddThreeRows(harness);
    ASSERT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
    const auto header = harness.Rows("UAGYCPP");
    ASSERT_EQ(header.rows.size(), 1u);
    const auto lines = harness.Rows("UAG0CPP");
    ASSERT_EQ(lines.rows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(Cell(lines, i, "G0ABNV"), Cell(header, 0, "GYABNV")) << perRow << " line " << i + 1;
      EXPECT_EQ(Cell(lines, i, "G0GMNB"), std::to_string(i + 1)) << perRow;
    }
  }
}

TEST(LineValues, LinksTheReleaseCannotHonourAreReportedWhenTheFileIsRead) {
  ReleaseHarness harness;
  harness.Link("x", kTextConstant, "UAG0CPP.G0ABNV");
  harness.Link("y", kTextConstant, "UAGYCPP.NOSUCHCOLUMN");
  harness.Link("z", kTextConstant, "UAGYCPP.GYABNT");
  harness.Link("OriginalFolder", 3, "OriginalFolder");
  harness.AddDocument();
  harness.Run();  // writes the file
  const auto file = batch::LoadBatchFile(harness.directory() / "batch.json");
  const auto warnings = batch::CheckLinks(file);
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_NE(warnings[0].find("setup.links[0]: the link from \"x\" to UAG0CPP.G0ABNV is ignored: "
                             "the release writes that column itself"),
            std::string::npos)
      << warnings[0];
  EXPECT_NE(warnings[1].find("setup.links[1]: the link from \"y\" to UAGYCPP.NOSUCHCOLUMN names no "
                             "column of the field catalogue"),
            std::string::npos)
      << warnings[1];
  EXPECT_EQ(warnings[0].rfind((harness.directory() / "batch.json").string() + ":", 0), 0u);
}

TEST(LineValues, TrailingBlanksBeyondACharColumnAreDropped) {
  ReleaseHarness harness;
  harness.Link("Type", kIndexField, "UAGYCPP.GYABNT");
  harness.AddDocument()["indexFields"] = {{"Type", "ABCDEFGHIJ   "}};
  ASSERT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
  EXPECT_EQ(Cell(harness.Rows("UAGYCPP"), 0, "GYABNT"), "ABCDEFGHIJ");
}

TEST(LineValues, ALibraryNamedWithEveryAllowedMarkTakesDocuments) {
  for (const char* library : {"XA#LIB", "XA@L_1$", "$#@_"}) {
    ReleaseHarness harness(library);
    harness.Link("AP", kTextConstant, "UAGYCPP.GYABNT");
    AddThreeRows(harness);
    const auto run = harness.Run();
    ASSERT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS})
        << library << ": " << (run.log.empty() ? "" : run.log[0].message);
    EXPECT_EQ(Cell(harness.Rows("UAGYCPP"), 0, "GYABNT"), "AP");
    EXPECT_EQ(harness.Rows("UAG0CPP").rows.size(), 3u);
  }
}

}  // namespace
}  // namespace mirdane::test
