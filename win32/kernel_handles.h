// Owners for kernel objects and what the kernel hands out by handle:
// registry keys, kernel object handles, loaded modules, activation contexts.
#pragma once

#include <windows.h>

#include <utility>

#include "win32/unique_handle.h"

namespace mirdane::win32 {

struct CloseRegistryKey {
  void operator()(HKEY key) const { ::RegCloseKey(key); }
};
struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};
struct FreeModule {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};

// An activation context is empty as INVALID_HANDLE_VALUE, not null.
struct ActCtxPolicy {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle context) { ::ReleaseActCtx(context); }
};

// A registry key, closed when it goes.
using UniqueHKey = UniqueHandleOf<NullEmpty<HKEY, CloseRegistryKey>>;
// A kernel object handle (a process, a thread, an event), closed when it goes.
using UniqueHandle = UniqueHandleOf<NullEmpty<HANDLE, CloseKernelHandle>>;
// A module loaded with LoadLibrary, freed when it goes.
using UniqueModule = UniqueHandleOf<NullEmpty<HMODULE, FreeModule>>;
// An activation context (a manifest's side-by-side assemblies), released when it goes.
using UniqueActCtx = UniqueHandleOf<ActCtxPolicy>;

// Makes an activation context current for the calling thread while the
// object lives. An invalid context activates nothing.
class ScopedActCtxActivation {
 public:
  explicit ScopedActCtxActivation(HANDLE context) {
    if (context != INVALID_HANDLE_VALUE && ::ActivateActCtx(context, &cookie_)) active_ = true;
  }
  ScopedActCtxActivation(const ScopedActCtxActivation&) = delete;
  ScopedActCtxActivation& operator=(const ScopedActCtxActivation&) = delete;
  ~ScopedActCtxActivation() {
    if (active_) ::DeactivateActCtx(0, cookie_);
  }
  bool active() const { return active_; }

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

}  // namespace mirdane::win32
