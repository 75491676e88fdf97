// The module's entry points: DllMain and the four COM exports.
//
// No C++ exception leaves any of them; every failure is an HRESULT.
#include <windows.h>
#include <olectl.h>

#include "component/application.h"
#include "component/mirdane_interfaces.h"
#include "component/module.h"
#include "component/resource_ids.h"

using mirdane::component::CmirdaneApp;
using mirdane::component::CmirdaneModule;
using mirdane::component::Replacements;

namespace {

constexpr char16_t kAppId[] = u"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}";

template <typename Body>
HRESULT Guarded(Body body) {
  try {
    return body();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT RunAppIdScript(bool registering) {
  Replacements replacements;
  replacements.Add(u"APPID", kAppId);  // added before the module's empty one, so it wins
  return CmirdaneModule::Instance().UpdateRegistryFromResource(IDR_APPID_SCRIPT, registering,
                                                               replacements);
}

// The type library version 1.0, neutral locale, of this module's platform;
// one that is not registered (any more) is no failure.
HRESULT UnregisterTypeLibrary() {
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  if (!mirdane::component::IsTypeLibraryRegistered(LIBID_mirdane, 1, 0, 0, kind)) return S_OK;
  return ::UnRegisterTypeLib(LIBID_mirdane, 1, 0, 0, kind);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      CmirdaneModule::Instance().SetModuleHandle(instance);
      ::DisableThreadLibraryCalls(instance);
      break;
    case DLL_PROCESS_DETACH:
      // Freed by its host (not the process ending): stop what start-up began.
      if (!reserved) {
        try {
          CmirdaneApp::Instance().ExitInstance();
        } catch (...) {
        }
      }
      break;
    default:
      break;
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  return Guarded([&] {
    CmirdaneApp::Instance().InitInstance();
    // The module's class table holds every class the module serves; no
    // other factory exists behind it.
    return CmirdaneModule::Instance().GetClassObject(clsid, iid, object);
  });
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return Guarded([] {
    const auto& module = CmirdaneModule::Instance();
    if (module.GetLockCount() > 0) return S_FALSE;
    return module.ClassObjectsInUse() ? S_FALSE : S_OK;
  });
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return Guarded([] {
    CmirdaneApp::Instance().InitInstance();
    auto& module = CmirdaneModule::Instance();
    RunAppIdScript(true);  // its result is not what registration depends on
    if (const HRESULT r = module.RegisterServer(); r != S_OK) return r;
    // The type library once more, by its id, as the setup tools look it up.
    mirdane::win32::ComPtr<ITypeLib> library;
    const std::u16string path = module.ModulePath();
    const auto* wide = reinterpret_cast<const wchar_t*>(path.c_str());
    if (FAILED(::LoadTypeLibEx(wide, REGKIND_NONE, library.put())) ||
        FAILED(::RegisterTypeLib(library.get(), const_cast<LPOLESTR>(wide), nullptr))) {
      return SELFREG_E_TYPELIB;
    }
    return S_OK;
  });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return Guarded([] {
    CmirdaneApp::Instance().InitInstance();
    RunAppIdScript(false);
    const HRESULT server = CmirdaneModule::Instance().UnregisterServer();
    if (server != S_OK && server != TYPE_E_REGISTRYACCESS) return server;
    if (FAILED(UnregisterTypeLibrary())) return SELFREG_E_TYPELIB;
    return S_OK;
  });
}
