// The module's entry points: DllMain and the four COM exports.
//
// No C++ exception leaves any of them; every failure is an HRESULT.
#include <windows.h>
#include <olectl.h>

#include "component/application.h"
#include "component/mirdane_interfaces.h"
#include "component/module.h"
#include "component/resource_ids.h"
#include "component/type_library_registration.h"
#include "win32/result.h"

using mirdane::component::CmirdaneApp;
using mirdane::component::CmirdaneModule;
using mirdane::component::Replacements;

namespace {

constexpr char16_t kAppId[] = u"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}";


HRESULT RunAppIdScript(bool registering) {
  Replacements replacements;
  replacements.Add(u"APPID", kAppId);  // added before the module's empty one, so it wins
  return CmirdaneModule::Instance().UpdateRegistryFromResource(IDR_APPID_SCRIPT, registering,
                                                               replacements);
}

// The type library version 1.0, neutral locale, of this module's platform.
constexpr SYSKIND kPlatform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

}  // namespace

// The loader lock is held here: the module only remembers its handle. What
// start-up began is stopped in DllCanUnloadNow, on an ordinary thread, and a
// module that goes with its process leaves its sessions to the system.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    CmirdaneModule::Instance().SetModuleHandle(instance);
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return mirdane::win32::GuardedResult([&] {
    CmirdaneApp::Instance().InitInstance();
    // The module's class table holds every class the module serves; no
    // other factory exists behind it.
    return CmirdaneModule::Instance().GetClassObject(clsid, iid, object);
  });
}

// S_OK is a promise that the module may go now: its connections and kept
// sessions are closed first, here, where it is safe to talk to a server.
extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return mirdane::win32::GuardedResult([] {
    const auto& module = CmirdaneModule::Instance();
    if (module.GetLockCount() > 0 || module.ClassObjectsInUse()) return S_FALSE;
    return CmirdaneApp::Instance().ExitInstance() ? S_OK : S_FALSE;
  });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return mirdane::win32::GuardedResult([] {
    CmirdaneApp::Instance().InitInstance();
    auto& module = CmirdaneModule::Instance();
    RunAppIdScript(true);  // its result is not what registration depends on
    if (const HRESULT r = module.RegisterServer(); r != S_OK) return r;
    // The library must now load by its id, as its clients look it up.
    mirdane::win32::ComPtr<ITypeLib> library;
    if (FAILED(::LoadRegTypeLib(LIBID_mirdane, 1, 0, 0, library.put()))) return SELFREG_E_TYPELIB;
    return S_OK;
  });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return mirdane::win32::GuardedResult([] {
    CmirdaneApp::Instance().InitInstance();
    RunAppIdScript(false);
    const HRESULT server = CmirdaneModule::Instance().UnregisterServer();
    if (server != S_OK && server != TYPE_E_REGISTRYACCESS) return server;
    if (FAILED(mirdane::component::UnregisterTypeLibrary(LIBID_mirdane, 1, 0, 0, kPlatform))) {
      return SELFREG_E_TYPELIB;
    }
    return S_OK;
  });
}
