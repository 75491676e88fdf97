// The General page's "Test Connection" behind its window, and bridge check's
// column types, over SQLite's ODBC driver and PostgreSQL.
#include <gtest/gtest.h>

#include "base/text.h"
#include "bridge/bridge_check.h"
#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"
#include "bridge/connection_test.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/services.h"
#include "tests/support/temp_dir.h"

namespace mirdane::bridge {
namespace {

using dbAx::provider::OpenSchemaSession;
using Outcome = ConnectionTestResult::Outcome;
using namespace mirdane::test;

std::string Details(const ConnectionTestResult& result) { return Utf16ToUtf8(result.details); }

// SQLite's driver describes every column of a result as VARCHAR; the check
// reads the declarations from the catalog instead, and says so where a
// column has none rather than claim a difference.
TEST(OdbcSqliteCheck, TypesComeFromTheCatalogAndAColumnWithoutOneIsANote) {
  TempDir dir;
  const auto source = Services::Get().SqliteSource(dir.path() / "xa.db");
  auto session = OpenSchemaSession(source, u"", u"");
  CreateBridgeTables(*session, u"MAIN");
  const auto clean = CheckLibrary(*session, u"MAIN");
  EXPECT_EQ(clean.differences, 0u) << testing::PrintToString(clean.Lines());
  EXPECT_TRUE(clean.findings.empty());

  const ConnectionTestResult works = TestConnection({source, u"", u"", u"main", false});
  EXPECT_EQ(works.outcome, Outcome::kWorks) << Details(works);
  EXPECT_EQ(works.instruction, u"The connection works");
  EXPECT_NE(Details(works).find("MAIN: both bridge tables match the field catalogue"),
            std::string::npos) << Details(works);
  EXPECT_EQ(Details(works).find("ledger"), std::string::npos) << "the switch is off";

  // The lines' table again, one column declared without a type.
  session->Execute(u"DROP TABLE MAIN.UAG0CPP");
  BridgeTable lines = BridgeTables()[1];
  for (auto& column : lines.columns) {
    if (column.name == u"G0ABN4") column.sqlType = u"";
  }
  session->Execute(CreateTableStatement(session->QualifiedName(u"MAIN", lines.name), lines));
  const auto untyped = CheckLibrary(*session, u"MAIN");
  EXPECT_EQ(untyped.differences, 0u) << testing::PrintToString(untyped.Lines());
  ASSERT_EQ(untyped.findings.size(), 1u);
  EXPECT_TRUE(untyped.findings[0].note);
  EXPECT_EQ(untyped.findings[0].Line().rfind("note: MAIN.UAG0CPP.G0ABN4 has no type the database "
                                             "can tell; it was not compared with ", 0),
            0u) << untyped.findings[0].Line();
}

class PostgresConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto session = Schema();
    CreateBridgeTables(*session, library_);
  }
  std::unique_ptr<dbAx::provider::SchemaSession> Schema() {
    return OpenSchemaSession(services_.PgSource(), services_.user(), services_.password());
  }
  ConnectionTestResult Test(bool ledger, std::u16string password = {}) {
    return TestConnection({services_.PgSource(), services_.user(),
                           password.empty() ? services_.password() : password, library_, ledger});
  }

  const Services& services_ = Services::Get();
  std::u16string library_ = Services::UniqueLibrary();
};

TEST_F(PostgresConnectionTest, WorksFailsAndNamesWhatIsMissing) {
  const auto works = Test(false);
  EXPECT_EQ(works.outcome, Outcome::kWorks) << Details(works);
  EXPECT_EQ(Details(works).rfind("The connection to odbc:DSN=", 0), 0u) << Details(works);

  // A wrong password: the driver's words, never the password.
  const std::u16string wrong = u"Wrong" + services_.password();
  const auto refused = Test(false, wrong);
  EXPECT_EQ(refused.outcome, Outcome::kNoConnection);
  EXPECT_EQ(refused.instruction, u"The connection could not be opened");
  EXPECT_NE(Details(refused).find("password authentication failed"), std::string::npos)
      << Details(refused);
  EXPECT_EQ(refused.details.find(wrong), std::u16string::npos);
  EXPECT_EQ(refused.details.find(services_.password()), std::u16string::npos);

  // The switch on and no ledger: the command that makes it, and a failure.
  const auto noLedger = Test(true);
  EXPECT_EQ(noLedger.outcome, Outcome::kFails) << Details(noLedger);
  const std::string name = Utf16ToUtf8(AsciiUpper(library_));
  EXPECT_NE(Details(noLedger).find("error: " + name + ".MIRDLEDGER does not exist, and documents "
                                   "released with releaseLedger = 1 need it. Create it with: "
                                   "mirdane bridge create --ledger --library " + name +
                                   " --connect odbc:DSN="),
            std::string::npos) << Details(noLedger);
  auto session = Schema();
  CreateLedgerTable(*session, library_);
  const auto withLedger = Test(true);
  EXPECT_EQ(withLedger.outcome, Outcome::kWorks) << Details(withLedger);
  EXPECT_NE(Details(withLedger).find("the release ledger " + name + ".MIRDLEDGER is well formed"),
            std::string::npos) << Details(withLedger);

  // A column the mapping writes taken away.
  session->Execute(u"ALTER TABLE " + session->QualifiedName(library_, u"UAGYCPP") +
                   u" DROP COLUMN GYABNT");
  const auto missing = Test(false);
  EXPECT_EQ(missing.outcome, Outcome::kFails);
  EXPECT_NE(Details(missing).find("error: " + name + ".UAGYCPP.GYABNT (CHAR(10)) is missing"),
            std::string::npos) << Details(missing);

  const auto badName = TestConnection({services_.PgSource(), u"", u"", u"X;DROP", false});
  EXPECT_EQ(badName.outcome, Outcome::kNoConnection);
  EXPECT_NE(Details(badName).find("'X;DROP' is not an IBM i SQL identifier"), std::string::npos);
}

}  // namespace
}  // namespace mirdane::bridge
