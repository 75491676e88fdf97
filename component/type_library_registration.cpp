#include "component/type_library_registration.h"

#include <string>
#include <utility>
#include <vector>

#include "win32/com_ptr.h"
#include "win32/kernel_handles.h"
#include "win32/result.h"

namespace mirdane::component {
namespace {

using win32::UniqueHKey;

HRESULT FromWin32(LSTATUS status) {
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
}

// TypeLib\{LIBID}, and below it the version and the locale's keys.
std::wstring LibraryKey(REFGUID library) {
  wchar_t guid[64] = {};
  ::StringFromGUID2(library, guid, 64);
  return std::wstring(L"TypeLib\\") + guid;
}

std::wstring VersionName(WORD major, WORD minor) {
  wchar_t text[32] = {};
  ::wsprintfW(text, L"%x.%x", major, minor);
  return text;
}

std::wstring LocaleName(LCID locale) {
  wchar_t text[16] = {};
  ::wsprintfW(text, L"%lx", static_cast<unsigned long>(locale));
  return text;
}

const wchar_t* PlatformName(SYSKIND kind) { return kind == SYS_WIN64 ? L"win64" : L"win32"; }

HRESULT SetDefault(const std::wstring& key, const std::wstring& value) {
  UniqueHKey opened;
  if (const HRESULT r = FromWin32(::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0,
                                                    KEY_SET_VALUE, nullptr, opened.put(), nullptr));
      FAILED(r)) {
    return r;
  }
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return FromWin32(::RegSetValueExW(opened.get(), nullptr, 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

// The names of the subkeys of `key`; false when it cannot be opened.
bool SubkeyNames(const std::wstring& key, std::vector<std::wstring>* names) {
  UniqueHKey opened;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS) {
    return false;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (::RegEnumKeyExW(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names->emplace_back(name, length);
  }
  return true;
}

bool IsEmptyKey(const std::wstring& key) {
  std::vector<std::wstring> names;
  return SubkeyNames(key, &names) && names.empty();
}

HRESULT DeleteTree(const std::wstring& key) {
  // With a subkey named, the key goes too.
  const LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND) return S_OK;
  return FromWin32(status);
}

}  // namespace

HRESULT RegisterTypeLibrary(ITypeLib* library, const std::u16string& modulePath) {
  if (!library) return E_POINTER;
  TLIBATTR* attributes = nullptr;
  RETURN_IF_FAILED(library->GetLibAttr(&attributes));
  const TLIBATTR id = *attributes;
  library->ReleaseTLibAttr(attributes);

  win32::Bstr name, doc;
  library->GetDocumentation(-1, name.put(), doc.put(), nullptr, nullptr);
  const BSTR title = ::SysStringLen(doc.get()) > 0 ? doc.get() : name.get();

  const std::wstring path(reinterpret_cast<const wchar_t*>(modulePath.c_str()), modulePath.size());
  const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
  const std::wstring version = LibraryKey(id.guid) + L"\\" + VersionName(id.wMajorVerNum, id.wMinorVerNum);
  const std::wstring flags = std::to_wstring(id.wLibFlags);
  for (const auto& [key, value] : {
           std::pair{version, std::wstring(title ? title : L"")},
           std::pair{version + L"\\FLAGS", flags},
           std::pair{version + L"\\HELPDIR", folder},
           std::pair{version + L"\\" + LocaleName(id.lcid) + L"\\" + PlatformName(id.syskind), path},
       }) {
    RETURN_IF_FAILED(SetDefault(key, value));
  }
  return S_OK;
}

HRESULT UnregisterTypeLibrary(REFGUID library, WORD major, WORD minor, LCID locale,
                              SYSKIND kind) {
  const std::wstring root = LibraryKey(library);
  const std::wstring version = root + L"\\" + VersionName(major, minor);
  const std::wstring lcid = version + L"\\" + LocaleName(locale);
  RETURN_IF_FAILED(DeleteTree(lcid + L"\\" + PlatformName(kind)));
  if (IsEmptyKey(lcid)) {
    RETURN_IF_FAILED(DeleteTree(lcid));
  }
  // The version stays while any locale of it is registered for a platform.
  std::vector<std::wstring> left;
  if (SubkeyNames(version, &left)) {
    bool registered = false;
    for (const auto& name : left) {
      registered |= ::lstrcmpiW(name.c_str(), L"FLAGS") != 0 && ::lstrcmpiW(name.c_str(), L"HELPDIR") != 0;
    }
    if (!registered) {
      RETURN_IF_FAILED(DeleteTree(version));
    }
  }
  if (IsEmptyKey(root)) return DeleteTree(root);
  return S_OK;
}

bool IsTypeLibraryRegistered(REFGUID library, WORD major, WORD minor, LCID locale,
                             SYSKIND kind) {
  const std::wstring key = LibraryKey(library) + L"\\" + VersionName(major, minor) + L"\\" +
                           LocaleName(locale) + L"\\" + PlatformName(kind);
  UniqueHKey opened;
  return ::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

}  // namespace mirdane::component
