// Keyed statements (reading, changing and deleting rows) over ODBC.
#pragma once

#include <memory>
#include <vector>

#include "dbax/provider/backend.h"
#include "dbax/provider/odbc/link.h"

namespace dbAx::provider::odbc {

// Runs `statement` on `link`. The table is described first, so that every
// parameter is bound with its column's SQL type and the server compares it
// as it compares the column's own values.
bool RunOdbcStatement(const std::shared_ptr<Link>& link, const KeyedStatement& statement,
                      const std::vector<mirdane::Variant>& parameters, StatementResult* result,
                      Failure* failure);

}  // namespace dbAx::provider::odbc
