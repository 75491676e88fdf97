// Schema work over ODBC, for `mirdane bridge create`, `show` and `check`.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/routing.h"
#include "dbax/provider/schema_session.h"

namespace dbAx::provider::odbc {

// Connects to what the route names. Throws SchemaError, with the driver's
// own words and never the password.
std::unique_ptr<SchemaSession> OpenOdbcSchema(const Route& route, const std::u16string& user,
                                              const std::u16string& password);

}  // namespace dbAx::provider::odbc
