#include "win32/dispatch_call.h"

#include <vector>

#include <dispex.h>

#include "win32/result.h"

namespace mirdane::win32 {

DispatchArg::DispatchArg() { ::VariantInit(&value_); }

DispatchArg::DispatchArg(DispatchArg&& other) noexcept : value_(other.value_) {
  ::VariantInit(&other.value_);
}

DispatchArg::~DispatchArg() { ::VariantClear(&value_); }

DispatchArg DispatchArg::I4(LONG value) {
  DispatchArg arg;
  arg.value_.vt = VT_I4;
  arg.value_.lVal = value;
  return arg;
}

DispatchArg DispatchArg::Int(INT value) {
  DispatchArg arg;
  arg.value_.vt = VT_INT;
  arg.value_.intVal = value;
  return arg;
}

DispatchArg DispatchArg::Text(const std::u16string& text) {
  DispatchArg arg;
  Bstr owned(text);
  if (!owned.ok()) return arg;  // out of memory: an empty argument, which the callee refuses
  arg.value_.vt = VT_BSTR;
  arg.value_.bstrVal = owned.Detach();
  return arg;
}

DispatchArg DispatchArg::Object(IDispatch* object) {
  DispatchArg arg;
  arg.value_.vt = VT_DISPATCH;
  arg.value_.pdispVal = object;
  if (object) object->AddRef();
  return arg;
}

DispatchArg DispatchArg::Missing() {
  DispatchArg arg;
  arg.value_.vt = VT_ERROR;
  arg.value_.scode = DISP_E_PARAMNOTFOUND;
  return arg;
}

HRESULT DispatchObject::IdOf(const wchar_t* name, DISPID* id) {
  if (!object_) return E_POINTER;
  if (auto found = ids_.find(name); found != ids_.end()) {
    *id = found->second;
    return S_OK;
  }
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID asked = DISPID_UNKNOWN;
  HRESULT result = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &asked);
  if (result == E_NOTIMPL) {
    // Objects made by a script engine (a VBScript class) name their members
    // only through IDispatchEx; their ids are then invoked through it too.
    ComPtr<IDispatchEx> expando;
    if (SUCCEEDED(object_->QueryInterface(__uuidof(IDispatchEx), expando.put_void()))) {
      const Bstr asBstr(std::u16string(reinterpret_cast<const char16_t*>(name)));
      if (!asBstr.ok()) return E_OUTOFMEMORY;
      result = expando->GetDispID(asBstr.get(), fdexNameCaseInsensitive, &asked);
      if (SUCCEEDED(result)) expando_ = std::move(expando);
    }
  }
  RETURN_IF_FAILED(result);
  ids_.emplace(name, asked);
  *id = asked;
  return S_OK;
}

HRESULT DispatchObject::Invoke(const wchar_t* name, WORD flags,
                               std::initializer_list<const DispatchArg*> args,
                               UniqueVariant* result) {
  DISPID id = DISPID_UNKNOWN;
  RETURN_IF_FAILED(IdOf(name, &id));
  return InvokeId(id, flags, args, result);
}

HRESULT DispatchObject::InvokeId(DISPID id, WORD flags,
                                 std::initializer_list<const DispatchArg*> args,
                                 UniqueVariant* result) {
  if (!object_) return E_POINTER;
  // Invoke takes its arguments last to first. They stay owned by the
  // caller's DispatchArg objects; the callee must not change them.
  std::vector<VARIANT> reversed;
  reversed.reserve(args.size());
  for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back((*it)->value());

  DISPID named_put = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = static_cast<UINT>(reversed.size());
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &named_put;
    params.cNamedArgs = 1;
  }

  EXCEPINFO exception{};
  UINT bad_argument = 0;
  UniqueVariant ignored;
  VARIANT* answered = result ? result->put() : ignored.put();
  HRESULT answer =
      expando_ ? expando_->InvokeEx(id, LOCALE_USER_DEFAULT, flags, &params, answered, &exception,
                                    nullptr)
               : object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, answered,
                                 &exception, &bad_argument);
  if (answer == DISP_E_EXCEPTION) {
    // The object raised an error: its code is the outcome; its texts are ours to free.
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    const HRESULT raised = exception.scode != 0 ? exception.scode : E_FAIL;
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    answer = FAILED(raised) ? raised : E_FAIL;
  }
  return answer;
}

HRESULT DispatchObject::Enumerator(UniqueVariant* result) {
  // The standard member id first; an object that only knows the name gets
  // asked by name.
  const HRESULT byId = InvokeId(DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, result);
  if (SUCCEEDED(byId)) return byId;
  const HRESULT byName = Get(L"_NewEnum", {}, result);
  return SUCCEEDED(byName) ? byName : byId;
}

HRESULT DispatchObject::Get(const wchar_t* name, std::initializer_list<const DispatchArg*> args,
                            UniqueVariant* result) {
  return Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, result);
}

HRESULT DispatchObject::Call(const wchar_t* name, std::initializer_list<const DispatchArg*> args,
                             UniqueVariant* result) {
  return Invoke(name, DISPATCH_METHOD, args, result);
}

HRESULT DispatchObject::Put(const wchar_t* name, const DispatchArg& value) {
  return Invoke(name, DISPATCH_PROPERTYPUT, {&value}, nullptr);
}

HRESULT DispatchObject::PutRef(const wchar_t* name, const DispatchArg& object) {
  return Invoke(name, DISPATCH_PROPERTYPUTREF, {&object}, nullptr);
}

HRESULT DispatchObject::GetText(const wchar_t* name, std::u16string* text) {
  UniqueVariant value;
  RETURN_IF_FAILED(Get(name, {}, &value));
  return TextOf(*value.get(), text);
}

HRESULT DispatchObject::GetLong(const wchar_t* name, LONG* number) {
  UniqueVariant value;
  RETURN_IF_FAILED(Get(name, {}, &value));
  return LongOf(*value.get(), number);
}

HRESULT DispatchObject::GetObject(const wchar_t* name,
                                  std::initializer_list<const DispatchArg*> args,
                                  ComPtr<IDispatch>* object) {
  UniqueVariant value;
  RETURN_IF_FAILED(Get(name, args, &value));
  return DispatchOf(*value.get(), object);
}

HRESULT TextOf(const VARIANT& value, std::u16string* text) {
  const VARIANT* target = &value;
  if (value.vt == (VT_BYREF | VT_VARIANT) && value.pvarVal) target = value.pvarVal;
  switch (target->vt) {
    case VT_BSTR:
      *text = Bstr::ToText(target->bstrVal);
      return S_OK;
    case VT_BYREF | VT_BSTR:
      *text = target->pbstrVal ? Bstr::ToText(*target->pbstrVal) : std::u16string();
      return S_OK;
    case VT_EMPTY:
      // A property that was never given a value reads as the empty text.
      text->clear();
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT LongOf(const VARIANT& value, LONG* number) {
  switch (value.vt & ~VT_BYREF) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
    case VT_INT: case VT_UINT: case VT_I8: case VT_UI8: case VT_VARIANT: {
      UniqueVariant converted;
      const HRESULT result = ::VariantChangeType(converted.get(), const_cast<VARIANT*>(&value),
                                                 0, VT_I4);
      RETURN_IF_FAILED(result);
      *number = converted.get()->lVal;
      return S_OK;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT DispatchOf(const VARIANT& value, ComPtr<IDispatch>* object) {
  IUnknown* unknown = nullptr;
  switch (value.vt) {
    case VT_DISPATCH: unknown = value.pdispVal; break;
    case VT_UNKNOWN: unknown = value.punkVal; break;
    case VT_BYREF | VT_DISPATCH: unknown = value.ppdispVal ? *value.ppdispVal : nullptr; break;
    case VT_BYREF | VT_UNKNOWN: unknown = value.ppunkVal ? *value.ppunkVal : nullptr; break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (!unknown) return E_POINTER;
  return unknown->QueryInterface(IID_IDispatch, object->put_void());
}

}  // namespace mirdane::win32
