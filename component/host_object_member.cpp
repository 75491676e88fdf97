#include "component/host_object_member.h"

namespace mirdane::component {

bool IsObjectAssignment(WORD flags, const DISPPARAMS* params) {
  return (flags & (DISPATCH_PROPERTYPUTREF | DISPATCH_PROPERTYPUT)) != 0 && params;
}

::HRESULT AssignedObject(const DISPPARAMS& params, win32::ComPtr<IUnknown>* object) {
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  if (params.cNamedArgs > 1 ||
      (params.cNamedArgs == 1 && params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
    return DISP_E_PARAMNOTFOUND;
  }
  const VARIANT& arg = params.rgvarg[0];
  IUnknown* given = nullptr;
  switch (arg.vt) {
    case VT_DISPATCH: given = arg.pdispVal; break;
    case VT_UNKNOWN: given = arg.punkVal; break;
    case VT_BYREF | VT_DISPATCH: given = arg.ppdispVal ? *arg.ppdispVal : nullptr; break;
    case VT_BYREF | VT_UNKNOWN: given = arg.ppunkVal ? *arg.ppunkVal : nullptr; break;
    case VT_EMPTY: case VT_NULL: break;
    default: return DISP_E_TYPEMISMATCH;
  }
  *object = win32::ComPtr<IUnknown>(given);
  return S_OK;
}

::HRESULT ReturnObject(IDispatch* held, const DISPPARAMS* params, VARIANT* result) {
  if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (!result) return S_OK;
  ::VariantInit(result);
  // Unset reads as Nothing (an empty object reference), which a script's
  // "Set x = ..." accepts; Empty would not be an object at all.
  result->vt = VT_DISPATCH;
  result->pdispVal = held;
  if (held) held->AddRef();
  return S_OK;
}

}  // namespace mirdane::component
