// bridge check's comparison: which differences make a release fail.
#include <gtest/gtest.h>

#include <algorithm>

#include "bridge/bridge_check.h"
#include "dbax/provider/sql_type.h"

namespace mirdane::bridge {
namespace {

using dbAx::provider::ParseSqlType;
using dbAx::provider::TableColumn;

// The header table exactly as the catalogue wants it.
std::vector<TableColumn> AsCatalogued(const BridgeTable& table) {
  std::vector<TableColumn> columns;
  for (const auto& column : table.columns) {
    columns.push_back({column.name, ParseSqlType(column.sqlType), false, u"0"});
  }
  return columns;
}

TableColumn& Column(std::vector<TableColumn>& columns, const char16_t* name) {
  return *std::find_if(columns.begin(), columns.end(), [&](auto& c) { return c.name == name; });
}

std::string Lines(const std::vector<Difference>& differences) {
  std::string out;
  for (const auto& d : differences) out += d.Line() + "\n";
  return out;
}

class BridgeCheck : public ::testing::Test {
 protected:
  BridgeTable header_ = BridgeTables()[0];
  BridgeTable lines_ = BridgeTables()[1];
};

TEST_F(BridgeCheck, TablesAsCreatedHaveNoDifferences) {
  EXPECT_TRUE(CompareTable(u"XALIB", header_, AsCatalogued(header_)).empty());
  // PostgreSQL reports DECIMAL as NUMERIC and, through its Unicode driver,
  // CHAR as a wide CHAR: the same values fit.
  auto columns = AsCatalogued(lines_);
  for (auto& column : columns) {
    if (column.type.kind == dbAx::provider::SqlType::Kind::Decimal) {
      column.type.kind = dbAx::provider::SqlType::Kind::Numeric;
    } else {
      column.type.kind = dbAx::provider::SqlType::Kind::Graphic;
    }
  }
  EXPECT_TRUE(CompareTable(u"XALIB", lines_, columns).empty()) << Lines(CompareTable(u"XALIB", lines_, columns));
}

TEST_F(BridgeCheck, NarrowerColumnsFailAndWiderOnesOnlyWarn) {
  auto columns = AsCatalogued(header_);
  Column(columns, u"GYABNW").type = ParseSqlType(u"DECIMAL(6, 0)");   // catalogue: DECIMAL(7, 0)
  Column(columns, u"GYABNT").type = ParseSqlType(u"CHAR(8)");         // CHAR(10)
  Column(columns, u"GYAB34").type = ParseSqlType(u"DECIMAL(15, 1)");  // DECIMAL(15, 2)
  Column(columns, u"GYHBCD").type = ParseSqlType(u"CHAR(12)");        // CHAR(10)
  Column(columns, u"GYASCD").type = ParseSqlType(u"DECIMAL(2, 0)");   // CHAR(10)
  const auto differences = CompareTable(u"XALIB", header_, columns);
  const std::string text = Lines(differences);
  EXPECT_NE(text.find("error: XALIB.UAGYCPP.GYABNW is DECIMAL(6, 0), the catalogue has "
                      "DECIMAL(7, 0): numbers of more than 6 integer digits are refused"),
            std::string::npos) << text;
  EXPECT_NE(text.find("error: XALIB.UAGYCPP.GYABNT is CHAR(8), the catalogue has CHAR(10): texts "
                      "longer than 8 characters are refused"),
            std::string::npos) << text;
  EXPECT_NE(text.find("error: XALIB.UAGYCPP.GYAB34 is DECIMAL(15, 1)"), std::string::npos) << text;
  EXPECT_NE(text.find("warning: XALIB.UAGYCPP.GYHBCD is CHAR(12), the catalogue has CHAR(10)\n"),
            std::string::npos) << text;
  EXPECT_NE(text.find("error: XALIB.UAGYCPP.GYASCD is DECIMAL(2, 0), the catalogue has CHAR(10)\n"),
            std::string::npos) << text;
  EXPECT_EQ(differences.size(), 5u) << text;
}

TEST_F(BridgeCheck, MissingColumnsAndTablesFail) {
  auto columns = AsCatalogued(lines_);
  columns.erase(std::remove_if(columns.begin(), columns.end(),
                               [](auto& c) { return c.name == u"G0GMNB" || c.name == u"G0FRNA"; }),
                columns.end());
  const std::string text = Lines(CompareTable(u"XALIB", lines_, columns));
  EXPECT_NE(text.find("error: XALIB.UAG0CPP.G0GMNB (DECIMAL(5, 0)) is missing: the release writes "
                      "it into every row"),
            std::string::npos) << text;
  EXPECT_NE(text.find("error: XALIB.UAG0CPP.G0FRNA (CHAR(40)) is missing: values mapped to it "
                      "would be dropped"),
            std::string::npos) << text;
  EXPECT_EQ(Lines(CompareTable(u"XALIB", lines_, {})),
            "error: XALIB.UAG0CPP does not exist (mirdane bridge create makes it)\n");
}

TEST_F(BridgeCheck, TheGeneratedNumbersMustHoldTheirDigits) {
  auto columns = AsCatalogued(header_);
  Column(columns, u"GYABNV").type = ParseSqlType(u"BIGINT");  // 18 digits hold the 15
  EXPECT_EQ(Lines(CompareTable(u"XALIB", header_, columns)),
            "warning: XALIB.UAGYCPP.GYABNV is BIGINT, the catalogue has DECIMAL(15, 0)\n");
  Column(columns, u"GYABNV").type = ParseSqlType(u"INTEGER");
  EXPECT_NE(Lines(CompareTable(u"XALIB", header_, columns)).find("error: XALIB.UAGYCPP.GYABNV"),
            std::string::npos);
}

TEST_F(BridgeCheck, ColumnsWithoutDefaultsRefuseRows) {
  auto columns = AsCatalogued(header_);
  columns.push_back({u"EXTRA", ParseSqlType(u"INTEGER"), false, std::nullopt});
  columns.push_back({u"NOTE", ParseSqlType(u"VARCHAR(10)"), true, std::nullopt});  // NULL will do
  Column(columns, u"GYALNA").default_value.reset();
  const auto differences = CompareTable(u"XALIB", header_, columns);
  EXPECT_EQ(Lines(differences),
            "warning: XALIB.UAGYCPP.GYALNA is NOT NULL without a default: a document that does not "
            "map it is refused\n"
            "error: XALIB.UAGYCPP.EXTRA (INTEGER) is not in the catalogue and is NOT NULL without "
            "a default: every row is refused\n");
}

}  // namespace
}  // namespace mirdane::bridge
