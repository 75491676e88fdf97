// Schema work on a stand-in system.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/schema_session.h"

namespace dbAx::provider::sqlite {

// Opens the stand-in system in `directory`, creating the directory when it is
// missing (a new system starts empty). Throws SchemaError.
std::unique_ptr<SchemaSession> OpenStandInSchema(const std::u16string& directory);

}  // namespace dbAx::provider::sqlite
