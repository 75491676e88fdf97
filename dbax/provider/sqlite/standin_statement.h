// Keyed statements (reading, changing and deleting rows) on the stand-in.
#pragma once

#include <vector>

#include "dbax/provider/backend.h"
#include "dbax/provider/sqlite/standin_system.h"

namespace dbAx::provider::sqlite {

// Runs `statement` on `system`; each parameter is first taken as its column
// takes a value, so that it compares with the stored values as DB2 would.
bool RunStandInStatement(StandInSystem& system, const KeyedStatement& statement,
                         const std::vector<mirdane::Variant>& parameters, StatementResult* result,
                         Failure* failure);

}  // namespace dbAx::provider::sqlite
