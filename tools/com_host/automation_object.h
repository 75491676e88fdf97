// The host's objects as automation objects: what a script receives from the
// capture host. Members are found by name (GetIDsOfNames) and called through
// Invoke; the arguments keep their variant types, so the objects behind them
// can refuse a key of the wrong type as the host does.
#pragma once

#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "base/variant.h"

namespace mirdane::hostcom {

// A member's body: the arguments first to last, the result to fill.
using MemberBody = std::function<::HRESULT(const std::vector<Variant>& args, VARIANT* result)>;

class AutomationObject : public IDispatch {
 public:
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  ::HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  ::HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  ::HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
  ::HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override;

  // How many of these objects are alive in the process (for leak checks).
  static LONG LiveObjects();

 protected:
  AutomationObject();
  virtual ~AutomationObject();

  // A readable property (or method) `name`, and one to assign.
  void AddGetter(const wchar_t* name, DISPID id, MemberBody body);
  void AddPutter(const wchar_t* name, DISPID id, MemberBody body);
  void AddMethod(const wchar_t* name, DISPID id, MemberBody body);

  // Further interface ids the object answers, with the pointer to give.
  virtual bool QueryOther(REFIID, void**) { return false; }

 private:
  struct Member {
    std::wstring name;
    DISPID id;
    MemberBody get;     // property get or method
    MemberBody put;     // property put
  };
  Member& Find(const wchar_t* name, DISPID id);

  LONG references_ = 1;
  std::vector<Member> members_;
};

// Filling an Invoke result.
::HRESULT ReturnText(const std::u16string& text, VARIANT* result);
::HRESULT ReturnLong(LONG value, VARIANT* result);
// Gives `object` away into the result (the caller's reference passes on).
::HRESULT ReturnObject(IDispatch* object, VARIANT* result);

}  // namespace mirdane::hostcom
