// The source query of an insert recordset, taken apart.
//
// The ODBC backend writes its own statements around the library and table
// the source names, so it accepts exactly the source the release opens,
// "SELECT * FROM LIBRARY.TABLE WHERE 1=0" (any case, any blanks), and only
// with names that are SQL identifiers: nothing else of the text ever reaches
// the server.
#pragma once

#include <string>

namespace dbAx::provider::odbc {

struct InsertSource {
  bool valid = false;
  std::u16string library;
  std::u16string table;
  std::u16string problem;  // why the source is refused, when it is

  // "SELECT * FROM LIBRARY.TABLE WHERE 1=0" with the checked names.
  std::u16string DescribeQuery() const;
  // The qualified table name, "LIBRARY.TABLE".
  std::u16string QualifiedTable() const { return library + u"." + table; }
};

InsertSource ParseInsertSource(const std::u16string& sql);

}  // namespace dbAx::provider::odbc
