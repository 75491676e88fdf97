// The release ledger on the stand-in: batches released again, documents
// corrected after a refused line, the switch off, and what stops a document.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "base/text.h"
#include "bridge/bridge_audit.h"
#include "release/document_key.h"
#include "tests/support/release_harness.h"

namespace mirdane::test {
namespace {

using kfx::KFX_REL_ERROR;
using kfx::KFX_REL_SUCCESS;

constexpr int kIndexField = 0;

std::vector<std::string> Column(const dbAx::provider::QueryResult& rows, const std::string& name) {
  std::vector<std::string> values;
  for (std::size_t i = 0; i < rows.rows.size(); ++i) values.push_back(Cell(rows, i, name));
  return values;
}

std::vector<std::string> LinesOf(const ReleaseRun& run, int line) {
  std::vector<std::string> found;
  for (const auto& entry : run.log) {
    if (entry.line == line) found.push_back(entry.message);
  }
  return found;
}

std::vector<std::string> Audit(ReleaseHarness& harness) {
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(harness.system()), u"", u"");
  std::vector<std::string> lines;
  for (const auto& finding : bridge::AuditBridgeTables(*schema, Utf8ToUtf16(harness.library()))) {
    lines.push_back(Utf16ToUtf8(finding.transaction) + ": " + finding.text);
  }
  return lines;
}

// Three documents of an invoice batch: a header value and lines from a table.
void InvoiceBatch(ReleaseHarness& harness) {
  harness.Link("Invoice", kIndexField, "UAGYCPP.GYALNA");
  harness.Link("Quantity", kIndexField, "UAG0CPP.G0AAQT");
  for (int i = 1; i <= 3; ++i) {
    auto& document = harness.AddDocument();
    document["pdfFileName"] = "/scans/" + std::to_string(i) + ".pdf";
    document["uniqueDocumentId"] = "DOC-" + std::to_string(i);
    document["indexFields"] = {{"Invoice", "INV-" + std::to_string(i)}};
    document["tables"]["Lines"] = {{"Quantity", {"1", "2", "3"}}};
  }
}

TEST(ReleaseLedger, ABatchSentBackWholeIsWrittenOnceAndReportedReleasedAgain) {
  ReleaseHarness harness;
  harness.EnableLedger();
  InvoiceBatch(harness);
  const auto first = harness.Run();
  EXPECT_EQ(first.results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_SUCCESS));
  const auto headers = harness.Rows("UAGYCPP");
  const auto lines = harness.Rows("UAG0CPP");
  ASSERT_EQ(headers.rows.size(), 3u);
  ASSERT_EQ(lines.rows.size(), 9u);
  const auto ledger = harness.Rows("MIRDLEDGER");
  ASSERT_EQ(ledger.rows.size(), 3u);
  EXPECT_EQ(Column(ledger, "LGSTAT"), std::vector<std::string>(3, "C"));
  EXPECT_EQ(Column(ledger, "LGABNV"), Column(headers, "GYABNV"));
  EXPECT_EQ(Column(ledger, "LGDOC"), (std::vector<std::string>{"DOC-1", "DOC-2", "DOC-3"}));
  EXPECT_EQ(Cell(ledger, 0, "LGKEY"), MakeDocumentKey(u"id:DOC-1", u"DOC-1").hash);
  EXPECT_EQ(Cell(ledger, 0, "LGSTRT").size(), 23u);
  EXPECT_EQ(Cell(ledger, 0, "LGDONE").size(), 23u);
  EXPECT_EQ(LinesOf(first, 520).size(), 3u) << "a first release reports as without the ledger";

  const auto second = harness.Run();
  EXPECT_EQ(second.results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_SUCCESS));
  EXPECT_EQ(harness.Rows("UAGYCPP").rows, headers.rows) << "nothing written the second time";
  EXPECT_EQ(harness.Rows("UAG0CPP").rows, lines.rows);
  EXPECT_EQ(harness.Rows("MIRDLEDGER").rows, ledger.rows) << "the ledger is only read";
  const auto again = LinesOf(second, 544);
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(again[1], "Document Released Successfully /scans/2.pdf: it was released before as "
                      "transaction " + Cell(headers, 1, "GYABNV") + ", and nothing was written");
  EXPECT_TRUE(second.status.empty()) << "information only";
  EXPECT_TRUE(Audit(harness).empty());
}

TEST(ReleaseLedger, ARefusedLineCorrectedAndReleasedAgainLeavesOneWholeTransaction) {
  ReleaseHarness harness;
  harness.EnableLedger();
  InvoiceBatch(harness);
  auto& document = harness.documents()[1];
  document["tables"]["Lines"]["Quantity"][1] = "1,5";  // DECIMAL refuses the comma
  const auto first = harness.Run();
  EXPECT_EQ(first.results,
            (std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS, KFX_REL_ERROR, KFX_REL_SUCCESS}));
  const auto half = harness.Rows("UAGYCPP");
  ASSERT_EQ(half.rows.size(), 3u) << "the header of document 2 is stored, lines 1 and 3 too";
  EXPECT_EQ(harness.Rows("UAG0CPP").rows.size(), 8u);
  const std::string halfNumber = Cell(half, 1, "GYABNV");
  EXPECT_EQ(Column(harness.Rows("MIRDLEDGER"), "LGSTAT"),
            (std::vector<std::string>{"C", "S", "C"}));
  const auto findings = Audit(harness);
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0], halfNumber + ": line numbers missing: 2");
  EXPECT_NE(findings[1].find(halfNumber + ": release of document 'DOC-2' started "),
            std::string::npos);

  document["tables"]["Lines"]["Quantity"][1] = "1.5";
  const auto second = harness.Run();
  EXPECT_EQ(second.results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_SUCCESS));
  const auto headers = harness.Rows("UAGYCPP");
  ASSERT_EQ(headers.rows.size(), 3u) << "exactly one transaction per document";
  EXPECT_EQ(Column(headers, "GYALNA"), (std::vector<std::string>{"INV-1", "INV-3", "INV-2"}))
      << "document 2 was written last, under a new number";
  const std::string number = Cell(headers, 2, "GYABNV");
  EXPECT_NE(number, halfNumber);
  const auto lines = harness.Rows("UAG0CPP");
  ASSERT_EQ(lines.rows.size(), 9u);
  std::vector<std::string> mine;
  for (std::size_t i = 0; i < lines.rows.size(); ++i) {
    EXPECT_NE(Cell(lines, i, "G0ABNV"), halfNumber) << "the half-written lines are gone";
    if (Cell(lines, i, "G0ABNV") == number) mine.push_back(Cell(lines, i, "G0GMNB"));
  }
  EXPECT_EQ(mine, (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(LinesOf(second, 545),
            std::vector<std::string>{"Transaction " + halfNumber +
                                     " of document DOC-2 was left half-written by an earlier "
                                     "release: its rows were deleted, and the document is "
                                     "released anew"});
  EXPECT_EQ(LinesOf(second, 544).size(), 2u);
  EXPECT_TRUE(Audit(harness).empty());
  EXPECT_EQ(Column(harness.Rows("MIRDLEDGER"), "LGSTAT"), std::vector<std::string>(3, "C"));
}

// What a run left, with the transaction numbers (drawn from the clock) left out.
struct Outcome {
  std::vector<kfx::KfxReturnValue> results;
  std::vector<std::vector<std::optional<std::u16string>>> headers, lines;
  std::vector<std::string> log;
  std::vector<std::string> status;

  bool operator==(const Outcome&) const = default;
};

Outcome RunWithoutNumbers(ReleaseHarness& harness) {
  const auto run = harness.Run();
  Outcome outcome{run.results, {}, {}, {}, run.status};
  outcome.headers = harness.Rows("UAGYCPP", "*").rows;
  outcome.lines = harness.Rows("UAG0CPP", "*").rows;
  for (auto& row : outcome.headers) row.erase(row.begin());  // GYABNV
  for (auto& row : outcome.lines) row.erase(row.begin());    // G0ABNV
  for (const auto& line : run.log) {
    outcome.log.push_back(std::to_string(line.severity) + " " + line.module + " " +
                          std::to_string(line.line) + " " + line.message);
  }
  return outcome;
}

TEST(ReleaseLedger, SwitchedOffTheReleaseIsWhatItIsWithoutALedger) {
  // The baseline: no ledger table, no property, no identities.
  ReleaseHarness plain;
  InvoiceBatch(plain);
  for (auto& document : plain.documents()) document.erase("uniqueDocumentId");
  plain.documents()[1]["tables"]["Lines"]["Quantity"][1] = "1,5";
  const Outcome baseline = RunWithoutNumbers(plain);
  ASSERT_EQ(baseline.log.size(), 3u);

  for (const char* value : std::initializer_list<const char*>{"", "0", "yes", " 1", "1 ", "on", nullptr}) {
    SCOPED_TRACE(value ? value : "(absent)");
    ReleaseHarness harness;
    harness.EnableLedger();  // the table is there, the switch is not on
    if (value) harness.setup()["customProperties"]["releaseLedger"] = value;
    else harness.setup()["customProperties"].erase("releaseLedger");
    InvoiceBatch(harness);
    harness.documents()[1]["tables"]["Lines"]["Quantity"][1] = "1,5";
    EXPECT_EQ(RunWithoutNumbers(harness), baseline);
    EXPECT_TRUE(harness.Rows("MIRDLEDGER").rows.empty());
    EXPECT_EQ(RunWithoutNumbers(harness).headers.size(), 6u) << "released twice, written twice";
  }
}

TEST(ReleaseLedger, WithoutTheLedgerTableEveryDocumentFailsSayingHowToMakeIt) {
  ReleaseHarness harness;
  harness.setup()["customProperties"]["releaseLedger"] = "1";
  InvoiceBatch(harness);
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_ERROR));
  EXPECT_TRUE(harness.Rows("UAGYCPP").rows.empty());
  EXPECT_TRUE(harness.Rows("UAG0CPP").rows.empty());
  ASSERT_EQ(run.log.size(), 3u) << "one message per document";
  EXPECT_EQ(run.log[0].line, 540);
  EXPECT_EQ(run.log[0].severity, 1);
  EXPECT_EQ(run.log[0].message,
            "The release ledger XALIB.MIRDLEDGER does not exist, and this document class is "
            "released with releaseLedger = 1. Create the ledger with: mirdane bridge create "
            "--ledger --library XALIB --connect <server name>");
  EXPECT_EQ(run.status.size(), 3u) << "shown to the Release module as document errors";
}

TEST(ReleaseLedger, ADocumentWithNothingToBeKnownByIsReleasedWithoutIt) {
  ReleaseHarness harness;
  harness.EnableLedger();
  harness.AddDocument();
  harness.AddDocument();
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>(2, KFX_REL_SUCCESS));
  EXPECT_EQ(harness.Rows("UAGYCPP").rows.size(), 2u);
  EXPECT_TRUE(harness.Rows("MIRDLEDGER").rows.empty());
  EXPECT_EQ(LinesOf(run, 546).size(), 2u) << "a warning once per document";
  EXPECT_EQ(run.log[0].severity, 0);
  EXPECT_TRUE(run.status.empty());
}

TEST(ReleaseLedger, TheKeyIsTheIdElseTheOriginalFileElseThePdfName) {
  ReleaseHarness harness;
  harness.EnableLedger();
  const auto scan = harness.directory() / "scan.tif";
  std::ofstream(scan) << "image one";
  harness.Link("Folder", 3, "OriginalFolder");
  harness.Link("File", 2, "OriginalFileName");
  harness.Link("Ext", 3, "OriginalFileNameExt");
  const nlohmann::ordered_json fields = {{"Folder", harness.directory().string()}, {"Ext", "tif"}};
  auto& byId = harness.AddDocument();
  byId["uniqueDocumentId"] = "ID-1";
  byId["batchFields"] = fields;
  byId["captureValues"] = {{"File", "scan.tif"}};
  auto& byFile = harness.AddDocument();
  byFile["uniqueDocumentId"] = "";  // offered empty: not a key
  byFile["pdfFileName"] = "b.pdf";
  byFile["batchFields"] = fields;
  byFile["captureValues"] = {{"File", "scan.tif"}};
  harness.AddDocument()["pdfFileName"] = "c.pdf";
  EXPECT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_SUCCESS));
  const auto ledger = harness.Rows("MIRDLEDGER");
  EXPECT_EQ(Column(ledger, "LGDOC"), (std::vector<std::string>{"ID-1", scan.string(), "c.pdf"}));

  // A new scan under the same name is another document; the others are not
  // written again.
  std::ofstream(scan) << "image two, a later scan";
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>(3, KFX_REL_SUCCESS));
  EXPECT_EQ(LinesOf(run, 544).size(), 2u);
  EXPECT_EQ(LinesOf(run, 520).size(), 1u);
  EXPECT_EQ(harness.Rows("UAGYCPP").rows.size(), 4u);
}

TEST(ReleaseLedger, ALedgerRowThatCannotBeUnderstoodStopsTheDocument) {
  ReleaseHarness harness;
  harness.EnableLedger();
  harness.AddDocument()["uniqueDocumentId"] = "DOC-1";
  auto schema = dbAx::provider::OpenSchemaSession(Utf8ToUtf16(harness.system()), u"", u"");
  schema->Execute(u"INSERT INTO XALIB.MIRDLEDGER (LGKEY, LGABNV, LGSTAT) VALUES ('" +
                  Utf8ToUtf16(MakeDocumentKey(u"id:DOC-1", u"DOC-1").hash) +
                  u"', 260101000000001, 'X')");
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  EXPECT_EQ(LinesOf(run, 548),
            std::vector<std::string>{"The release ledger XALIB.MIRDLEDGER cannot be used for "
                                     "document DOC-1: its row has the state 'X', neither S "
                                     "(started) nor C (complete)"});
  EXPECT_TRUE(harness.Rows("UAGYCPP").rows.empty());
}

TEST(ReleaseLedger, AValueRefusedBeforeAnyRowIsStoredLeavesNoLedgerRow) {
  ReleaseHarness harness;
  harness.EnableLedger();
  harness.Link("Date", kIndexField, "UAGYCPP.GYABNW");  // DECIMAL(7, 0)
  auto& document = harness.AddDocument();
  document["uniqueDocumentId"] = "DOC-1";
  document["indexFields"] = {{"Date", "20241231"}};
  EXPECT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  EXPECT_TRUE(harness.Rows("MIRDLEDGER").rows.empty());
  EXPECT_TRUE(Audit(harness).empty());
  document["indexFields"] = {{"Date", "1241231"}};
  EXPECT_EQ(harness.Run().results, std::vector<kfx::KfxReturnValue>{KFX_REL_SUCCESS});
  EXPECT_EQ(Column(harness.Rows("MIRDLEDGER"), "LGSTAT"), std::vector<std::string>{"C"});
}

TEST(ReleaseLedger, ABadLibraryNameIsRefusedBeforeTheLedgerIsAsked) {
  ReleaseHarness harness;
  harness.EnableLedger();
  harness.setup()["customProperties"]["serverAPILibrary"] = "XA;LIB";
  harness.AddDocument()["uniqueDocumentId"] = "DOC-1";
  const auto run = harness.Run();
  EXPECT_EQ(run.results, std::vector<kfx::KfxReturnValue>{KFX_REL_ERROR});
  ASSERT_EQ(run.log.size(), 1u);
  EXPECT_EQ(run.log[0].line, 541);
  EXPECT_NE(run.log[0].message.find("Error Reading MIRDLEDGER: The library name 'XA;LIB'"),
            std::string::npos);
}

}  // namespace
}  // namespace mirdane::test
