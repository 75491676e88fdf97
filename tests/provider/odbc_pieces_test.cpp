// The ODBC backend's pieces that need no driver: secrets kept out of texts,
// the connection string, the accepted source query, the column mapping.
#include <gtest/gtest.h>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/odbc/columns.h"
#include "dbax/provider/odbc/connection_string.h"
#include "dbax/provider/odbc/insert_source.h"
#include "dbax/provider/secret_scrubber.h"

namespace dbAx::provider {
namespace {

using mirdane::Utf16ToUtf8;

TEST(SecretScrubber, HidesPasswordKeywordsAndTheSecretInAnyCase) {
  SecretScrubber scrubber;
  scrubber.AddSecret(u"s3cret!");
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"DSN=xa;UID=bob;PWD=s3cret!;PORT=1")),
            "DSN=xa;UID=bob;PWD=********;PORT=1");
  // A driver's own message that names the secret, folded to upper case.
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"user \"S3CRET!\" refused")), "user \"********\" refused");
  // Braced values may hold semicolons; keywords are found in any case and spacing.
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"password = {a;b}}c};x=1")), "password = ********;x=1");
  // Words that merely contain the keywords stay.
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"password authentication failed; PWDX=1")),
            "password authentication failed; PWDX=1");
}

TEST(SecretScrubber, LearnsTheSecretsOfAConnectionString) {
  SecretScrubber scrubber;
  scrubber.AddSecretsOf(u"DSN=xa;PWD={p;w}}d};UID=u");
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"login p;w}d failed")), "login ******** failed");
  SecretScrubber empty;
  empty.AddSecret(u"");
  EXPECT_EQ(Utf16ToUtf8(empty.Scrub(u"nothing to hide")), "nothing to hide");
}

TEST(SecretScrubber, ShortPasswordsAreHiddenOnlyAsKeywordValues) {
  // Hiding every "3" would leave "SQL****3***" of a message: unreadable.
  SecretScrubber scrubber;
  scrubber.AddSecretsOf(u"DSN=xa;PWD=3");
  scrubber.AddSecret(u"abc");
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"SQL0313 on DSN=xa;PWD=3; for abc")),
            "SQL0313 on DSN=xa;PWD=********; for abc");
  scrubber.AddSecret(u"abcd");
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"SQL0313 for ABCD and abc")), "SQL0313 for ******** and abc");
  // Counted in characters, not UTF-16 units.
  scrubber.AddSecret(u"\U0001F600\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(scrubber.Scrub(u"x\U0001F600\U0001F600")), "x\xF0\x9F\x98\x80\xF0\x9F\x98\x80");
}

TEST(SecretScrubber, MaskPasswordsHidesEveryPasswordPropertyOfAString) {
  EXPECT_EQ(Utf16ToUtf8(MaskPasswords(u"odbc:DSN=xa;UID=u;PWD=x;Password = {a;b};PORT=1")),
            "odbc:DSN=xa;UID=u;PWD=********;Password = ********;PORT=1");
  EXPECT_EQ(Utf16ToUtf8(MaskPasswords(u"sqlite:/tmp/PWDS")), "sqlite:/tmp/PWDS");
}

TEST(OdbcConnectionString, AddsUserAndPasswordReplacingThoseOfTheString) {
  auto built = odbc::BuildConnectionString({BackendKind::Odbc, u"DSN=xa;UID=old;PWD=old;"},
                                           u"bob", u"p;w}");
  ASSERT_TRUE(built.valid);
  EXPECT_EQ(Utf16ToUtf8(built.text), "DSN=xa;UID=bob;PWD={p;w}}}");
  // Without a separate password the string's own stays.
  built = odbc::BuildConnectionString({BackendKind::Odbc, u"DSN=xa;PWD=own"}, u"", u"");
  EXPECT_EQ(Utf16ToUtf8(built.text), "DSN=xa;PWD=own");
  EXPECT_EQ(Utf16ToUtf8(odbc::WithoutPasswords(u"DSN=xa;Pwd={a;b};UID=u")), "DSN=xa;UID=u");
  EXPECT_FALSE(odbc::BuildConnectionString({BackendKind::Odbc, u" ; "}, u"", u"").valid);
}

TEST(OdbcConnectionString, PlainSystemNamesGoToIbmsDriver) {
  const auto built = odbc::BuildConnectionString({BackendKind::IbmI, u"as400.example.com"},
                                                 u"XAUSER", u"pw");
  EXPECT_EQ(Utf16ToUtf8(built.text),
            "DRIVER={IBM i Access ODBC Driver};SYSTEM=as400.example.com;UID=XAUSER;PWD=pw");
  // A name that would add keywords of its own is refused, naming it.
  const auto refused = odbc::BuildConnectionString({BackendKind::IbmI, u"host;DSN=other"}, u"", u"");
  EXPECT_FALSE(refused.valid);
  EXPECT_NE(Utf16ToUtf8(refused.problem).find("'host;DSN=other'"), std::string::npos);
}

TEST(InsertSource, AcceptsOnlyTheReleasesQueryWithIdentifiers) {
  auto source = odbc::ParseInsertSource(u"select *  from xalib.UAGYCPP\twhere 1 = 0");
  ASSERT_TRUE(source.valid) << Utf16ToUtf8(source.problem);
  // Quoted, folded as the server folds unquoted names, so that '#' and '@'
  // are part of a name on every server.
  EXPECT_EQ(Utf16ToUtf8(source.DescribeQuery(IdentifierCase::Upper)),
            "SELECT * FROM \"XALIB\".\"UAGYCPP\" WHERE 1=0");
  EXPECT_EQ(Utf16ToUtf8(source.DescribeQuery(IdentifierCase::Lower)),
            "SELECT * FROM \"xalib\".\"uagycpp\" WHERE 1=0");
  source = odbc::ParseInsertSource(u"SELECT * FROM XA#L_$@.UAGYCPP WHERE 1=0");
  ASSERT_TRUE(source.valid) << Utf16ToUtf8(source.problem);
  EXPECT_EQ(Utf16ToUtf8(source.QualifiedTable(IdentifierCase::AsWritten)),
            "\"XA#L_$@\".\"UAGYCPP\"");
  for (const char16_t* refused :
       {u"SELECT * FROM X;DROP.T WHERE 1=0", u"SELECT * FROM XALIB.T WHERE 1=0; DELETE FROM T",
        u"SELECT * FROM .UAGYCPP WHERE 1=0", u"SELECT * FROM UAGYCPP WHERE 1=0",
        u"SELECT A FROM XALIB.T WHERE 1=0", u"SELECT * FROM XALIB.\"T\" WHERE 1=0"}) {
    source = odbc::ParseInsertSource(refused);
    EXPECT_FALSE(source.valid) << Utf16ToUtf8(refused);
    EXPECT_FALSE(source.problem.empty());
  }
  EXPECT_NE(Utf16ToUtf8(odbc::ParseInsertSource(u"SELECT * FROM 1LIB.T WHERE 1=0").problem)
                .find("'1LIB'"),
            std::string::npos);
}

TEST(OdbcColumns, MapSqlTypesToAdoTypesWithPrecisionAndScale) {
  struct Case {
    SQLSMALLINT sql;
    SQLULEN size;
    SQLSMALLINT digits;
    std::int32_t ado;
    std::uint8_t precision, scale;
    const char* canonical;
  };
  for (const auto& c : {Case{SQL_CHAR, 10, 0, 129, 0, 0, "CHAR(10)"},
                        Case{SQL_VARCHAR, 30, 0, 200, 0, 0, "VARCHAR(30)"},
                        Case{SQL_DECIMAL, 15, 2, 14, 15, 2, "DECIMAL(15, 2)"},
                        Case{SQL_NUMERIC, 7, 0, 131, 7, 0, "NUMERIC(7, 0)"},
                        Case{SQL_INTEGER, 10, 0, 3, 10, 0, "INTEGER"},
                        Case{SQL_WCHAR, 10, 0, 130, 0, 0, "GRAPHIC(10)"},
                        Case{SQL_TYPE_DATE, 10, 0, 133, 0, 0, "DATE"}}) {
    const auto type = odbc::SqlTypeOf(c.sql, c.size, c.digits);
    const auto column = odbc::ColumnInfoOf(u"C", type, SQL_NO_NULLS, SQL_ATTR_WRITE);
    EXPECT_EQ(column.type, c.ado) << c.canonical;
    EXPECT_EQ(column.precision, c.precision) << c.canonical;
    EXPECT_EQ(column.scale, c.scale) << c.canonical;
    EXPECT_EQ(Utf16ToUtf8(type.Canonical()), c.canonical);
  }
}

TEST(OdbcColumns, OnlyIdentifiersTheDriverLetsWriteAreUpdatable) {
  const auto type = odbc::SqlTypeOf(SQL_CHAR, 1, 0);
  EXPECT_EQ(odbc::ColumnInfoOf(u"C", type, SQL_NULLABLE, SQL_ATTR_WRITE).attributes &
                (ado::adFldUpdatable | ado::adFldUnknownUpdatable | ado::adFldIsNullable),
            ado::adFldUpdatable | ado::adFldIsNullable);
  EXPECT_EQ(odbc::ColumnInfoOf(u"C", type, SQL_NO_NULLS, SQL_ATTR_READWRITE_UNKNOWN).attributes &
                (ado::adFldUpdatable | ado::adFldUnknownUpdatable),
            ado::adFldUnknownUpdatable);
  EXPECT_EQ(odbc::ColumnInfoOf(u"C", type, SQL_NO_NULLS, SQL_ATTR_READONLY).attributes &
                (ado::adFldUpdatable | ado::adFldUnknownUpdatable),
            0);
  // A name that cannot be written into an INSERT never takes a value.
  EXPECT_EQ(odbc::ColumnInfoOf(u"A\"B", type, SQL_NO_NULLS, SQL_ATTR_WRITE).attributes &
                (ado::adFldUpdatable | ado::adFldUnknownUpdatable),
            0);
}

}  // namespace
}  // namespace dbAx::provider
