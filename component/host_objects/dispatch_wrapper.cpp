#include "component/host_objects/dispatch_wrapper.h"

namespace mirdane::component {

win32::DispatchArg ArgOf(const Variant& key) {
  switch (key.type()) {
    case VarType::I4:
      return win32::DispatchArg::I4(static_cast<LONG>(key.AsInteger().value_or(0)));
    case VarType::Int:
      return win32::DispatchArg::Int(static_cast<INT>(key.AsInteger().value_or(0)));
    case VarType::BStr:
      return win32::DispatchArg::Text(*key.AsText());
    default:
      return win32::DispatchArg::Missing();
  }
}

HRESULT DispatchWrapper::Long(const wchar_t* name, std::int32_t* value) {
  if (!value) return E_POINTER;
  LONG number = 0;
  const HRESULT result = object_.GetLong(name, &number);
  if (SUCCEEDED(result)) *value = static_cast<std::int32_t>(number);
  return result;
}

HRESULT DispatchWrapper::Child(const wchar_t* name, const Variant* key,
                               win32::ComPtr<IDispatch>* child) {
  if (!key) return object_.GetObject(name, {}, child);
  const win32::DispatchArg arg = ArgOf(*key);
  return object_.GetObject(name, {&arg}, child);
}

}  // namespace mirdane::component
