#include "component/registrar/registry_writer.h"

#include <string>

#include "win32/kernel_handles.h"
#include "win32/result.h"
#include "win32/wide_text.h"

namespace mirdane::component {
namespace {

using win32::UniqueHKey;

using win32::Wide;

HKEY RootOf(const std::u16string& name) {
  struct Root {
    const char16_t* short_name;
    const char16_t* long_name;
    HKEY key;
  };
  static const Root kRoots[] = {
      {u"HKCR", u"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
      {u"HKCU", u"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
      {u"HKLM", u"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
      {u"HKU", u"HKEY_USERS", HKEY_USERS},
  };
  for (const auto& root : kRoots) {
    if (::lstrcmpiW(Wide(name), reinterpret_cast<const wchar_t*>(root.short_name)) == 0 ||
        ::lstrcmpiW(Wide(name), reinterpret_cast<const wchar_t*>(root.long_name)) == 0) {
      return root.key;
    }
  }
  return nullptr;
}

HRESULT FromWin32(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

bool Missing(LSTATUS status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

HRESULT SetValue(HKEY key, const wchar_t* name, const RegistryValue& value) {
  if (value.kind == RegistryValue::Kind::Number) {
    const DWORD number = value.number;
    return FromWin32(::RegSetValueExW(key, name, 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&number), sizeof(number)));
  }
  const auto bytes = static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t));
  return FromWin32(::RegSetValueExW(key, name, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.text.c_str()), bytes));
}

HRESULT DeleteTree(HKEY parent, const std::u16string& name) {
  const LSTATUS status = ::RegDeleteTreeW(parent, Wide(name));
  return Missing(status) ? S_OK : FromWin32(status);
}

HRESULT WriteKey(HKEY parent, const RegistryKey& key) {
  if (key.removal == RegistryKey::Removal::Delete) return DeleteTree(parent, key.name);
  if (key.removal == RegistryKey::Removal::ForceRemove) {
    RETURN_IF_FAILED(DeleteTree(parent, key.name));
  }
  UniqueHKey opened;
  if (const HRESULT r = FromWin32(::RegCreateKeyExW(parent, Wide(key.name), 0, nullptr, 0,
                                                    KEY_READ | KEY_WRITE, nullptr, opened.put(),
                                                    nullptr));
      FAILED(r)) {
    return r;
  }
  if (key.defaultValue) {
    RETURN_IF_FAILED(SetValue(opened.get(), nullptr, *key.defaultValue));
  }
  for (const auto& [name, value] : key.values) {
    RETURN_IF_FAILED(SetValue(opened.get(), Wide(name), value));
  }
  for (const auto& subkey : key.subkeys) {
    RETURN_IF_FAILED(WriteKey(opened.get(), subkey));
  }
  return S_OK;
}

HRESULT RemoveKey(HKEY parent, const RegistryKey& key) {
  if (key.removal == RegistryKey::Removal::ForceRemove) return DeleteTree(parent, key.name);
  UniqueHKey opened;
  const LSTATUS status = ::RegOpenKeyExW(parent, Wide(key.name), 0, KEY_READ | KEY_WRITE,
                                         opened.put());
  if (Missing(status)) return S_OK;
  if (status != ERROR_SUCCESS) return FromWin32(status);
  for (const auto& subkey : key.subkeys) {
    RETURN_IF_FAILED(RemoveKey(opened.get(), subkey));
  }
  if (key.removal == RegistryKey::Removal::NoRemove) return S_OK;
  // A key that something else still uses (a subkey the script does not
  // list) stays; only what the script made is taken away.
  DWORD subkeys = 0;
  if (const HRESULT r = FromWin32(::RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr,
                                                     &subkeys, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr));
      FAILED(r)) {
    return r;
  }
  opened.reset();
  if (subkeys != 0) return S_OK;
  const LSTATUS deleted = ::RegDeleteKeyW(parent, Wide(key.name));
  return Missing(deleted) ? S_OK : FromWin32(deleted);
}

template <typename Step>
HRESULT ForEachKey(const RegistryScript& script, Step step) {
  for (const auto& root : script.roots) {
    const HKEY key = RootOf(root.name);
    if (!key) return E_INVALIDARG;
    for (const auto& entry : root.keys) {
      RETURN_IF_FAILED(step(key, entry));
    }
  }
  return S_OK;
}

}  // namespace

HRESULT WriteRegistryScript(const RegistryScript& script) { return ForEachKey(script, WriteKey); }

HRESULT RemoveRegistryScript(const RegistryScript& script) {
  return ForEachKey(script, RemoveKey);
}

}  // namespace mirdane::component
