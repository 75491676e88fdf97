// The ODBC backend: sessions on any ODBC data source.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider::odbc {

// Opens a session for an odbc: route, or, where IBM's driver serves the IBM i
// itself, for a plain system name.
bool OpenOdbcSession(const Route& route, const std::u16string& user, const std::u16string& password,
                     std::shared_ptr<Session>* session, Failure* failure);

}  // namespace dbAx::provider::odbc
