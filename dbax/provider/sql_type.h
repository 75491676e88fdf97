// A column's SQL type as DDL writes it ("CHAR(10)", "DECIMAL(7, 0)").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dbAx::provider {

struct SqlType {
  enum class Kind { Char, VarChar, Graphic, VarGraphic, Decimal, Numeric, SmallInt, Integer, BigInt,
                    Real, Double, Date, Time, Timestamp, Other };
  Kind kind = Kind::Other;
  std::int32_t length = 0;     // characters, for the text kinds
  std::int32_t precision = 0;  // digits, for DECIMAL and NUMERIC
  std::int32_t scale = 0;
  std::u16string declared;     // the declaration as written

  // The ADO field type that a provider reports for a column of this type.
  std::int32_t AdoType() const;
  // The type written the way the field catalogue writes it: "CHAR(10)",
  // "DECIMAL(15, 2)", "INTEGER".
  std::u16string Canonical() const;
  bool IsText() const { return kind == Kind::Char || kind == Kind::VarChar ||
                               kind == Kind::Graphic || kind == Kind::VarGraphic; }
  bool IsDecimal() const { return kind == Kind::Decimal || kind == Kind::Numeric; }
};

// Parses a declared type, ignoring case and blanks. DEC and NUMERIC without a
// precision take DB2's defaults (5, 0); CHAR without a length is CHAR(1).
// Types it does not know come back as Kind::Other with the declaration.
SqlType ParseSqlType(const std::u16string& declared);

}  // namespace dbAx::provider
