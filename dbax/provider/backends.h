// Opening a session on the backend that a route names.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider {

// `connection_string` is the whole string the route was read from: ADO is
// given it unchanged when it serves the IBM i.
bool OpenSession(const Route& route, const std::u16string& connection_string,
                 const std::u16string& user, const std::u16string& password,
                 std::shared_ptr<Session>* session, Failure* failure);

}  // namespace dbAx::provider
