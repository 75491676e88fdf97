// Keyed statements (reading, changing and deleting rows) through ADO's
// Command object.
#pragma once

#include <vector>

#include "dbax/provider/ado/ado_interfaces.h"
#include "dbax/provider/backend.h"

namespace dbAx::provider::adodb {

// Runs `statement` on the open `connection`: the text rebuilt from its
// checked names (quoted as DB2 folds them), the values passed as the
// command's parameter array, so that the provider converts each to its
// column's type.
bool RunAdoStatement(AdoConnection* connection, const KeyedStatement& statement,
                     const std::vector<mirdane::Variant>& parameters, StatementResult* result,
                     Failure* failure);

}  // namespace dbAx::provider::adodb
