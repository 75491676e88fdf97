// The module object: one per process. It counts the objects and locks that
// keep the module loaded, holds the class table, and reads what the module
// carries as resources (registry scripts, the type library, the manifest).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <mutex>
#include <optional>
#include <string>

#include "component/registrar/registry_script.h"
#include "win32/com_ptr.h"
#include "win32/kernel_handles.h"

namespace mirdane::component {

class CmirdaneModule {
 public:
  static CmirdaneModule& Instance();

  virtual ~CmirdaneModule() = default;
  // A live object or a server lock: while any is counted, the module stays.
  virtual LONG Lock();
  virtual LONG Unlock();
  virtual LONG GetLockCount() const;
  // Adds the replacements that every registry script of the module may use.
  virtual void AddReplacements(Replacements& replacements) const;

  void SetModuleHandle(HINSTANCE instance) { instance_ = instance; }
  HINSTANCE ModuleHandle() const { return instance_; }
  // The full path of mirdane.dll.
  std::u16string ModulePath() const;

  // The class object of `clsid` from the class table (CLASS_E_CLASSNOTAVAILABLE
  // for any other class).
  ::HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
  // Whether anything besides the class table holds one of its class objects.
  bool ClassObjectsInUse() const;

  // Runs registry script resource `id` with `extra` replacements (which come
  // before the module's own), writing or removing its keys.
  ::HRESULT UpdateRegistryFromResource(UINT id, bool registering, const Replacements& extra) const;
  // The class scripts and the type library carried as resource 1 (its own
  // key only: see type_library_registration.h).
  ::HRESULT RegisterServer() const;
  ::HRESULT UnregisterServer() const;

  // Type information of an interface of the module's type library.
  ::HRESULT TypeInfoOf(REFIID iid, ITypeInfo** info);
  // The comctl32 version 6 activation context of the module's manifest.
  HANDLE UiActivationContext();

 private:
  HINSTANCE instance_ = nullptr;
  LONG locks_ = 0;
  std::mutex mutex_;
  win32::ComPtr<ITypeLib> typeLibrary_;
  bool actCtxTried_ = false;
  win32::UniqueActCtx actCtx_;
};

// The string `id` of mirdane.dll's string table, or nothing when it has none.
std::optional<std::u16string> LoadModuleString(unsigned id);

// Keeps the module loaded while it lives: every script object holds one.
class ModuleLock {
 public:
  ModuleLock() { CmirdaneModule::Instance().Lock(); }
  ~ModuleLock() { CmirdaneModule::Instance().Unlock(); }
  ModuleLock(const ModuleLock&) = delete;
  ModuleLock& operator=(const ModuleLock&) = delete;
};

// Comctl32 version 6 for the windows created while it lives.
class ScopedUiContext {
 public:
  ScopedUiContext() : activation_(CmirdaneModule::Instance().UiActivationContext()) {}

 private:
  win32::ScopedActCtxActivation activation_;
};

}  // namespace mirdane::component
