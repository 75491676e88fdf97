// What `mirdane bridge` does with a library's bridge tables.
#pragma once

#include <string>
#include <vector>

#include "dbax/provider/schema_session.h"

namespace mirdane::bridge {

// Creates the library when it is missing and each bridge table that does not
// exist yet; existing tables are left as they are. Gives one line per table
// saying what happened. Throws dbAx::provider::SchemaError.
std::vector<std::string> CreateBridgeTables(dbAx::provider::SchemaSession& session,
                                            const std::u16string& library);

// Creates the release ledger in `library` (which must exist) unless it
// exists; one line saying what happened. Throws SchemaError.
std::string CreateLedgerTable(dbAx::provider::SchemaSession& session, const std::u16string& library);

struct ShowOptions {
  bool all_columns = false;  // also columns that hold only their defaults
};

// Both tables' rows as text tables, in transaction and line order, blank
// padding trimmed and decimals shown with their scale. Throws SchemaError,
// also when a table does not exist.
std::string ShowBridgeTables(dbAx::provider::SchemaSession& session, const std::u16string& library,
                             const ShowOptions& options);

// A decimal as stored ("12.5", "7") shown with `scale` fraction digits ("12.50").
std::u16string FormatDecimal(const std::u16string& stored, int scale);

}  // namespace mirdane::bridge
