// The provider's values as ADO's VARIANTs.
#pragma once

#include <oaidl.h>

#include "base/variant.h"

namespace dbAx::provider::adodb {

// Puts `value` into `out`, which must be empty. S_OK; E_OUTOFMEMORY when a
// string cannot be allocated; DISP_E_TYPEMISMATCH for a value that no column
// takes (an object, a byte array, ...). An empty text becomes an empty string,
// never a null one.
HRESULT ToVariant(const mirdane::Variant& value, VARIANT* out);

// An optional argument left out, as ADO expects it (VT_ERROR holding
// DISP_E_PARAMNOTFOUND).
VARIANT MissingArgument();

}  // namespace dbAx::provider::adodb
