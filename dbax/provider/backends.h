// Opening a session on the backend that a route names.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider {

bool OpenSession(const Route& route, const std::u16string& user, const std::u16string& password,
                 std::shared_ptr<Session>* session, Failure* failure);

}  // namespace dbAx::provider
