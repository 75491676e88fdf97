// The embedded IBM i stand-in as a provider backend.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"

namespace dbAx::provider::sqlite {

// Opens a session on the stand-in system in `directory`.
bool OpenStandInSession(const std::u16string& directory, std::shared_ptr<Session>* session,
                        Failure* failure);

}  // namespace dbAx::provider::sqlite
