// Sessions kept between connections, and the column descriptions kept with
// them, on the embedded stand-in: what is handed out again, what never is,
// and that a kept description is the one a fresh describe gives.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "dbax/ax_library.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/provider_connection.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/session_pool.h"
#include "tests/support/provider_calls.h"
#include "tests/support/temp_dir.h"

namespace dbAx::provider {
namespace {

using mirdane::Variant;
using mirdane::test::DescribeFields;
using mirdane::test::FieldOf;
using mirdane::test::InsertRow;
using mirdane::test::OpenConnection;
using mirdane::test::OpenInsert;
using mirdane::test::TempDir;

constexpr char16_t kSource[] = u"SELECT * FROM XALIB.T WHERE 1=0";

class Pool : public ::testing::Test {
 protected:
  void SetUp() override {
    SessionPool::Instance().Clear();
    auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
    schema->CreateLibrary(u"XALIB");
    schema->Execute(u"CREATE TABLE XALIB.T (C CHAR(10) NOT NULL DEFAULT ' ', "
                    u"D DECIMAL(7, 2) NOT NULL DEFAULT 0, V VARCHAR(20) NOT NULL DEFAULT '')");
    before_ = SessionPool::Instance().Statistics();
  }
  void TearDown() override {
    SessionPool::Instance().SetClockForTesting(nullptr);
    SessionPool::Instance().Clear();
  }

  std::shared_ptr<Connection> Open(const std::u16string& user = u"",
                                   const std::u16string& password = u"") {
    HRESULT result = 0;
    auto connection = OpenConnection(dir_.StandInSource(), user, password, &result);
    EXPECT_EQ(result, 0);
    return connection;
  }
  std::shared_ptr<Recordset> OpenT(const std::shared_ptr<Connection>& connection) {
    HRESULT result = 0;
    auto recordset = OpenInsert(connection, kSource, &result);
    EXPECT_EQ(result, 0);
    return recordset;
  }
  // One row stored through a connection of its own, closed afterwards.
  void StoreOneRow(const char16_t* text) {
    auto connection = Open();
    auto recordset = OpenT(connection);
    EXPECT_EQ(InsertRow(recordset, {{u"C", text}}), 0);
    EXPECT_EQ(recordset->Close(), 0);
    EXPECT_EQ(connection->Close(), 0);
  }
  std::size_t Opened() const { return SessionPool::Instance().Statistics().opened - before_.opened; }
  std::size_t Reused() const { return SessionPool::Instance().Statistics().reused - before_.reused; }
  std::size_t Idle() const { return SessionPool::Instance().Statistics().idle; }
  std::vector<std::u16string> StoredTexts() {
    std::vector<std::u16string> texts;
    for (const auto& row : OpenSchemaSession(dir_.StandInSource(), u"", u"")
                               ->Query(u"SELECT C FROM XALIB.T")
                               .rows) {
      texts.emplace_back(mirdane::TrimBlanks(row[0].value_or(u"")));
    }
    return texts;
  }

  TempDir dir_;
  PoolStatistics before_;
};

TEST_F(Pool, AClosedConnectionsSessionServesTheNextOneForTheSameSourceUserAndPassword) {
  StoreOneRow(u"first");
  StoreOneRow(u"second");
  EXPECT_EQ(Opened(), 1u);
  EXPECT_EQ(Reused(), 1u);
  EXPECT_EQ(Idle(), 1u);
  EXPECT_EQ(StoredTexts(), (std::vector<std::u16string>{u"first", u"second"}));

  // Another user or password is another key: nothing is handed across.
  auto other_user = Open(u"someone", u"");
  auto other_password = Open(u"", u"secret");
  EXPECT_EQ(Opened(), 3u);
  EXPECT_EQ(other_user->Close(), 0);
  EXPECT_EQ(other_password->Close(), 0);
  EXPECT_EQ(Idle(), 3u);
}

TEST_F(Pool, NoMoreIdleSessionsAreKeptPerSourceThanTheLimit) {
  std::vector<std::shared_ptr<Connection>> open;
  for (std::size_t i = 0; i <= SessionPool::kMaxIdlePerKey; ++i) open.push_back(Open());
  for (const auto& connection : open) EXPECT_EQ(connection->Close(), 0);
  EXPECT_EQ(Opened(), SessionPool::kMaxIdlePerKey + 1);
  EXPECT_EQ(Idle(), SessionPool::kMaxIdlePerKey);
}

TEST_F(Pool, AConnectionOnWhichACallFailedIsNeverHandedOutAgain) {
  {
    auto connection = Open();
    auto recordset = OpenT(connection);
    ASSERT_EQ(recordset->AddNew(Variant::Missing(), Variant::Missing()), 0);
    EXPECT_LT(FieldOf(recordset, u"D")->put_Value(Variant::Text(u"not a number")), 0);
    EXPECT_EQ(recordset->CancelUpdate(), 0);
    EXPECT_EQ(recordset->Close(), 0);
    EXPECT_EQ(connection->Close(), 0);
  }
  EXPECT_EQ(Idle(), 0u);
  EXPECT_EQ(SessionPool::Instance().Statistics().discarded - before_.discarded, 1u);
  StoreOneRow(u"after");
  EXPECT_EQ(Opened(), 2u);
  EXPECT_EQ(Reused(), 0u);
  EXPECT_EQ(StoredTexts(), (std::vector<std::u16string>{u"after"}));
}

TEST_F(Pool, ASessionARecordsetStillHoldsIsNotKept) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  EXPECT_EQ(connection->Close(), 0);
  EXPECT_EQ(Idle(), 0u);
  // The recordset cannot store into the session another connection uses.
  StoreOneRow(u"later");
  EXPECT_EQ(Opened(), 2u);
}

// A library file deleted and made again between two documents: a kept
// session would write into the deleted file, where no one sees the rows.
TEST_F(Pool, ASessionWhoseLibraryFileWasReplacedIsNotReused) {
  StoreOneRow(u"old");
  std::filesystem::remove_all(dir_.path() / "system");
  auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
  schema->CreateLibrary(u"XALIB");
  schema->Execute(u"CREATE TABLE XALIB.T (C CHAR(10) NOT NULL DEFAULT ' ', "
                  u"D DECIMAL(7, 2) NOT NULL DEFAULT 0, V VARCHAR(20) NOT NULL DEFAULT '')");
  StoreOneRow(u"new");
  EXPECT_EQ(Opened(), 2u);
  EXPECT_EQ(StoredTexts(), (std::vector<std::u16string>{u"new"}));
}

TEST_F(Pool, IdleSessionsAreClosedAfterTheTimeoutAndAllAtLibraryShutdown) {
  auto now = SessionPool::Clock::now();
  SessionPool::Instance().SetClockForTesting([&now] { return now; });
  StoreOneRow(u"one");
  now += SessionPool::kIdleTimeout - std::chrono::seconds(1);
  SessionPool::Instance().CloseExpired();
  EXPECT_EQ(Idle(), 1u);
  now += std::chrono::seconds(1);
  SessionPool::Instance().CloseExpired();
  EXPECT_EQ(Idle(), 0u);
  StoreOneRow(u"two");
  EXPECT_EQ(Opened(), 2u);

  AxLibInit();
  StoreOneRow(u"three");
  EXPECT_EQ(Idle(), 1u);
  EXPECT_TRUE(KeepsConnectionString());
  AxLibTerm();
  EXPECT_EQ(Idle(), 0u);
  EXPECT_FALSE(KeepsConnectionString()) << "it may hold a password";
}

TEST_F(Pool, AKeptDescriptionIsTheOneAFreshDescribeGivesAndIsNotReadAgain) {
  auto connection = Open();
  const std::size_t described = SourcesDescribed();
  auto first = OpenT(connection);
  const auto fresh = DescribeFields(first);
  ASSERT_EQ(fresh.size(), 3u);
  EXPECT_EQ(first->Close(), 0);
  auto second = OpenT(connection);
  EXPECT_EQ(DescribeFields(second), fresh);
  EXPECT_EQ(second->Close(), 0);
  EXPECT_EQ(connection->Close(), 0);
  // The next connection gets the session and its description with it.
  auto next = Open();
  auto third = OpenT(next);
  EXPECT_EQ(DescribeFields(third), fresh);
  for (const char16_t* name : {u"c", u"D", u"v"}) EXPECT_NE(FieldOf(third, name), nullptr);
  EXPECT_EQ(InsertRow(third, {{u"C", u"kept"}, {u"D", u"12.5"}}), 0);
  EXPECT_EQ(SourcesDescribed() - described, 1u);
  EXPECT_EQ(StoredTexts(), (std::vector<std::u16string>{u"kept"}));
}

// Refused when the value is assigned, or by the table itself at INSERT.
TEST_F(Pool, AFailureOnTheTableDropsItsDescription) {
  OpenSchemaSession(dir_.StandInSource(), u"", u"")
      ->Execute(u"CREATE UNIQUE INDEX XALIB.TV ON T (V)");
  auto connection = Open();
  const std::size_t described = SourcesDescribed();
  auto first = OpenT(connection);
  EXPECT_LT(InsertRow(first, {{u"C", u"far too long for ten"}}), 0);
  EXPECT_EQ(first->CancelUpdate(), 0);
  EXPECT_EQ(first->Close(), 0);
  auto second = OpenT(connection);
  EXPECT_EQ(SourcesDescribed() - described, 2u);
  EXPECT_EQ(InsertRow(second, {{u"C", u"fits"}, {u"V", u"same"}}), 0);
  EXPECT_LT(InsertRow(second, {{u"C", u"twice"}, {u"V", u"same"}}), 0);
  EXPECT_EQ(second->CancelUpdate(), 0);
  EXPECT_EQ(second->Close(), 0);
  auto third = OpenT(connection);
  EXPECT_EQ(SourcesDescribed() - described, 3u);
  EXPECT_EQ(InsertRow(third, {{u"C", u"after"}, {u"V", u"other"}}), 0);
  EXPECT_EQ(StoredTexts(), (std::vector<std::u16string>{u"fits", u"after"}));
}

// A table changed while the session was kept: the next recordset sees it as
// it is now, so that a new column's value is not passed over.
TEST_F(Pool, ATableChangedMeanwhileIsDescribedAgain) {
  StoreOneRow(u"before");
  OpenSchemaSession(dir_.StandInSource(), u"", u"")
      ->Execute(u"ALTER TABLE XALIB.T ADD COLUMN N CHAR(5) NOT NULL DEFAULT ' '");
  auto connection = Open();
  auto recordset = OpenT(connection);
  EXPECT_EQ(Reused(), 1u);
  ASSERT_NE(FieldOf(recordset, u"N"), nullptr);
  EXPECT_EQ(InsertRow(recordset, {{u"C", u"after"}, {u"N", u"new"}}), 0);
  const auto rows = OpenSchemaSession(dir_.StandInSource(), u"", u"")
                        ->Query(u"SELECT N FROM XALIB.T WHERE RTRIM(C) = 'after'")
                        .rows;
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(mirdane::TrimBlanks(rows[0][0].value_or(u"")), u"new");
}

}  // namespace
}  // namespace dbAx::provider
