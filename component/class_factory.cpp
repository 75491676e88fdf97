#include "component/class_factory.h"

#include "component/module.h"
#include "win32/result.h"

namespace mirdane::component {

::HRESULT STDMETHODCALLTYPE ClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    return E_NOINTERFACE;
  }
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE ClassFactory::AddRef() {
  return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

// The class table owns the factory for the life of the process; the count
// only tells whether clients still hold it.
ULONG STDMETHODCALLTYPE ClassFactory::Release() {
  const LONG left = ::InterlockedDecrement(&references_);
  return static_cast<ULONG>(left > 0 ? left : 0);
}

::HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID iid,
                                                         void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  // An aggregated object hands its outer object nothing but its own IUnknown.
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  try {
    return create_(outer, iid, object);
  }
  CATCH_RETURN();
}

::HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    CmirdaneModule::Instance().Lock();
  } else {
    CmirdaneModule::Instance().Unlock();
  }
  return S_OK;
}

}  // namespace mirdane::component
