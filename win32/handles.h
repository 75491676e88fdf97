// Owners for registry keys, kernel handles, modules and activation
// contexts, and the HRESULT of the last Win32 error.
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

// HRESULT_FROM_WIN32 of the last error, a failure even when no error was set.
inline ::HRESULT LastErrorResult() {
  return static_cast<::HRESULT>(0x80070000u | (::GetLastError() & 0xFFFFu));
}

// A registry key, closed when it goes.
using UniqueHKey = UniqueHandleOf<HKEY, CloseRegistryKey>;
// A kernel object handle (a process, a thread, an event), closed when it goes.
using UniqueHandle = UniqueHandleOf<HANDLE, CloseKernelHandle>;
// A module loaded with LoadLibrary, freed when it goes.
using UniqueModule = UniqueHandleOf<HMODULE, FreeModule>;

// An activation context (a manifest's side-by-side assemblies), released
// when it goes.
class UniqueActCtx {
 public:
  UniqueActCtx() = default;
  explicit UniqueActCtx(HANDLE context) : context_(context) {}
  UniqueActCtx(const UniqueActCtx&) = delete;
  UniqueActCtx& operator=(const UniqueActCtx&) = delete;
  ~UniqueActCtx() { reset(); }

  void reset(HANDLE context = INVALID_HANDLE_VALUE) {
    if (context_ != INVALID_HANDLE_VALUE) ::ReleaseActCtx(context_);
    context_ = context;
  }
  HANDLE get() const { return context_; }
  bool valid() const { return context_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
};

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
