// The release ledger over ODBC: PostgreSQL (as a stand-in for DB2 for i's
// locking and its unique keys) and SQLite's ODBC driver.
#include <gtest/gtest.h>

#include "base/text.h"
#include "bridge/bridge_audit.h"
#include "bridge/bridge_check.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/schema_session.h"
#include "release/release_ledger.h"
#include "tests/support/batch_run.h"
#include "tests/support/ledger_scenarios.h"
#include "tests/support/services.h"
#include "tests/support/temp_dir.h"

namespace mirdane {
namespace {

using dbAx::provider::OpenSchemaSession;
using namespace mirdane::test;

class PostgresLedger : public ::testing::Test {
 protected:
  void SetUp() override { CreateLedgerLibrary(where_); }

  const Services& services_ = Services::Get();
  LedgerSystem where_{services_.PgSource(), Services::UniqueLibrary(), services_.user(),
                      services_.password()};
};

TEST_F(PostgresLedger, TwoStationsStartingOneDocumentOnlyOneWrites) {
  TwoStationsStartingOneDocumentOnlyOneWrites(where_);
}
TEST_F(PostgresLedger, TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites) {
  TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites(where_);
}
TEST_F(PostgresLedger, ANumberAnotherDocumentHoldsIsDrawnAgain) {
  ANumberAnotherDocumentHoldsIsDrawnAgain(where_);
}
TEST_F(PostgresLedger, TheStartedRowFollowsTheHeaderToItsNewNumber) {
  TheStartedRowFollowsTheHeaderToItsNewNumber(where_);
}
TEST_F(PostgresLedger, AStationOvertakenCannotComplete) { AStationOvertakenCannotComplete(where_); }
TEST_F(PostgresLedger, DeletingATransactionTakesItsRowsOnly) {
  DeletingATransactionTakesItsRowsOnly(where_);
}
TEST_F(PostgresLedger, AMissingLedgerIsNamed) { AMissingLedgerIsNamed(where_); }

TEST_F(PostgresLedger, TheLedgerIsCreatedWellFormedAndChecked) {
  auto pg = OpenSchemaSession(where_.system, where_.user, where_.password);
  const auto check = bridge::CheckLedgerTable(*pg, where_.library);
  EXPECT_TRUE(check.exists);
  for (const auto& difference : check.differences) ADD_FAILURE() << difference.Line();
  EXPECT_EQ(bridge::CreateLedgerTable(*pg, where_.library),
            Utf16ToUtf8(where_.library) + ".MIRDLEDGER: exists already, left unchanged");

  // A ledger made by hand without its keys is refused by the check.
  const std::u16string bare = Services::UniqueLibrary();
  pg->CreateLibrary(bare);
  auto table = bridge::LedgerTable();
  table.uniqueKeys.clear();
  pg->Execute(bridge::CreateTableStatement(pg->QualifiedName(bare, table.name), table));
  const auto unkeyed = bridge::CheckLedgerTable(*pg, bare);
  ASSERT_EQ(unkeyed.differences.size(), 2u);
  EXPECT_TRUE(unkeyed.differences[0].failing);
  EXPECT_NE(unkeyed.differences[0].text.find(".MIRDLEDGER.LGKEY is not a unique key"),
            std::string::npos);
}

// Document 4 of the demo batch has a quantity PostgreSQL refuses in its
// second line of three.
TEST_F(PostgresLedger, TheDemoBatchSentBackAndCorrectedIsInXaOnce) {
  TempDir dir;
  auto file = DemoBatch(where_.system, where_.library, where_.user, where_.password);
  file.setup.customProperties.emplace_back(u"releaseLedger", u"1");
  for (auto& document : file.documents) {
    document.uniqueDocumentId = u"DEMO-" + Utf8ToUtf16(std::to_string(document.number));
  }
  const auto first = ReleaseBatch(file, dir.path() / "first");
  EXPECT_EQ(first.documents[3].result, kfx::KFX_REL_ERROR);

  auto pg = OpenSchemaSession(where_.system, where_.user, where_.password);
  const auto header = pg->QualifiedName(where_.library, u"UAGYCPP");
  const auto lines = pg->QualifiedName(where_.library, u"UAG0CPP");
  const auto count = [&](const std::u16string& table) {
    return pg->Query(u"SELECT COUNT(*) FROM " + table).rows.at(0).at(0).value_or(u"");
  };
  EXPECT_EQ(count(header), u"5");
  EXPECT_EQ(count(lines), u"12") << "1 + 3 + 1 + 5 lines, and 2 of document 4's 3";
  EXPECT_EQ(bridge::AuditBridgeTables(*pg, where_.library).size(), 2u);

  for (auto& [name, texts] : file.documents[3].tables.at(0).columns) {
    if (name == u"Quantity") texts.at(1) = u"1.5";
  }
  const auto second = ReleaseBatch(file, dir.path() / "second");
  for (const auto& document : second.documents) {
    EXPECT_EQ(document.result, kfx::KFX_REL_SUCCESS);
    EXPECT_TRUE(document.errors.empty());
  }
  EXPECT_EQ(count(header), u"5") << "one transaction per document";
  EXPECT_EQ(count(lines), u"13");
  for (const auto& finding : bridge::AuditBridgeTables(*pg, where_.library)) {
    ADD_FAILURE() << Utf16ToUtf8(finding.transaction) << ": " << finding.text;
  }
  EXPECT_NE(second.log.find("released before as transaction"), std::string::npos);
  EXPECT_NE(second.log.find("was left half-written by an earlier release"), std::string::npos);

  const auto third = ReleaseBatch(file, dir.path() / "third");
  EXPECT_EQ(count(header), u"5");
  EXPECT_EQ(count(lines), u"13");
  for (const auto& document : third.documents) EXPECT_EQ(document.result, kfx::KFX_REL_SUCCESS);
}

class SqliteOdbcLedger : public ::testing::Test {
 protected:
  void SetUp() override { CreateLedgerLibrary(where_); }

  TempDir dir_;
  LedgerSystem where_{Services::Get().SqliteSource(dir_.path() / "xa.db"), u"MAIN", u"", u""};
};

// SQLite's driver reports a duplicate key as SQLSTATE HY000, not 23505, so
// the scenarios that tell a taken key from other failures run on PostgreSQL.
TEST_F(SqliteOdbcLedger, TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites) {
  TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites(where_);
}
TEST_F(SqliteOdbcLedger, AStationOvertakenCannotComplete) { AStationOvertakenCannotComplete(where_); }
TEST_F(SqliteOdbcLedger, DeletingATransactionTakesItsRowsOnly) {
  DeletingATransactionTakesItsRowsOnly(where_);
}

}  // namespace
}  // namespace mirdane
