#include <gtest/gtest.h>

#include "dbax/provider/ado.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/sql_type.h"
#include "dbax/provider/sqlite/source_target.h"
#include "dbax/sql_identifier.h"
#include "base/text.h"

namespace dbAx::provider {
namespace {

std::u16string SourceOf(const std::u16string& data_source) {
  return DataSourceOf(u"Provider=IBMDA400;Data source=" + data_source + u";Force Translate=0");
}

TEST(Routing, TheDataSourceIsReadOutOfTheReleasesConnectionString) {
  EXPECT_EQ(SourceOf(u"sqlite:/var/xa"), u"sqlite:/var/xa");
  EXPECT_EQ(SourceOf(u"PRODSYS"), u"PRODSYS");
  // An ODBC string keeps its own semicolons and braces.
  EXPECT_EQ(SourceOf(u"odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=5433"),
            u"odbc:DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=5433");
  EXPECT_EQ(SourceOf(u"odbc:DSN=x;PWD={a;b}"), u"odbc:DSN=x;PWD={a;b}");
  EXPECT_EQ(DataSourceOf(u"Provider=IBMDA400;DATA SOURCE = sys ;"), u"sys");
  EXPECT_EQ(DataSourceOf(u"Provider=IBMDA400;Force Translate=0"), u"");
  EXPECT_EQ(SourceOf(u""), u"");
}

TEST(Routing, AnOleDbStringAsDataSourceKeepsItsOwnProperties) {
  // Its properties are OLE DB ones too: only the release's closing property is left out.
  EXPECT_EQ(SourceOf(u"ado:Provider=MSDASQL;Data Source=xa"),
            u"ado:Provider=MSDASQL;Data Source=xa");
  EXPECT_EQ(SourceOf(u"ADO:Provider=IBMDA400;Data Source=sys;Force Translate=65535"),
            u"ADO:Provider=IBMDA400;Data Source=sys;Force Translate=65535");
  EXPECT_EQ(DataSourceOf(u"Provider=IBMDA400;Data source=ado:Provider=MSDASQL;User ID=u"),
            u"ado:Provider=MSDASQL;User ID=u");
  // An ODBC string still ends at the first OLE DB property.
  EXPECT_EQ(SourceOf(u"odbc:DSN=xa;Provider=x"), u"odbc:DSN=xa");
}

TEST(Routing, ThePrefixPicksTheBackend) {
  EXPECT_EQ(RouteOf(u"ado:Provider=MSDASQL;Data Source=xa").kind, BackendKind::Ado);
  EXPECT_EQ(RouteOf(u" Ado:Provider=MSDASQL").target, u"Provider=MSDASQL");
  EXPECT_EQ(RouteOf(u"sqlite:build/demo").kind, BackendKind::StandIn);
  EXPECT_EQ(RouteOf(u"SQLite:build/demo").target, u"build/demo");
  EXPECT_EQ(RouteOf(u"odbc:DSN=xa").kind, BackendKind::Odbc);
  EXPECT_EQ(RouteOf(u"odbc:DSN=xa").target, u"DSN=xa");
  EXPECT_EQ(RouteOf(u"AS400.EXAMPLE.COM").kind, BackendKind::IbmI);
}

TEST(Routing, WithoutAdoAnAdoDataSourceIsRefusedByName) {
  // It must not fall through to the IBM i route, which would try a system of that name.
  std::shared_ptr<Connection> connection;
  ASSERT_EQ(CreateConnection(&connection), mirdane::hr::kOk);
  const HRESULT result = connection->Open(
      u"Provider=IBMDA400;Data source=ado:Provider=MSDASQL;Data Source=xa;Force Translate=0",
      u"", u"", -1);
  EXPECT_EQ(result, ado::adErrProviderNotFound);
  std::shared_ptr<Errors> errors;
  ASSERT_EQ(connection->get_Errors(&errors), mirdane::hr::kOk);
  std::shared_ptr<Error> error;
  ASSERT_EQ(errors->get_Item(mirdane::Variant::I4(0), &error), mirdane::hr::kOk);
  std::u16string description;
  error->get_Description(&description);
  EXPECT_EQ(description, u"Microsoft ADO (ado:) is not available in this build of the provider.");
}

TEST(SqlType, AbsurdLengthsAreCappedRatherThanOverflowing) {
  EXPECT_EQ(ParseSqlType(u"CHAR(99999999999999999999)").length, 32767);
  EXPECT_EQ(ParseSqlType(u"DECIMAL(2147483648, 99999999999)").precision, 32767);
  EXPECT_EQ(ParseSqlType(u"CHAR(32766)").length, 32766);
}

TEST(SqlType, DeclarationsMapToAdoTypesWithPrecisionAndScale) {
  const auto decimal = ParseSqlType(u"decimal(15, 2)");
  EXPECT_EQ(decimal.AdoType(), 14);
  EXPECT_EQ(decimal.precision, 15);
  EXPECT_EQ(decimal.scale, 2);
  EXPECT_EQ(decimal.Canonical(), u"DECIMAL(15, 2)");
  EXPECT_EQ(ParseSqlType(u"NUMERIC(7,0)").AdoType(), 131);
  EXPECT_EQ(ParseSqlType(u"CHAR (10)").AdoType(), 129);
  EXPECT_EQ(ParseSqlType(u"CHAR (10)").length, 10);
  EXPECT_EQ(ParseSqlType(u"character varying(40)").AdoType(), 200);
  EXPECT_EQ(ParseSqlType(u"INTEGER").AdoType(), 3);
  EXPECT_EQ(ParseSqlType(u"DEC").Canonical(), u"DECIMAL(5, 0)");
  EXPECT_EQ(ParseSqlType(u"BLOB").kind, SqlType::Kind::Other);
}

TEST(SourceTarget, FindsTheQualifiedTableOfAQuery) {
  auto target = sqlite::SourceTargetOf(u"SELECT * FROM XALIB.UAGYCPP WHERE 1=0");
  EXPECT_TRUE(target.qualified);
  EXPECT_EQ(target.library, u"XALIB");
  EXPECT_EQ(target.table, u"UAGYCPP");
  target = sqlite::SourceTargetOf(u"SELECT * FROM .UAGYCPP WHERE 1=0");
  EXPECT_TRUE(target.qualified);
  EXPECT_EQ(target.library, u"");
  EXPECT_FALSE(sqlite::SourceTargetOf(u"SELECT 1").found);
}

TEST(SqlIdentifier, OnlyOrdinaryIbmINamesPass) {
  for (const auto* good : {u"XALIB", u"xalib", u"A1", u"$LIB", u"#X@_"}) {
    EXPECT_TRUE(IsSqlIdentifier(good)) << mirdane::Utf16ToUtf8(good);
  }
  for (const auto* bad : {u"", u"1LIB", u"XA LIB", u"XA;DROP", u"XA.LIB", u"X\"A", u"XÄ"}) {
    EXPECT_FALSE(IsSqlIdentifier(bad));
  }
  EXPECT_TRUE(IsSqlIdentifier(std::u16string(128, u'A')));
  EXPECT_FALSE(IsSqlIdentifier(std::u16string(129, u'A')));
}

}  // namespace
}  // namespace dbAx::provider
