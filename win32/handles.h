// Owners for registry keys, module handles and activation contexts.
#pragma once

#include <windows.h>

#include <utility>

namespace mirdane::win32 {

// A registry key closed when it goes; predefined roots are never closed.
class UniqueHKey {
 public:
  UniqueHKey() = default;
  explicit UniqueHKey(HKEY key) : key_(key) {}
  UniqueHKey(const UniqueHKey&) = delete;
  UniqueHKey& operator=(const UniqueHKey&) = delete;
  UniqueHKey(UniqueHKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  UniqueHKey& operator=(UniqueHKey&& other) noexcept {
    reset(std::exchange(other.key_, nullptr));
    return *this;
  }
  ~UniqueHKey() { reset(); }

  void reset(HKEY key = nullptr) {
    if (key_) ::RegCloseKey(key_);
    key_ = key;
  }
  HKEY get() const { return key_; }
  HKEY* put() {
    reset();
    return &key_;
  }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

// A kernel object handle (a process, a thread, an event), closed when it goes.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  void reset(HANDLE handle = nullptr) {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    handle_ = handle;
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// A module loaded with LoadLibrary, freed when it goes.
class UniqueModule {
 public:
  UniqueModule() = default;
  explicit UniqueModule(HMODULE module) : module_(module) {}
  UniqueModule(const UniqueModule&) = delete;
  UniqueModule& operator=(const UniqueModule&) = delete;
  UniqueModule(UniqueModule&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  UniqueModule& operator=(UniqueModule&& other) noexcept {
    reset(std::exchange(other.module_, nullptr));
    return *this;
  }
  ~UniqueModule() { reset(); }

  void reset(HMODULE module = nullptr) {
    if (module_) ::FreeLibrary(module_);
    module_ = module;
  }
  HMODULE get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }

 private:
  HMODULE module_ = nullptr;
};

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
