#include <gtest/gtest.h>

#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"

namespace mirdane::bridge {
namespace {

TEST(BridgeSchema, TablesHoldTheCatalogueColumnsAndTheGeneratedOnes) {
  const auto tables = BridgeTables();
  ASSERT_EQ(tables.size(), 2u);
  EXPECT_EQ(tables[0].name, u"UAGYCPP");
  EXPECT_EQ(tables[0].columns.size(), 38u + 1u);
  EXPECT_EQ(tables[0].columns[0].name, u"GYABNV");
  EXPECT_EQ(tables[1].name, u"UAG0CPP");
  EXPECT_EQ(tables[1].columns.size(), 42u + 2u);
  EXPECT_EQ(tables[1].columns[1].name, u"G0GMNB");
  EXPECT_EQ(tables[1].columns[1].sqlType, u"DECIMAL(5, 0)");
}

TEST(BridgeSchema, EveryColumnIsNotNullWithABlankOrZeroDefault) {
  const auto sql = CreateTableStatement(u"\"XA#LIB\".\"UAGYCPP\"", BridgeTables()[0]);
  EXPECT_EQ(sql.rfind(u"CREATE TABLE \"XA#LIB\".\"UAGYCPP\" (GYABNV DECIMAL(15, 0) NOT NULL "
                      u"DEFAULT 0, GYABNT CHAR(10) NOT NULL DEFAULT '          ', ", 0), 0u);
  EXPECT_NE(sql.find(u"GYA1SS CHAR(1) NOT NULL DEFAULT ' '"), std::u16string::npos);
  // The header's transaction number is a unique key; the lines have none.
  EXPECT_EQ(sql.substr(sql.size() - 18), u", UNIQUE (GYABNV))");
  const auto lines = CreateTableStatement(u"L.T", BridgeTables()[1]);
  EXPECT_EQ(lines.find(u"UNIQUE"), std::u16string::npos);
}

TEST(BridgeShow, DecimalsAreShownWithTheirScale) {
  EXPECT_EQ(FormatDecimal(u"12.5", 2), u"12.50");
  EXPECT_EQ(FormatDecimal(u"7", 4), u"7.0000");
  EXPECT_EQ(FormatDecimal(u"-.5", 1), u"-0.5");
  EXPECT_EQ(FormatDecimal(u"260305070409045", 0), u"260305070409045");
  EXPECT_EQ(FormatDecimal(u"abc", 2), u"abc");
}

}  // namespace
}  // namespace mirdane::bridge
