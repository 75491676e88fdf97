// The ODBC backend against a real PostgreSQL server on loopback: its types,
// its refusals in its own words, secrets, and the bridge tools' schema work.
#include <gtest/gtest.h>

#include "base/text.h"
#include "bridge/bridge_check.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/session_pool.h"
#include "tests/support/provider_calls.h"
#include "tests/support/services.h"

namespace dbAx::provider {
namespace {

using mirdane::Utf16ToUtf8;
using namespace mirdane::test;

class OdbcPostgres : public ::testing::Test {
 protected:
  void SetUp() override {
    schema_ = OpenSchemaSession(services_.PgSource(), services_.user(), services_.password());
    schema_->CreateLibrary(library_);
    schema_->Execute(u"CREATE TABLE " + library_ +
                     u".T (C CHAR(10) NOT NULL DEFAULT '          ', D DECIMAL(7, 2) NOT NULL "
                     u"DEFAULT 0, I INTEGER NOT NULL DEFAULT 0)");
  }

  std::shared_ptr<Connection> Open() {
    HRESULT result = 0;
    auto connection =
        OpenConnection(services_.PgSource(), services_.user(), services_.password(), &result);
    EXPECT_EQ(result, 0) << ErrorsText(connection);
    return connection;
  }

  std::shared_ptr<Recordset> OpenT(const std::shared_ptr<Connection>& connection) {
    HRESULT result = 0;
    auto recordset = OpenInsert(connection, u"SELECT * FROM " + library_ + u".T WHERE 1=0", &result);
    EXPECT_EQ(result, 0) << ErrorsText(connection);
    return recordset;
  }

  std::size_t RowCount() {
    return schema_->Query(u"SELECT C FROM " + library_ + u".T").rows.size();
  }

  const Services& services_ = Services::Get();
  std::u16string library_ = Services::UniqueLibrary();
  std::unique_ptr<SchemaSession> schema_;
};

TEST_F(OdbcPostgres, DecimalColumnsReportPrecisionAndScale) {
  auto recordset = OpenT(Open());
  std::int32_t type = 0;
  std::uint8_t precision = 0, scale = 0;
  auto decimal = FieldOf(recordset, u"D");
  ASSERT_TRUE(decimal) << "PostgreSQL's lower-case names are found in any case";
  decimal->get_Type(&type);
  decimal->get_Precision(&precision);
  decimal->get_NumericScale(&scale);
  // PostgreSQL keeps DECIMAL as NUMERIC, and says so.
  EXPECT_EQ(type, ado::adNumeric);
  EXPECT_EQ(precision, 7);
  EXPECT_EQ(scale, 2);
  FieldOf(recordset, u"C")->get_Type(&type);
  EXPECT_TRUE(type == ado::adChar || type == ado::adWChar) << type;
  FieldOf(recordset, u"I")->get_Type(&type);
  EXPECT_EQ(type, ado::adInteger);
}

// Puts are held as text; the server refuses what does not fit when the row
// is stored, and its own words reach the Errors. Nothing of a refused row is kept.
TEST_F(OdbcPostgres, RefusedValuesFailTheUpdateInTheServersWords) {
  auto connection = Open();
  auto recordset = OpenT(connection);
  EXPECT_LT(InsertRow(recordset, {{u"C", u"ELEVEN CHAR"}}), 0);
  std::string errors = ErrorsText(connection);
  EXPECT_NE(errors.find("SQLSTATE 22001"), std::string::npos) << errors;
  EXPECT_NE(errors.find("value too long for type character(10)"), std::string::npos) << errors;

  EXPECT_LT(InsertRow(recordset, {{u"D", u"12A"}}), 0);
  errors = ErrorsText(connection);
  EXPECT_NE(errors.find("invalid input syntax for type numeric: \"12A\""), std::string::npos)
      << errors;
  EXPECT_LT(InsertRow(recordset, {{u"D", u"123456.5"}}), 0);
  EXPECT_NE(ErrorsText(connection).find("numeric field overflow"), std::string::npos);

  ASSERT_EQ(InsertRow(recordset, {{u"C", u"TEN CHARS!"}, {u"D", u"-12345.67"}}), 0)
      << ErrorsText(connection);
  // Another session sees the row while this connection is still open: it
  // was committed by itself.
  EXPECT_EQ(RowCount(), 1u);
}

// A driver may echo what it was given: PostgreSQL names the user in a failed
// sign-on, and here the user name is the password.
TEST_F(OdbcPostgres, APasswordEchoedByTheServerIsHidden) {
  const std::u16string secret = u"Echo" + Services::UniqueLibrary();
  HRESULT result = 0;
  auto connection = OpenConnection(services_.PgSource(), secret, secret, &result);
  EXPECT_LT(result, 0);
  const std::string errors = ErrorsText(connection);
  EXPECT_NE(errors.find("password authentication failed for user \"********\""), std::string::npos)
      << errors;
  EXPECT_EQ(mirdane::AsciiUpper(mirdane::Utf8ToUtf16(errors)).find(mirdane::AsciiUpper(secret)),
            std::u16string::npos)
      << errors;

  try {
    OpenSchemaSession(services_.PgSource() + u";PWD=" + secret, secret, u"");
    ADD_FAILURE() << "the sign-on must fail";
  } catch (const SchemaError& error) {
    EXPECT_EQ(std::string(error.what()).find(Utf16ToUtf8(secret)), std::string::npos)
        << error.what();
  }
}

TEST_F(OdbcPostgres, BridgeTablesAreCreatedShownAndCheckedOverOdbc) {
  const auto created = mirdane::bridge::CreateBridgeTables(*schema_, library_);
  ASSERT_EQ(created.size(), 2u);
  EXPECT_EQ(created[0], Utf16ToUtf8(library_) + ".UAGYCPP: created with 39 columns");
  EXPECT_EQ(mirdane::bridge::CreateBridgeTables(*schema_, library_)[1],
            Utf16ToUtf8(library_) + ".UAG0CPP: exists already, left unchanged");
  const auto differences = mirdane::bridge::CheckBridgeTables(*schema_, library_);
  for (const auto& difference : differences) ADD_FAILURE() << difference.Line();

  EXPECT_NE(mirdane::bridge::ShowBridgeTables(*schema_, library_, {}).find("UAG0CPP: 0 rows"),
            std::string::npos);

  schema_->Execute(u"ALTER TABLE " + library_ + u".UAGYCPP ALTER GYABNW TYPE DECIMAL(6, 0)");
  const auto changed = mirdane::bridge::CheckBridgeTables(*schema_, library_);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_TRUE(changed[0].failing);
  EXPECT_NE(changed[0].text.find("GYABNW is NUMERIC(6, 0), the catalogue has DECIMAL(7, 0)"),
            std::string::npos)
      << changed[0].text;

  EXPECT_TRUE(schema_->DescribeTable(library_, u"NOPE").empty());
  EXPECT_FALSE(schema_->LibraryExists(u"NO" + library_));
  const auto missing = mirdane::bridge::CheckBridgeTables(*schema_, u"NO" + library_);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_NE(missing[0].text.find("does not exist"), std::string::npos);
}

// The next connection takes the closed one's session, and with it the
// table's description and prepared INSERT: the same fields as a fresh
// describe, no second describe, and the rows stored.
TEST_F(OdbcPostgres, AKeptSessionServesTheNextConnectionWithItsDescription) {
  auto& pool = SessionPool::Instance();
  pool.Clear();
  const auto before = pool.Statistics();
  const std::size_t described = SourcesDescribed();
  std::vector<std::string> fresh;
  for (const char16_t* text : {u"one", u"two"}) {
    auto connection = Open();
    auto recordset = OpenT(connection);
    if (fresh.empty()) fresh = DescribeFields(recordset);
    EXPECT_EQ(DescribeFields(recordset), fresh);
    EXPECT_EQ(InsertRow(recordset, {{u"c", text}, {u"D", u"-12.5"}}), 0) << ErrorsText(connection);
    EXPECT_EQ(recordset->Close(), 0);
    EXPECT_EQ(connection->Close(), 0);
  }
  EXPECT_EQ(fresh.size(), 3u);
  EXPECT_EQ(pool.Statistics().opened - before.opened, 1u);
  EXPECT_EQ(pool.Statistics().reused - before.reused, 1u);
  EXPECT_EQ(SourcesDescribed() - described, 1u);
  EXPECT_EQ(RowCount(), 2u);

  // A refused value: the table's description is dropped, the session not kept.
  {
    auto connection = Open();
    auto recordset = OpenT(connection);
    EXPECT_LT(InsertRow(recordset, {{u"C", u"far too long for ten"}}), 0);
    auto again = OpenT(connection);
    EXPECT_EQ(SourcesDescribed() - described, 2u);
    EXPECT_EQ(recordset->Close(), 0);
    EXPECT_EQ(again->Close(), 0);
    EXPECT_EQ(connection->Close(), 0);
  }
  EXPECT_EQ(pool.Statistics().idle, 0u);
  auto fresh_connection = Open();
  EXPECT_EQ(pool.Statistics().opened - before.opened, 2u);
}

}  // namespace
}  // namespace dbAx::provider
