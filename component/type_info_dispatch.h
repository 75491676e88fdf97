// IDispatch of a dual interface through the module's type library.
//
// Names, member ids and argument conversions come from the type information;
// the call itself lands in the object's vtable. One addition: a caller may
// pass the [out, retval] result of a method as an explicit by-reference
// argument instead of asking for the result variant (how a script host asks
// for a KfxReturnValue is not fixed anywhere). The platform's Invoke refuses
// that, so it is taken apart here: the call is made without that argument and
// its result is stored through the reference.
#pragma once

#include <oaidl.h>

#include "win32/com_ptr.h"

namespace mirdane::component {

class TypeInfoDispatch {
 public:
  // For interface `iid` of the module's type library.
  explicit TypeInfoDispatch(const IID& iid) : iid_(iid) {}

  ::HRESULT GetTypeInfoCount(UINT* count);
  ::HRESULT GetTypeInfo(UINT index, ITypeInfo** info);
  ::HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
  // Calls member `id` of `object` (a pointer to the interface's vtable).
  ::HRESULT Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* badArgument);

 private:
  // Loads the dispatch and vtable type information once.
  ::HRESULT Load();
  // Whether the caller passed member `id`'s [out, retval] result as its first argument.
  bool RetvalPassedByReference(DISPID id, WORD flags, const DISPPARAMS& params);

  IID iid_;
  win32::ComPtr<ITypeInfo> dispatchInfo_;
  win32::ComPtr<ITypeInfo> vtableInfo_;
};

// The put-by-reference and get members that carry a host object, handled
// without the type information: the platform's Invoke would ask the host's
// object for an interface id that only this module's type library defines.

// Whether `flags` and `params` are a put-by-reference of one object (put is
// accepted too: script hosts differ in which they send for an object).
bool IsObjectAssignment(WORD flags, const DISPPARAMS* params);

// The object of such an assignment as IUnknown (null for Nothing), or
// DISP_E_TYPEMISMATCH when the argument is not an object.
::HRESULT AssignedObject(const DISPPARAMS& params, win32::ComPtr<IUnknown>* object);

// Answers a get of the member with `held` as VT_DISPATCH (Nothing when null).
::HRESULT ReturnObject(IDispatch* held, const DISPPARAMS* params, VARIANT* result);

}  // namespace mirdane::component
