#include "dbax/provider/sqlite/db2_values.h"

#include <cmath>
#include <limits>

#include "base/format.h"
#include "base/text.h"

namespace dbAx::provider::sqlite {
namespace {

using mirdane::FormatText;
using mirdane::Variant;

Db2Verdict Refuse(std::u16string reason) { return Db2Verdict{false, Variant(), std::move(reason)}; }

Db2Verdict Accept(Variant stored) { return Db2Verdict{true, std::move(stored), {}}; }

// The parts of a number, as views into the text it was read from: a value
// is taken for every field of every row, so nothing is copied to read it.
struct ParsedNumber {
  bool negative = false;
  std::u16string_view integer;   // without leading zeros
  std::u16string_view fraction;  // as written
};

// A number as DB2 reads one from text: blanks around it, an optional sign,
// digits with at most one decimal point, at least one digit.
bool ParseNumber(std::u16string_view text, ParsedNumber* number) {
  text = mirdane::TrimBlanks(text);
  if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) {
    number->negative = text[0] == u'-';
    text.remove_prefix(1);
  }
  std::size_t point = std::u16string_view::npos;
  bool any_digit = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'.' && point == std::u16string_view::npos) {
      point = i;
    } else if (c >= u'0' && c <= u'9') {
      any_digit = true;
    } else {
      return false;
    }
  }
  std::u16string_view integer = text.substr(0, point);
  while (!integer.empty() && integer.front() == u'0') integer.remove_prefix(1);
  number->integer = integer;
  number->fraction =
      point == std::u16string_view::npos ? std::u16string_view() : text.substr(point + 1);
  return any_digit;
}

std::u16string Quoted(std::u16string_view text) {
  std::u16string quoted = u"'";
  quoted += text;
  return quoted += u"'";
}

// The UTF-16 offset after the first `count` code points of `text`.
std::size_t OffsetOfCodePoint(std::u16string_view text, std::int32_t count) {
  std::size_t at = 0;
  for (std::int32_t i = 0; i < count && at < text.size(); ++i) {
    const bool pair = text[at] >= 0xD800 && text[at] <= 0xDBFF && at + 1 < text.size() &&
                      text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
    at += pair ? 2 : 1;
  }
  return at;
}

Db2Verdict TakeText(const SqlType& type, const std::u16string& column, std::u16string_view text) {
  const bool fixed = type.kind == SqlType::Kind::Char || type.kind == SqlType::Kind::Graphic;
  auto length = static_cast<std::int32_t>(mirdane::CodePointCount(text));
  if (length > type.length && (fixed || type.length > 0)) {
    // As DB2 assigns a string: trailing blanks that do not fit are dropped;
    // only a character other than a blank makes the value too long.
    const std::size_t end = OffsetOfCodePoint(text, type.length);
    if (text.find_first_not_of(u' ', end) == std::u16string_view::npos) {
      text = text.substr(0, end);
      length = type.length;
    }
  }
  if (length > type.length && (fixed || type.length > 0)) {
    return Refuse(FormatText(
        u"SQL0404 - Value for column %s too long: %s has %d characters, %s holds %d.",
        {column, Quoted(text), length, type.Canonical(), type.length}));
  }
  if (!fixed) return Accept(Variant::Text(std::u16string(text)));
  // A CHAR column is padded with blanks to its length.
  std::u16string padded;
  padded.reserve(text.size() + static_cast<std::size_t>(type.length - length));
  padded.append(text);
  padded.append(static_cast<std::size_t>(type.length - length), u' ');
  return Accept(Variant::Text(std::move(padded)));
}

Db2Verdict TakeDecimal(const SqlType& type, const std::u16string& column, std::u16string_view text) {
  ParsedNumber number;
  if (!ParseNumber(text, &number)) {
    return Refuse(FormatText(u"SQL0302 - Conversion error on column %s: %s is not a number, "
                             u"which %s requires.",
                             {column, Quoted(text), type.Canonical()}));
  }
  const auto integer_digits = static_cast<std::int32_t>(number.integer.size());
  const auto fraction_digits = static_cast<std::int32_t>(number.fraction.size());
  if (integer_digits > type.precision - type.scale) {
    return Refuse(FormatText(u"SQL0406 - Conversion error on column %s: %s has %d digits before "
                             u"the decimal point, %s holds %d.",
                             {column, Quoted(text), integer_digits, type.Canonical(),
                              type.precision - type.scale}));
  }
  if (fraction_digits > type.scale) {
    return Refuse(FormatText(u"SQL0406 - Conversion error on column %s: %s has %d digits after "
                             u"the decimal point, %s holds %d.",
                             {column, Quoted(text), fraction_digits, type.Canonical(), type.scale}));
  }
  if ((type.scale == 0 || number.fraction.empty()) && number.integer.size() <= 18) {
    // Whole numbers are stored as integers; DECIMAL(15, 0) fits in 64 bits.
    std::int64_t value = 0;
    for (const char16_t c : number.integer) value = value * 10 + (c - u'0');
    return Accept(Variant::I8(number.negative ? -value : value));
  }
  std::u16string canonical = number.negative ? u"-" : u"";
  canonical += number.integer.empty() ? u"0" : number.integer;
  if (!number.fraction.empty()) {
    canonical += u'.';
    canonical += number.fraction;
  }
  if (canonical == u"-0") canonical = u"0";
  return Accept(Variant::Text(std::move(canonical)));
}

Db2Verdict TakeInteger(const SqlType& type, const std::u16string& column, std::u16string_view text) {
  ParsedNumber number;
  const bool parsed = ParseNumber(text, &number);
  std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  if (type.kind == SqlType::Kind::SmallInt) limit = std::numeric_limits<std::int16_t>::max();
  if (type.kind == SqlType::Kind::BigInt) limit = std::numeric_limits<std::int64_t>::max();
  bool fits = parsed && number.fraction.find_first_not_of(u'0') == std::u16string_view::npos &&
              number.integer.size() <= 19;
  std::int64_t value = 0;
  for (const char16_t c : number.integer) {
    if (!fits) break;
    const int digit = c - u'0';
    if (value > (limit - digit) / 10) fits = false;
    else value = value * 10 + digit;
  }
  if (!fits) {
    return Refuse(FormatText(u"SQL0302 - Conversion error on column %s: %s is not a whole number "
                             u"that %s holds.",
                             {column, Quoted(text), type.Canonical()}));
  }
  return Accept(Variant::I8(number.negative ? -value : value));
}

Db2Verdict TakeFloat(const SqlType& type, const std::u16string& column, std::u16string_view text) {
  const std::string utf8 = mirdane::Utf16ToUtf8(mirdane::TrimBlanks(text));
  std::size_t used = 0;
  double value = 0;
  bool ok = !utf8.empty();
  try {
    value = std::stod(utf8, &used);
  } catch (...) {
    ok = false;
  }
  if (!ok || used != utf8.size() || !std::isfinite(value)) {
    return Refuse(FormatText(u"SQL0302 - Conversion error on column %s: %s is not a number, "
                             u"which %s requires.",
                             {column, Quoted(text), type.Canonical()}));
  }
  return Accept(Variant::R8(value));
}

}  // namespace

Db2Verdict TakeValue(const SqlType& type, const std::u16string& column, const Variant& value) {
  // A text is read where it lies; only a number is written out first.
  std::u16string written;
  std::u16string_view text;
  if (const auto* given = value.AsText()) {
    text = *given;
  } else if (value.IsNull() || value.IsEmpty()) {
    return Refuse(FormatText(u"SQL0407 - Null values not allowed in column %s (%s).",
                             {column, type.Canonical()}));
  } else if (const auto integer = value.AsInteger()) {
    written = mirdane::U16(std::to_string(*integer));
    text = written;
  } else if (const auto real = value.AsDouble()) {
    written = mirdane::U16(std::to_string(*real));
    text = written;
  } else {
    return Refuse(FormatText(u"SQL0301 - The value for column %s has a type that %s cannot take.",
                             {column, type.Canonical()}));
  }

  switch (type.kind) {
    case SqlType::Kind::Char:
    case SqlType::Kind::VarChar:
    case SqlType::Kind::Graphic:
    case SqlType::Kind::VarGraphic:
      return TakeText(type, column, text);
    case SqlType::Kind::Decimal:
    case SqlType::Kind::Numeric:
      return TakeDecimal(type, column, text);
    case SqlType::Kind::SmallInt:
    case SqlType::Kind::Integer:
    case SqlType::Kind::BigInt:
      return TakeInteger(type, column, text);
    case SqlType::Kind::Real:
    case SqlType::Kind::Double:
      return TakeFloat(type, column, text);
    default:
      // Dates, times and types the stand-in does not model: stored as given.
      return Accept(Variant::Text(std::u16string(text)));
  }
}

}  // namespace dbAx::provider::sqlite
