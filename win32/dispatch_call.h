// Calling an automation object by name, as a script host does.
//
// The capture host hands its objects over as IDispatch; their interface ids
// are the host's business. Every call here goes through GetIDsOfNames (once
// per object and name; IDispatchEx::GetDispID for an object that does not
// implement it) and Invoke, with exactly the variant types the caller
// builds. Whatever the object answers (an error, an exception, a result of
// an unexpected type) comes back as an HRESULT; nothing is thrown.
#pragma once

#include <initializer_list>
#include <map>
#include <string>

#include <dispex.h>

#include "win32/com_ptr.h"

namespace mirdane::win32 {

// One argument of an Invoke, owned (strings and objects are freed with it).
class DispatchArg {
 public:
  static DispatchArg I4(LONG value);
  static DispatchArg Int(INT value);
  static DispatchArg Text(const std::u16string& text);
  static DispatchArg Object(IDispatch* object);
  // An optional argument left out.
  static DispatchArg Missing();

  DispatchArg(const DispatchArg&) = delete;
  DispatchArg& operator=(const DispatchArg&) = delete;
  DispatchArg(DispatchArg&& other) noexcept;
  ~DispatchArg();

  const VARIANT& value() const { return value_; }

 private:
  DispatchArg();
  VARIANT value_;
};

class DispatchObject {
 public:
  DispatchObject() = default;
  explicit DispatchObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  IDispatch* get() const { return object_.get(); }
  explicit operator bool() const { return static_cast<bool>(object_); }

  // Reads property `name` (with arguments, as an indexed property).
  HRESULT Get(const wchar_t* name, std::initializer_list<const DispatchArg*> args,
              UniqueVariant* result);
  // Calls method `name`; `result` may be null.
  HRESULT Call(const wchar_t* name, std::initializer_list<const DispatchArg*> args,
               UniqueVariant* result);
  // Assigns property `name`.
  HRESULT Put(const wchar_t* name, const DispatchArg& value);
  // Assigns an object to property `name` by reference.
  HRESULT PutRef(const wchar_t* name, const DispatchArg& object);

  // Typed reads: the property's value converted, or a failure when the object
  // fails or answers with a value of another kind (DISP_E_TYPEMISMATCH).
  HRESULT GetText(const wchar_t* name, std::u16string* text);
  HRESULT GetLong(const wchar_t* name, LONG* value);
  HRESULT GetObject(const wchar_t* name, std::initializer_list<const DispatchArg*> args,
                    ComPtr<IDispatch>* object);

  // A collection's enumerator: member DISPID_NEWENUM, else the name _NewEnum.
  HRESULT Enumerator(UniqueVariant* result);

  // The member id of `name`, asked once and remembered.
  HRESULT IdOf(const wchar_t* name, DISPID* id);

 private:
  HRESULT Invoke(const wchar_t* name, WORD flags, std::initializer_list<const DispatchArg*> args,
                 UniqueVariant* result);
  HRESULT InvokeId(DISPID id, WORD flags, std::initializer_list<const DispatchArg*> args,
                   UniqueVariant* result);

  ComPtr<IDispatch> object_;
  // Set when the object named its members only through IDispatchEx.
  ComPtr<IDispatchEx> expando_;
  std::map<std::wstring, DISPID> ids_;
};

// Conversions of an Invoke result, strict about its kind.
HRESULT TextOf(const VARIANT& value, std::u16string* text);
HRESULT LongOf(const VARIANT& value, LONG* number);
HRESULT DispatchOf(const VARIANT& value, ComPtr<IDispatch>* object);

}  // namespace mirdane::win32
