#include "tools/com_host/automation_object.h"

#include <oleauto.h>

#include <new>

#include "win32/result.h"

namespace mirdane::hostcom {
namespace {

LONG live_objects = 0;

Variant FromVariant(const VARIANT& value) {
  const VARIANT* v = &value;
  if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
  switch (v->vt) {
    case VT_I4: return Variant::I4(v->lVal);
    case VT_INT: return Variant::Int(v->intVal);
    case VT_BSTR:
      return Variant::Text(v->bstrVal ? std::u16string(reinterpret_cast<const char16_t*>(v->bstrVal),
                                                       ::SysStringLen(v->bstrVal))
                                      : std::u16string());
    case VT_BYREF | VT_I4: return Variant::I4(*v->plVal);
    case VT_ERROR: return v->scode == DISP_E_PARAMNOTFOUND ? Variant::Missing() : Variant();
    case VT_NULL: return Variant::Null();
    default:
      // Any other kind reaches the object as empty, which it refuses as a key.
      return Variant();
  }
}

}  // namespace

AutomationObject::AutomationObject() { ::InterlockedIncrement(&live_objects); }

AutomationObject::~AutomationObject() { ::InterlockedDecrement(&live_objects); }

LONG AutomationObject::LiveObjects() { return live_objects; }

::HRESULT STDMETHODCALLTYPE AutomationObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
  } else if (!QueryOther(iid, object)) {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE AutomationObject::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE AutomationObject::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

::HRESULT STDMETHODCALLTYPE AutomationObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

::HRESULT STDMETHODCALLTYPE AutomationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count,
                                                            LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_INVALIDARG;
  ids[0] = DISPID_UNKNOWN;
  for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;  // no named arguments
  for (const auto& member : members_) {
    if (::lstrcmpiW(member.name.c_str(), names[0]) == 0) {
      ids[0] = member.id;
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
  }
  return DISP_E_UNKNOWNNAME;
}

::HRESULT STDMETHODCALLTYPE AutomationObject::Invoke(DISPID id, REFIID, LCID, WORD flags,
                                                     DISPPARAMS* params, VARIANT* result,
                                                     EXCEPINFO*, UINT* badArgument) {
  try {
    const Member* member = nullptr;
    for (const auto& m : members_) {
      if (m.id == id) member = &m;
    }
    if (!member) return DISP_E_MEMBERNOTFOUND;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const MemberBody& body = put ? member->put : member->get;
    if (!body) return DISP_E_MEMBERNOTFOUND;

    std::vector<Variant> args;
    if (params) {
      if (params->cNamedArgs != 0 &&
          !(put && params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT)) {
        return DISP_E_NONAMEDARGS;
      }
      // Invoke's arguments run last to first.
      for (UINT i = params->cArgs; i > 0; --i) args.push_back(FromVariant(params->rgvarg[i - 1]));
    }
    if (badArgument) *badArgument = 0;
    VARIANT ignored;
    ::VariantInit(&ignored);
    VARIANT* out = result ? result : &ignored;
    ::VariantInit(out);
    const ::HRESULT answer = body(args, out);
    ::VariantClear(&ignored);
    return answer;
  }
  CATCH_RETURN();
}

AutomationObject::Member& AutomationObject::Find(const wchar_t* name, DISPID id) {
  for (auto& member : members_) {
    if (member.id == id) return member;
  }
  members_.push_back(Member{name, id, nullptr, nullptr});
  return members_.back();
}

void AutomationObject::AddGetter(const wchar_t* name, DISPID id, MemberBody body) {
  Find(name, id).get = std::move(body);
}

void AutomationObject::AddPutter(const wchar_t* name, DISPID id, MemberBody body) {
  Find(name, id).put = std::move(body);
}

void AutomationObject::AddMethod(const wchar_t* name, DISPID id, MemberBody body) {
  Find(name, id).get = std::move(body);
}

::HRESULT ReturnText(const std::u16string& text, VARIANT* result) {
  BSTR value = ::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                   static_cast<UINT>(text.size()));
  if (!value) return E_OUTOFMEMORY;
  result->vt = VT_BSTR;
  result->bstrVal = value;
  return S_OK;
}

::HRESULT ReturnLong(LONG value, VARIANT* result) {
  result->vt = VT_I4;
  result->lVal = value;
  return S_OK;
}

::HRESULT ReturnObject(IDispatch* object, VARIANT* result) {
  if (!object) return E_OUTOFMEMORY;
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  return S_OK;
}

}  // namespace mirdane::hostcom
