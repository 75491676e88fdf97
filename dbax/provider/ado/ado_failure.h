// Why an ADO call failed, in the provider's terms.
#pragma once

#include <string>

#include "dbax/provider/ado/ado_interfaces.h"
#include "dbax/provider/backend.h"

namespace dbAx::provider::adodb {

// The failure behind `result`, the answer of `call` (ADO's name for it, such
// as "Recordset.Update") on `object` through interface `iid`:
//   - the provider's errors (Number, Description) from the connection's Errors
//     collection, which is then cleared so they are never reported twice;
//   - else ADO's own error information for the object, after `what`;
//   - else `what` and the name of the call that gave no reason.
// Call it right after the failing call: the error information belongs to the
// thread and the next call may replace it.
Failure FailureOf(HRESULT result, AdoConnection* connection, IUnknown* object, REFIID iid,
                  const char16_t* call, const std::u16string& what);

}  // namespace dbAx::provider::adodb
