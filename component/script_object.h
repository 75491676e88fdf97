// The COM object shell shared by the two script classes: reference counting
// with aggregation, the module lock, and IDispatch through the type library.
//
// An object may be aggregated: it then hands its IUnknown calls to the outer
// object, except those that reach its own inner IUnknown, which owns it.
#pragma once

#include <new>

#include "component/module.h"
#include "component/type_info_dispatch.h"
#include "win32/result.h"

namespace mirdane::component {

template <typename Interface, const IID* kInterfaceIid>
class ScriptObject : public Interface {
 public:
  ScriptObject(const ScriptObject&) = delete;
  ScriptObject& operator=(const ScriptObject&) = delete;

  // Creates an object of class T (aggregated by `outer`, when given) and
  // gives its interface `iid`.
  template <typename T>
  static ::HRESULT Create(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    T* created = new (std::nothrow) T(outer);
    if (!created) return E_OUTOFMEMORY;
    IUnknown* inner = created->InnerUnknown();
    inner->AddRef();
    const ::HRESULT result = inner->QueryInterface(iid, object);
    inner->Release();  // the object goes again when nobody took an interface
    return result;
  }

  // IUnknown: whatever the controlling object decides.
  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return controlling_->QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return controlling_->AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return controlling_->Release(); }

  // IDispatch.
  ::HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return Guard([&] { return dispatch_.GetTypeInfoCount(count); });
  }
  ::HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    return Guard([&] { return dispatch_.GetTypeInfo(index, info); });
  }
  ::HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
    return Guard([&] { return dispatch_.GetIDsOfNames(names, count, ids); });
  }
  ::HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override {
    return Guard([&] {
      ::HRESULT answer = S_OK;
      if (InvokeByHand(id, flags, params, result, &answer)) return answer;
      return dispatch_.Invoke(static_cast<Interface*>(this), id, flags, params, result, exception,
                              badArgument);
    });
  }

 protected:
  explicit ScriptObject(IUnknown* outer)
      : inner_(this), controlling_(outer ? outer : static_cast<IUnknown*>(&inner_)),
        dispatch_(*kInterfaceIid) {}
  virtual ~ScriptObject() = default;

  // Members that the type information cannot pass on (those that receive
  // host objects): true when handled, with the HRESULT in `answer`.
  virtual bool InvokeByHand(DISPID, WORD, DISPPARAMS*, VARIANT*, ::HRESULT*) { return false; }

  // Runs `body`; no C++ exception leaves towards a COM caller.
  template <typename Body>
  static ::HRESULT Guard(Body body) {
    return win32::GuardedResult(body);
  }

 private:
  // The object's own IUnknown: the one that owns it.
  class Inner final : public IUnknown {
   public:
    explicit Inner(ScriptObject* owner) : owner_(owner) {}
    ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
      if (!object) return E_POINTER;
      *object = nullptr;
      if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
      }
      if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, *kInterfaceIid)) {
        *object = static_cast<Interface*>(owner_);
        owner_->AddRef();  // counted where the controlling object counts
        return S_OK;
      }
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
      return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
      const LONG left = ::InterlockedDecrement(&references_);
      if (left == 0) delete owner_;
      return static_cast<ULONG>(left);
    }

   private:
    ScriptObject* owner_;
    LONG references_ = 0;
  };

  IUnknown* InnerUnknown() { return &inner_; }

  ModuleLock lock_;
  Inner inner_;
  IUnknown* controlling_;
  TypeInfoDispatch dispatch_;
};

}  // namespace mirdane::component
