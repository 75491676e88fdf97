// The ODBC benchmark's baseline: rows stored by INSERTs issued straight
// through ODBC, with no provider, recordset or release in between.
#pragma once

#include <string>
#include <vector>

#include "dbax/provider/odbc/odbc_api.h"

namespace mirdane::bench {

// One row to insert, made before the clock starts: the INSERT of the
// columns the release assigned and their values as text.
struct InsertRow {
  dbAx::provider::odbc::SqlText sql;
  std::vector<dbAx::provider::odbc::SqlText> values;
};

// The rows of one document, in the order the release stores them.
using DocumentRows = std::vector<InsertRow>;

// Stores every document's rows with prepared, parameterised INSERTs and
// autocommit (a commit per row), pausing before each document as the
// release does. Each INSERT is prepared once per connection. With
// `connection_per_document` each document connects and disconnects, as the
// release's documents do; otherwise one connection serves the batch.
// Seconds taken; throws std::runtime_error with the driver's words.
double InsertDirectly(const std::u16string& connection_string,
                      const std::vector<DocumentRows>& documents, bool connection_per_document);

// The physical floor with a header and a lines table: one connection, and
// per document the header's INSERT and then all of its lines in one
// array-bound INSERT (two round trips where the driver sends an array
// whole), each committing by itself. Seconds taken.
double InsertInTwoTrips(const std::u16string& connection_string,
                        const std::vector<DocumentRows>& documents);

}  // namespace mirdane::bench
