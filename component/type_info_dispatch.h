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

}  // namespace mirdane::component
