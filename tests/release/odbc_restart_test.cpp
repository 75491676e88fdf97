// The PostgreSQL server stops between two documents of a batch and comes
// back: the document in between fails with one message, the release goes on,
// and the next document is released. This test stops the server that the
// other tests share, so CTest runs it alone.
#include <gtest/gtest.h>

#include "base/text.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/session_pool.h"
#include "tests/support/batch_run.h"
#include "tests/support/services.h"
#include "tests/support/temp_dir.h"

namespace mirdane {
namespace {

using namespace mirdane::test;

TEST(OdbcRestart, ADocumentReleasedWhileTheServerIsDownFailsAndTheNextOneIsReleased) {
  const auto& services = Services::Get();
  const std::u16string library = Services::UniqueLibrary();
  bridge::CreateBridgeTables(
      *dbAx::provider::OpenSchemaSession(services.PgSource(), services.user(), services.password()),
      library);
  auto file = DemoBatch(services.PgSource(), library, services.user(), services.password());
  file.documents.resize(3);

  TempDir dir;
  const auto outcome = ReleaseBatch(file, dir.path(), [&](std::size_t next) {
    if (next == 1) services.StopPostgres();
    if (next == 2) services.StartPostgres();
  });
  services.StartPostgres();  // whatever happened above, leave the server running

  ASSERT_EQ(outcome.documents.size(), 3u);
  EXPECT_EQ(outcome.documents[0].result, kfx::KFX_REL_SUCCESS);
  EXPECT_EQ(outcome.documents[1].result, kfx::KFX_REL_ERROR);
  ASSERT_EQ(outcome.documents[1].errors.size(), 1u);
  const std::string& message = outcome.documents[1].errors[0];
  // The kept session finds the server gone at its first statement.
  EXPECT_NE(message.find("Error Updating UAGYCPP: CAxRecordset::Update"), std::string::npos)
      << message;
  EXPECT_NE(message.find("Connection refused"), std::string::npos) << message;
  EXPECT_EQ(outcome.documents[2].result, kfx::KFX_REL_SUCCESS) << outcome.log;

  const auto headers = dbAx::provider::OpenSchemaSession(services.PgSource(), services.user(),
                                                         services.password())
                           ->Query(u"SELECT GYALNA FROM " + library + u".UAGYCPP ORDER BY GYABNV");
  ASSERT_EQ(headers.rows.size(), 2u);
  EXPECT_EQ(TrimBlanks(*headers.rows[0][0]), u"A-7731");
  EXPECT_EQ(TrimBlanks(*headers.rows[1][0]), u"88-1207");
}

// The server restarts while the release waits between two documents: the
// session kept from the first no longer works, which its first statement
// finds out (the header, in a transaction, so nothing of it can have been
// committed; with the release ledger on, the ledger's read); it connects
// afresh and the document is released, each row stored once.
TEST(OdbcRestart, ARestartBetweenDocumentsIsRecoveredFrom) {
  const auto& services = Services::Get();
  for (const bool ledger : {false, true}) {
    SCOPED_TRACE(ledger ? "with the release ledger" : "without the release ledger");
    const std::u16string library = Services::UniqueLibrary();
    auto pg = dbAx::provider::OpenSchemaSession(services.PgSource(), services.user(),
                                                services.password());
    bridge::CreateBridgeTables(*pg, library);
    if (ledger) bridge::CreateLedgerTable(*pg, library);
    auto file = DemoBatch(services.PgSource(), library, services.user(), services.password());
    file.documents.resize(3);
    if (ledger) file.setup.customProperties.push_back({u"releaseLedger", u"1"});

    auto& pool = dbAx::provider::SessionPool::Instance();
    const auto before = pool.Statistics();
    TempDir dir;
    const auto outcome = ReleaseBatch(file, dir.path(), [&](std::size_t next) {
      if (next == 2) {
        services.StopPostgres();
        services.StartPostgres();
      }
    });
    services.StartPostgres();

    ASSERT_EQ(outcome.documents.size(), 3u);
    for (const auto& document : outcome.documents) {
      EXPECT_EQ(document.result, kfx::KFX_REL_SUCCESS) << outcome.log;
    }
    const auto after = pool.Statistics();
    EXPECT_GE(after.reused - before.reused, 2u) << "each document took a session kept before";
    pg = dbAx::provider::OpenSchemaSession(services.PgSource(), services.user(),
                                           services.password());
    EXPECT_EQ(pg->Query(u"SELECT GYALNA FROM " + library + u".UAGYCPP").rows.size(), 3u);
    EXPECT_EQ(pg->Query(u"SELECT G0GMNB FROM " + library + u".UAG0CPP").rows.size(), 5u)
        << "every line once";
  }
}

}  // namespace
}  // namespace mirdane
