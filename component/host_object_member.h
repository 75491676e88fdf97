// The put-by-reference and get members that carry a host object, handled
// without the type information: the platform's Invoke would ask the host's
// object for an interface id that only this module's type library defines.
#pragma once

#include <oaidl.h>

#include "win32/com_ptr.h"

namespace mirdane::component {

// Whether `flags` and `params` are a put-by-reference of one object (put is
// accepted too: script hosts differ in which they send for an object).
bool IsObjectAssignment(WORD flags, const DISPPARAMS* params);

// The object of such an assignment as IUnknown (null for Nothing), or
// DISP_E_TYPEMISMATCH when the argument is not an object.
::HRESULT AssignedObject(const DISPPARAMS& params, win32::ComPtr<IUnknown>* object);

// Answers a get of the member with `held` as VT_DISPATCH (Nothing when null).
::HRESULT ReturnObject(IDispatch* held, const DISPPARAMS* params, VARIANT* result);

}  // namespace mirdane::component
