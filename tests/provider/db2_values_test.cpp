// The stand-in takes values as a DB2 for i column would.
#include <gtest/gtest.h>

#include "base/text.h"
#include "dbax/provider/sqlite/db2_values.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::Variant;

Db2Verdict Take(const char16_t* type, const char16_t* text) {
  return TakeValue(ParseSqlType(type), u"COL", Variant::Text(text));
}

TEST(Db2Values, CharIsPaddedAndATooLongTextRefused) {
  EXPECT_EQ(*Take(u"CHAR(4)", u"ab").stored.AsText(), u"ab  ");
  EXPECT_EQ(*Take(u"CHAR(4)", u"").stored.AsText(), u"    ");
  EXPECT_TRUE(Take(u"CHAR(2)", u"\U0001F600x").accepted) << "a surrogate pair is one character";
  const auto refused = Take(u"CHAR(4)", u"abcde");
  EXPECT_FALSE(refused.accepted);
  EXPECT_EQ(refused.refusal,
            u"SQL0404 - Value for column COL too long: 'abcde' has 5 characters, CHAR(4) holds 4.");
  EXPECT_EQ(*Take(u"VARCHAR(4)", u"ab").stored.AsText(), u"ab");
  EXPECT_FALSE(Take(u"VARCHAR(4)", u"abcde").accepted);
}

TEST(Db2Values, TrailingBlanksThatDoNotFitAreDroppedAsDb2DropsThem) {
  EXPECT_EQ(*Take(u"CHAR(10)", u"ABCDEFGHIJ ").stored.AsText(), u"ABCDEFGHIJ");
  EXPECT_EQ(*Take(u"CHAR(3)", u"ab      ").stored.AsText(), u"ab ");
  EXPECT_EQ(*Take(u"VARCHAR(3)", u"abc   ").stored.AsText(), u"abc");
  EXPECT_EQ(*Take(u"CHAR(2)", u"\U0001F600x  ").stored.AsText(), u"\U0001F600x");
  // A character other than a blank would be lost: refused, with the value as given.
  EXPECT_EQ(Take(u"CHAR(3)", u"abc d").refusal,
            u"SQL0404 - Value for column COL too long: 'abc d' has 5 characters, CHAR(3) holds 3.");
  EXPECT_FALSE(Take(u"CHAR(3)", u"abc\t").accepted) << "only blanks are dropped";
  EXPECT_FALSE(Take(u"CHAR(1)", u"  x").accepted);
  EXPECT_TRUE(Take(u"CHAR(1)", u"   ").accepted);
}

TEST(Db2Values, DecimalMustBeANumberThatFitsWithoutCutting) {
  EXPECT_EQ(Take(u"DECIMAL(7, 0)", u" 0020241 ").stored.AsInteger(), 20241);
  EXPECT_EQ(Take(u"DECIMAL(7, 0)", u"-5").stored.AsInteger(), -5);
  EXPECT_EQ(*Take(u"DECIMAL(4, 2)", u"12.50").stored.AsText(), u"12.50");
  EXPECT_EQ(*Take(u"DECIMAL(4, 2)", u"-12.50").stored.AsText(), u"-12.50") << "a sign is no digit";
  EXPECT_EQ(*Take(u"DECIMAL(4, 2)", u"+12.50").stored.AsText(), u"12.50");
  EXPECT_EQ(*Take(u"DECIMAL(4, 2)", u"+.5").stored.AsText(), u"0.5");
  EXPECT_TRUE(Take(u"DECIMAL(4, 2)", u"12.").accepted);

  for (const auto* not_a_number : {u"", u"  ", u"12A", u"1.2.3", u"-", u".", u"1,5", u"1e3"}) {
    const auto verdict = Take(u"DECIMAL(7, 0)", not_a_number);
    EXPECT_FALSE(verdict.accepted) << mirdane::Utf16ToUtf8(not_a_number);
    EXPECT_NE(verdict.refusal.find(u"is not a number"), std::u16string::npos);
  }
  EXPECT_EQ(Take(u"DECIMAL(7, 0)", u"20241231").refusal,
            u"SQL0406 - Conversion error on column COL: '20241231' has 8 digits before the "
            u"decimal point, DECIMAL(7, 0) holds 7.");
  EXPECT_FALSE(Take(u"DECIMAL(4, 2)", u"123").accepted) << "4 - 2 = 2 integer digits";
  EXPECT_FALSE(Take(u"DECIMAL(15, 4)", u"1.23456").accepted) << "never rounded";
  EXPECT_FALSE(Take(u"DECIMAL(7, 0)", u"1.5").accepted);
  EXPECT_FALSE(Take(u"DECIMAL(7, 0)", u"1.000").accepted) << "even zeros are not cut";
}

TEST(Db2Values, IntegersAndNullsFollowTheColumn) {
  EXPECT_EQ(Take(u"INTEGER", u"42").stored.AsInteger(), 42);
  EXPECT_FALSE(Take(u"SMALLINT", u"40000").accepted);
  EXPECT_FALSE(Take(u"INTEGER", u"4.2").accepted);
  EXPECT_FALSE(TakeValue(ParseSqlType(u"CHAR(1)"), u"COL", Variant::Null()).accepted);
}

}  // namespace
}  // namespace dbAx::provider::sqlite
