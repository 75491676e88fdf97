#include "component/module.h"

#include <iterator>
#include <string>
#include <vector>

#include "base/text.h"
#include "component/class_factory.h"
#include "component/release_script_object.h"
#include "component/setup_script_object.h"
#include "component/registrar/registry_writer.h"
#include "component/resource_ids.h"
#include "component/type_library_registration.h"
#include "win32/result.h"
#include "win32/wide_text.h"

namespace mirdane::component {
namespace {

using win32::FromWide;

// The classes the module serves, with the class object of each.
struct ClassEntry {
  const CLSID* clsid;
  ClassFactory* factory;
};

ClassFactory release_factory(&CReleaseScriptObject::Create<CReleaseScriptObject>);
ClassFactory setup_factory(&CSetupScriptObject::Create<CSetupScriptObject>);

const ClassEntry kClassTable[] = {
    {&CLSID_LorvenExportConnector, &release_factory},
    {&CLSID_CppdSetupScript, &setup_factory},
};

// The text of a registry script resource: UTF-16 when it starts with a byte
// order mark, otherwise UTF-8 (which covers ASCII).
bool LoadScriptText(HINSTANCE module, UINT id, std::u16string* text) {
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
  if (!found) return false;
  HGLOBAL loaded = ::LoadResource(module, found);
  const DWORD size = ::SizeofResource(module, found);
  const auto* bytes = static_cast<const unsigned char*>(::LockResource(loaded));
  if (!bytes) return false;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    *text = std::u16string(reinterpret_cast<const char16_t*>(bytes + 2), (size - 2) / 2);
  } else {
    *text = Utf8ToUtf16(std::string(reinterpret_cast<const char*>(bytes), size));
  }
  return true;
}

}  // namespace

CmirdaneModule& CmirdaneModule::Instance() {
  static CmirdaneModule module;
  return module;
}

LONG CmirdaneModule::Lock() { return ::InterlockedIncrement(&locks_); }

LONG CmirdaneModule::Unlock() { return ::InterlockedDecrement(&locks_); }

LONG CmirdaneModule::GetLockCount() const { return locks_; }

void CmirdaneModule::AddReplacements(Replacements& replacements) const {
  // The class keys carry an AppID value with an empty text; only the AppID
  // script, which adds the real one first, writes the GUID.
  replacements.Add(u"APPID", u"");
}

std::u16string CmirdaneModule::ModulePath() const {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(instance_, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // the path was cut: ask again with more room
  }
}

::HRESULT CmirdaneModule::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (const ClassEntry* entry = std::begin(kClassTable); entry != std::end(kClassTable); ++entry) {
    if (IsEqualCLSID(clsid, *entry->clsid)) return entry->factory->QueryInterface(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

bool CmirdaneModule::ClassObjectsInUse() const {
  for (const ClassEntry* entry = std::begin(kClassTable); entry != std::end(kClassTable); ++entry) {
    if (entry->factory->ClientReferences() > 0) return true;
  }
  return false;
}

::HRESULT CmirdaneModule::UpdateRegistryFromResource(UINT id, bool registering,
                                                   const Replacements& extra) const {
  std::u16string text;
  if (!LoadScriptText(instance_, id, &text)) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  const std::u16string path = ModulePath();
  Replacements replacements = extra;
  replacements.Add(u"MODULE", path);
  replacements.Add(u"MODULE_RAW", path);
  AddReplacements(replacements);
  std::u16string error;
  const auto script = ParseRegistryScript(text, replacements, &error);
  if (!script) return DISP_E_EXCEPTION;
  return registering ? WriteRegistryScript(*script) : RemoveRegistryScript(*script);
}

::HRESULT CmirdaneModule::RegisterServer() const {
  const Replacements none;
  for (const UINT id : {UINT{IDR_RELEASE_SCRIPT}, UINT{IDR_SETUP_SCRIPT}}) {
    if (const HRESULT r = UpdateRegistryFromResource(id, true, none); r != S_OK) return r;
  }
  win32::ComPtr<ITypeLib> library;
  const std::u16string path = ModulePath();
  const wchar_t* wide = win32::Wide(path);
  RETURN_IF_FAILED(::LoadTypeLibEx(wide, REGKIND_NONE, library.put()));
  return RegisterTypeLibrary(library.get(), path);
}

::HRESULT CmirdaneModule::UnregisterServer() const {
  const Replacements none;
  for (const UINT id : {UINT{IDR_RELEASE_SCRIPT}, UINT{IDR_SETUP_SCRIPT}}) {
    if (const HRESULT r = UpdateRegistryFromResource(id, false, none); r != S_OK) return r;
  }
  win32::ComPtr<ITypeLib> library;
  const std::u16string path = ModulePath();
  const wchar_t* wide = win32::Wide(path);
  RETURN_IF_FAILED(::LoadTypeLibEx(wide, REGKIND_NONE, library.put()));
  TLIBATTR* attributes = nullptr;
  RETURN_IF_FAILED(library->GetLibAttr(&attributes));
  const TLIBATTR id = *attributes;
  library->ReleaseTLibAttr(attributes);
  return UnregisterTypeLibrary(id.guid, id.wMajorVerNum, id.wMinorVerNum, id.lcid, id.syskind);
}

::HRESULT CmirdaneModule::TypeInfoOf(REFIID iid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  std::lock_guard lock(mutex_);
  if (!typeLibrary_) {
    const std::u16string path = ModulePath();
    if (const HRESULT r = ::LoadTypeLibEx(win32::Wide(path),
                                          REGKIND_NONE, typeLibrary_.put());
        FAILED(r)) {
      return r;
    }
  }
  return typeLibrary_->GetTypeInfoOfGuid(iid, info);
}

HANDLE CmirdaneModule::UiActivationContext() {
  std::lock_guard lock(mutex_);
  if (!actCtxTried_) {
    actCtxTried_ = true;
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.hModule = instance_;
    context.lpResourceName = MAKEINTRESOURCEW(2);
    // Without it the windows still work, drawn by comctl32 version 5.
    actCtx_.reset(::CreateActCtxW(&context));
  }
  return actCtx_.get();
}

std::optional<std::u16string> LoadModuleString(unsigned id) {
  return win32::LoadResourceString(CmirdaneModule::Instance().ModuleHandle(), id);
}

}  // namespace mirdane::component
