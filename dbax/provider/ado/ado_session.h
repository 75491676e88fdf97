// The ADO backend: sessions over Microsoft ADO's own Connection and Recordset
// objects, created in-process (Windows only). This is how the connector
// reaches the IBM i in production, through IBM's OLE DB provider IBMDA400.
#pragma once

#include <memory>
#include <string>

#include "dbax/provider/backend.h"

namespace dbAx::provider::adodb {

// Opens an ADO connection with `connection_string` exactly as given, the user
// and the password passed beside it. COM must be initialised on the thread.
bool OpenAdoSession(const std::u16string& connection_string, const std::u16string& user,
                    const std::u16string& password, std::shared_ptr<Session>* session,
                    Failure* failure);

}  // namespace dbAx::provider::adodb
