#include "dbax/provider/sql_type.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "dbax/provider/ado.h"

namespace dbAx::provider {
namespace {

struct Name {
  std::u16string_view text;
  SqlType::Kind kind;
};

constexpr Name kNames[] = {
    {u"CHARACTER VARYING", SqlType::Kind::VarChar},
    {u"CHAR VARYING", SqlType::Kind::VarChar},
    {u"VARCHAR", SqlType::Kind::VarChar},
    {u"CHARACTER", SqlType::Kind::Char},
    {u"CHAR", SqlType::Kind::Char},
    {u"NCHAR", SqlType::Kind::Graphic},
    {u"NVARCHAR", SqlType::Kind::VarGraphic},
    {u"VARGRAPHIC", SqlType::Kind::VarGraphic},
    {u"GRAPHIC", SqlType::Kind::Graphic},
    {u"DECIMAL", SqlType::Kind::Decimal},
    {u"DEC", SqlType::Kind::Decimal},
    {u"NUMERIC", SqlType::Kind::Numeric},
    {u"SMALLINT", SqlType::Kind::SmallInt},
    {u"INTEGER", SqlType::Kind::Integer},
    {u"INT", SqlType::Kind::Integer},
    {u"BIGINT", SqlType::Kind::BigInt},
    {u"REAL", SqlType::Kind::Real},
    {u"DOUBLE PRECISION", SqlType::Kind::Double},
    {u"DOUBLE", SqlType::Kind::Double},
    {u"FLOAT", SqlType::Kind::Double},
    {u"DATE", SqlType::Kind::Date},
    {u"TIMESTAMP", SqlType::Kind::Timestamp},
    {u"TIME", SqlType::Kind::Time},
};

// No DB2 for i column is longer than 32766 characters or has more than 63
// digits; a larger number in a declared type (a damaged catalog) is taken as
// this, rather than overflowing or asking for gigabytes of padding.
constexpr std::int32_t kLargestTypeArgument = 32767;

std::vector<std::int32_t> NumbersIn(std::u16string_view arguments) {
  std::vector<std::int32_t> numbers;
  std::int32_t value = 0;
  bool any = false;
  for (const char16_t c : arguments) {
    if (c >= u'0' && c <= u'9') {
      value = std::min(kLargestTypeArgument, value * 10 + (c - u'0'));
      any = true;
    } else if (c == u',') {
      numbers.push_back(any ? value : 0);
      value = 0;
      any = false;
    }
  }
  if (any || !numbers.empty()) numbers.push_back(value);
  return numbers;
}

}  // namespace

SqlType ParseSqlType(const std::u16string& declared) {
  SqlType type;
  type.declared = declared;
  // Collapse runs of blanks so that "DOUBLE  PRECISION" and "CHAR (10)" read alike.
  std::u16string upper;
  for (const char16_t c : mirdane::AsciiUpper(mirdane::TrimBlanks(declared))) {
    if (c == u' ' && (upper.empty() || upper.back() == u' ')) continue;
    upper.push_back(c);
  }
  const auto open = upper.find(u'(');
  std::u16string_view head = mirdane::TrimBlanks(std::u16string_view(upper).substr(0, open));
  std::vector<std::int32_t> numbers;
  if (open != std::u16string::npos) {
    const auto close = upper.find(u')', open);
    numbers = NumbersIn(std::u16string_view(upper).substr(open + 1, close - open - 1));
  }
  for (const auto& name : kNames) {
    if (head != name.text) continue;
    type.kind = name.kind;
    break;
  }
  switch (type.kind) {
    case SqlType::Kind::Char:
    case SqlType::Kind::Graphic:
      type.length = numbers.empty() ? 1 : numbers[0];
      break;
    case SqlType::Kind::VarChar:
    case SqlType::Kind::VarGraphic:
      type.length = numbers.empty() ? 0 : numbers[0];
      break;
    case SqlType::Kind::Decimal:
    case SqlType::Kind::Numeric:
      type.precision = numbers.empty() ? 5 : numbers[0];
      type.scale = numbers.size() > 1 ? numbers[1] : 0;
      break;
    default:
      break;
  }
  return type;
}

std::int32_t SqlType::AdoType() const {
  switch (kind) {
    case Kind::Char: return ado::adChar;
    case Kind::VarChar: return ado::adVarChar;
    case Kind::Graphic: return ado::adWChar;
    case Kind::VarGraphic: return ado::adVarWChar;
    case Kind::Decimal: return ado::adDecimal;
    case Kind::Numeric: return ado::adNumeric;
    case Kind::SmallInt: return ado::adSmallInt;
    case Kind::Integer: return ado::adInteger;
    case Kind::BigInt: return ado::adBigInt;
    case Kind::Real: return ado::adSingle;
    case Kind::Double: return ado::adDouble;
    case Kind::Date: return ado::adDBDate;
    case Kind::Time: return ado::adDBTime;
    case Kind::Timestamp: return ado::adDBTimeStamp;
    case Kind::Other: break;
  }
  return ado::adVarChar;
}

std::u16string SqlType::Canonical() const {
  switch (kind) {
    case Kind::Char: return mirdane::FormatText(u"CHAR(%d)", {length});
    case Kind::VarChar: return mirdane::FormatText(u"VARCHAR(%d)", {length});
    case Kind::Graphic: return mirdane::FormatText(u"GRAPHIC(%d)", {length});
    case Kind::VarGraphic: return mirdane::FormatText(u"VARGRAPHIC(%d)", {length});
    case Kind::Decimal: return mirdane::FormatText(u"DECIMAL(%d, %d)", {precision, scale});
    case Kind::Numeric: return mirdane::FormatText(u"NUMERIC(%d, %d)", {precision, scale});
    case Kind::SmallInt: return u"SMALLINT";
    case Kind::Integer: return u"INTEGER";
    case Kind::BigInt: return u"BIGINT";
    case Kind::Real: return u"REAL";
    case Kind::Double: return u"DOUBLE";
    case Kind::Date: return u"DATE";
    case Kind::Time: return u"TIME";
    case Kind::Timestamp: return u"TIMESTAMP";
    case Kind::Other: break;
  }
  return declared;
}

}  // namespace dbAx::provider
