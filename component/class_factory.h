// The standard class object of the module's classes: creates instances (an
// outer object may aggregate them) and locks the module for its clients.
#pragma once

#include <unknwn.h>

namespace mirdane::component {

// Creates one object, aggregated by `outer` when it is not null, and gives
// its interface `iid`.
using CreateFunction = ::HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}

  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  ::HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  ::HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  // References held besides the class table's own.
  LONG ClientReferences() const { return references_ - 1; }

 private:
  CreateFunction create_;
  LONG references_ = 1;  // the class table's
};

}  // namespace mirdane::component
