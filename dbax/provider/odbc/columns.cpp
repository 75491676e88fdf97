#include "dbax/provider/odbc/columns.h"

#include <algorithm>
#include <string>

#include "base/text.h"
#include "dbax/provider/ado.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::odbc {
namespace {

using Kind = SqlType::Kind;

Kind KindOf(SQLSMALLINT data_type) {
  switch (data_type) {
    case SQL_CHAR: return Kind::Char;
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR: return Kind::VarChar;
    case SQL_WCHAR: return Kind::Graphic;
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR: return Kind::VarGraphic;
    case SQL_DECIMAL: return Kind::Decimal;
    case SQL_NUMERIC: return Kind::Numeric;
    case SQL_SMALLINT:
    case SQL_TINYINT: return Kind::SmallInt;
    case SQL_INTEGER: return Kind::Integer;
    case SQL_BIGINT: return Kind::BigInt;
    case SQL_REAL: return Kind::Real;
    case SQL_FLOAT:
    case SQL_DOUBLE: return Kind::Double;
    case SQL_TYPE_DATE:
    case SQL_DATE: return Kind::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME: return Kind::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return Kind::Timestamp;
    default: return Kind::Other;
  }
}

std::int32_t Clamped(SQLULEN value) {
  return static_cast<std::int32_t>(std::min<SQLULEN>(value, 0x7FFFFFFF));
}

}  // namespace

SqlType SqlTypeOf(SQLSMALLINT data_type, SQLULEN column_size, SQLSMALLINT decimal_digits) {
  SqlType type;
  type.kind = KindOf(data_type);
  if (type.IsText()) {
    type.length = Clamped(column_size);
  } else if (type.IsDecimal()) {
    type.precision = Clamped(column_size);
    type.scale = decimal_digits < 0 ? 0 : decimal_digits;
  }
  type.declared = type.kind == Kind::Other
                      ? u"ODBC SQL type " + mirdane::Utf8ToUtf16(std::to_string(data_type))
                      : type.Canonical();
  return type;
}

ColumnInfo ColumnInfoOf(const std::u16string& name, const SqlType& type, SQLSMALLINT nullable,
                        SQLLEN updatable) {
  ColumnInfo column;
  column.name = name;
  column.type = type.AdoType();
  switch (type.kind) {
    case Kind::Decimal:
    case Kind::Numeric:
      column.precision = static_cast<std::uint8_t>(std::clamp(type.precision, 0, 255));
      column.scale = static_cast<std::uint8_t>(std::clamp(type.scale, 0, 255));
      break;
    case Kind::SmallInt: column.precision = 5; break;
    case Kind::Integer: column.precision = 10; break;
    case Kind::BigInt: column.precision = 19; break;
    default: break;
  }
  column.defined_size = type.IsText() ? type.length : type.precision;
  if (IsSqlIdentifier(name)) {
    if (updatable == SQL_ATTR_WRITE) column.attributes |= ado::adFldUpdatable;
    else if (updatable == SQL_ATTR_READWRITE_UNKNOWN) column.attributes |= ado::adFldUnknownUpdatable;
  }
  if (nullable != SQL_NO_NULLS) column.attributes |= ado::adFldIsNullable;
  if (type.kind == Kind::Char || type.kind == Kind::Graphic || type.IsDecimal()) {
    column.attributes |= ado::adFldFixed;
  }
  return column;
}

}  // namespace dbAx::provider::odbc

namespace dbAx::provider::odbc {

bool DescribeResult(const Statement& statement, std::vector<DescribedColumn>* columns,
                    Failure* failure) {
  SQLSMALLINT count = 0;
  SQLRETURN rc = SQLNumResultCols(statement.get(), &count);
  if (!Succeeded(rc)) {
    *failure = statement.FailureOf(rc);
    return false;
  }
  columns->clear();
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(count); ++i) {
    SqlText name(256, 0);
    SQLSMALLINT name_length = 0;
    DescribedColumn column;
    rc = SQLDescribeColW(statement.get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()),
                         &name_length, &column.data_type, &column.size, &column.digits,
                         &column.nullable);
    if (Succeeded(rc) && static_cast<std::size_t>(name_length) >= name.size()) {
      name.assign(static_cast<std::size_t>(name_length) + 1, 0);
      rc = SQLDescribeColW(statement.get(), i, name.data(), static_cast<SQLSMALLINT>(name.size()),
                           &name_length, &column.data_type, &column.size, &column.digits,
                           &column.nullable);
    }
    if (!Succeeded(rc)) {
      *failure = statement.FailureOf(rc);
      return false;
    }
    column.name = FromSql(name.data(), std::min(static_cast<std::size_t>(name_length < 0 ? 0 : name_length),
                                                name.size() - 1));
    columns->push_back(std::move(column));
  }
  return true;
}

}  // namespace dbAx::provider::odbc
