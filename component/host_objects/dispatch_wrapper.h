// The pieces shared by the wrappers of host objects: one IDispatch with its
// member ids, and the conversion of the core's variants into Invoke arguments.
#pragma once

#include <memory>

#include "base/variant.h"
#include "host/host_objects.h"
#include "win32/dispatch_call.h"
#include "win32/result.h"

namespace mirdane::component {

// The Invoke argument for a key of the core, with its variant type kept
// (a position as VT_I4, the row key as VT_INT, a name as VT_BSTR).
win32::DispatchArg ArgOf(const Variant& key);

// Wraps the object a collection's Item answers, or fails as the call did.
template <typename Wrapper, typename Interface>
HRESULT WrapChild(HRESULT got, win32::ComPtr<IDispatch> child, std::shared_ptr<Interface>* out) {
  if (!out) return E_POINTER;
  out->reset();
  RETURN_IF_FAILED(got);
  try {
    *out = std::make_shared<Wrapper>(std::move(child));
  }
  CATCH_RETURN();
  return got;
}

// The base of every wrapper: the host object, called by name.
class DispatchWrapper {
 protected:
  explicit DispatchWrapper(win32::ComPtr<IDispatch> object) : object_(std::move(object)) {}

  HRESULT Text(const wchar_t* name, std::u16string* text) {
    if (!text) return E_POINTER;
    return object_.GetText(name, text);
  }
  HRESULT Long(const wchar_t* name, std::int32_t* value);
  // The object that property `name` (with `key`, when given) answers.
  HRESULT Child(const wchar_t* name, const Variant* key, win32::ComPtr<IDispatch>* child);
  // That object, wrapped by Wrapper.
  template <typename Wrapper, typename Interface>
  HRESULT ChildAs(const wchar_t* name, const Variant* key, std::shared_ptr<Interface>* out) {
    win32::ComPtr<IDispatch> child;
    const HRESULT got = Child(name, key, &child);
    return WrapChild<Wrapper>(got, std::move(child), out);
  }

  win32::DispatchObject object_;
};

}  // namespace mirdane::component
