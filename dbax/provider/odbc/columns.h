// Column descriptions as ODBC gives them, in the provider's terms.
#pragma once

#include <cstdint>
#include <string>

#include "dbax/provider/backend.h"
#include "dbax/provider/odbc/odbc_api.h"
#include "dbax/provider/sql_type.h"

namespace dbAx::provider::odbc {

// The SQL type behind an ODBC data type with its column size and decimal
// digits: SQL_CHAR is CHAR(size), SQL_DECIMAL is DECIMAL(size, digits), and so on.
SqlType SqlTypeOf(SQLSMALLINT data_type, SQLULEN column_size, SQLSMALLINT decimal_digits);

// The column as the provider's Field reports it: its ADO type, precision and
// scale, and the attribute bits. `updatable` is the driver's
// SQL_DESC_UPDATABLE answer; a column whose name is not an SQL identifier
// never takes values, since its name could not be written into an INSERT.
ColumnInfo ColumnInfoOf(const std::u16string& name, const SqlType& type, SQLSMALLINT nullable,
                        SQLLEN updatable);

}  // namespace dbAx::provider::odbc

#include <vector>

#include "dbax/provider/odbc/link.h"

namespace dbAx::provider::odbc {

// One column of a statement's result, as SQLDescribeColW tells it.
struct DescribedColumn {
  std::u16string name;
  SQLSMALLINT data_type = SQL_UNKNOWN_TYPE;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
  SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;

  SqlType Type() const { return SqlTypeOf(data_type, size, digits); }
};

// The columns of the result that `statement` has open.
bool DescribeResult(const Statement& statement, std::vector<DescribedColumn>* columns,
                    Failure* failure);

}  // namespace dbAx::provider::odbc
