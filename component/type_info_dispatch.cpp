#include "component/type_info_dispatch.h"

#include <oleauto.h>

#include "component/module.h"
#include "win32/result.h"

namespace mirdane::component {
namespace {

// A FUNCDESC borrowed from its type information, given back when it goes.
class FuncDesc {
 public:
  FuncDesc(ITypeInfo* info, UINT index) : info_(info) {
    if (FAILED(info_->GetFuncDesc(index, &desc_))) desc_ = nullptr;
  }
  FuncDesc(const FuncDesc&) = delete;
  FuncDesc& operator=(const FuncDesc&) = delete;
  ~FuncDesc() {
    if (desc_) info_->ReleaseFuncDesc(desc_);
  }
  const FUNCDESC* operator->() const { return desc_; }
  explicit operator bool() const { return desc_ != nullptr; }

 private:
  ITypeInfo* info_;
  FUNCDESC* desc_ = nullptr;
};

bool IsByReferenceResult(const VARIANT& arg) {
  return arg.vt == (VT_BYREF | VT_I4) || arg.vt == (VT_BYREF | VT_INT) ||
         arg.vt == (VT_BYREF | VT_VARIANT);
}

}  // namespace

::HRESULT TypeInfoDispatch::Load() {
  if (vtableInfo_) return S_OK;
  win32::ComPtr<ITypeInfo> dispatch;
  if (const ::HRESULT r = CmirdaneModule::Instance().TypeInfoOf(iid_, dispatch.put()); FAILED(r)) {
    return r;
  }
  // A dual interface is described twice; the vtable half is the one whose
  // functions the platform's Invoke can call.
  win32::ComPtr<ITypeInfo> vtable;
  HREFTYPE reference = 0;
  if (SUCCEEDED(dispatch->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference))) {
    dispatch->GetRefTypeInfo(reference, vtable.put());
  }
  if (!vtable) vtable = dispatch;
  dispatchInfo_ = std::move(dispatch);
  vtableInfo_ = std::move(vtable);
  return S_OK;
}

::HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

::HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  RETURN_IF_FAILED(Load());
  return dispatchInfo_.CopyTo(info);
}

::HRESULT TypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  RETURN_IF_FAILED(Load());
  return dispatchInfo_->GetIDsOfNames(names, count, ids);
}

bool TypeInfoDispatch::RetvalPassedByReference(DISPID id, WORD flags, const DISPPARAMS& params) {
  if (!(flags & DISPATCH_METHOD) || params.cArgs == 0 || params.cNamedArgs != 0) return false;
  if (!IsByReferenceResult(params.rgvarg[0])) return false;
  TYPEATTR* attributes = nullptr;
  if (FAILED(vtableInfo_->GetTypeAttr(&attributes))) return false;
  const UINT functions = attributes->cFuncs;
  vtableInfo_->ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < functions; ++i) {
    FuncDesc desc(vtableInfo_.get(), i);
    if (!desc || desc->memid != id || desc->invkind != INVOKE_FUNC) continue;
    if (desc->cParams < 1 || params.cArgs != static_cast<UINT>(desc->cParams)) return false;
    const auto& last = desc->lprgelemdescParam[desc->cParams - 1];
    return (last.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0;
  }
  return false;
}

::HRESULT TypeInfoDispatch::Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) {
  RETURN_IF_FAILED(Load());
  DISPPARAMS none{};
  if (!params) params = &none;
  if (!RetvalPassedByReference(id, flags, *params)) {
    return vtableInfo_->Invoke(object, id, flags, params, result, exception, badArgument);
  }
  // Arguments run last to first: the result reference is rgvarg[0].
  DISPPARAMS shortened = *params;
  shortened.rgvarg = params->rgvarg + 1;
  shortened.cArgs = params->cArgs - 1;
  win32::UniqueVariant value;
  const ::HRESULT answer =
      vtableInfo_->Invoke(object, id, flags, &shortened, value.get(), exception, badArgument);
  RETURN_IF_FAILED(answer);
  VARIANT& target = params->rgvarg[0];
  if (target.vt == (VT_BYREF | VT_VARIANT)) {
    ::VariantClear(target.pvarVal);
    *target.pvarVal = value.Detach();
    return answer;
  }
  win32::UniqueVariant number;
  if (const ::HRESULT r = ::VariantChangeType(number.get(), value.get(), 0, VT_I4); FAILED(r)) {
    return r;
  }
  if (target.vt == (VT_BYREF | VT_I4)) {
    *target.plVal = number.get()->lVal;
  } else {
    *target.pintVal = number.get()->lVal;
  }
  return answer;
}

// --- members that carry a host object ------------------------------------------

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
