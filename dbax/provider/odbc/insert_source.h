// The source query of an insert recordset, taken apart.
//
// The ODBC backend writes its own statements around the library and table
// the source names, so it accepts exactly the source the release opens,
// "SELECT * FROM LIBRARY.TABLE WHERE 1=0" (any case, any blanks), and only
// with names that are SQL identifiers: nothing else of the text ever reaches
// the server.
#pragma once

#include <string>

#include "dbax/sql_identifier.h"

namespace dbAx::provider::odbc {

struct InsertSource {
  bool valid = false;
  std::u16string library;
  std::u16string table;
  std::u16string problem;  // why the source is refused, when it is

  // "SELECT * FROM "LIBRARY"."TABLE" WHERE 1=0" with the checked names.
  std::u16string DescribeQuery(IdentifierCase folding) const;
  // The qualified table name, "LIBRARY"."TABLE", quoted as the server folds names.
  std::u16string QualifiedTable(IdentifierCase folding) const {
    return QuoteSqlIdentifier(library, folding) + u"." + QuoteSqlIdentifier(table, folding);
  }
};

InsertSource ParseInsertSource(const std::u16string& sql);

}  // namespace dbAx::provider::odbc
