// The baseline: rows stored by INSERTs issued straight through ODBC, with no
// provider, recordset or release in between.
#pragma once

#include <string>
#include <vector>

#include "dbax/provider/schema_session.h"

namespace mirdane::bench {

// One row to insert: the column names and their values as text.
struct InsertRow {
  std::u16string table;  // "LIB.TABLE"
  std::vector<std::u16string> columns;
  std::vector<std::u16string> values;
};

// The rows of one document, in the order the release stores them.
using DocumentRows = std::vector<InsertRow>;

// Stores every document's rows with prepared, parameterised INSERTs and
// autocommit. With `connection_per_document` each document connects and
// disconnects, as the release does; otherwise one connection serves all.
// Throws std::runtime_error with the driver's words.
void InsertDirectly(const std::u16string& connection_string,
                    const std::vector<DocumentRows>& documents, bool connection_per_document);

}  // namespace mirdane::bench
