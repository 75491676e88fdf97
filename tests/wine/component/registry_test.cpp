// What regsvr32 writes and removes, key by key. The test run registered the
// module with regsvr32 before this suite started.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tests/wine/component/wine_support.h"
#include "win32/kernel_handles.h"

namespace mirdane::wine_test {
namespace {

constexpr wchar_t kAppId[] = L"{EE0D74DB-D178-4352-9CEE-31B29287A6D8}";
constexpr wchar_t kLibId[] = L"{9034B620-09CF-49A7-8983-25C6B56C496C}";

struct ScriptClass {
  const wchar_t* progId;
  const wchar_t* clsid;
};
constexpr ScriptClass kClasses[] = {
    {L"mirdane.LorvenExportConnector", L"{F6C9D062-2E1F-4d80-8002-E9C453675C89}"},
    {L"mirdane.CppdSetupScript", L"{BEFF5447-5D3C-43cc-962C-9691CBE344E3}"},
};

std::wstring Value(const std::wstring& key, const std::wstring& name = L"") {
  std::wstring value;
  EXPECT_TRUE(ReadValue(key, name, &value)) << "missing: HKCR\\" << std::string(key.begin(), key.end())
                                            << " value '" << std::string(name.begin(), name.end())
                                            << "'";
  return value;
}

bool HasDefaultValue(const std::wstring& key) {
  std::wstring ignored;
  return ReadValue(key, L"", &ignored);
}

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), ::towlower);
  return text;
}

void ExpectRegistered() {
  const std::wstring appId = std::wstring(L"AppID\\") + kAppId;
  EXPECT_EQ(Value(appId), L"mirdane");
  EXPECT_EQ(Value(L"AppID\\mirdane.DLL", L"AppID"), kAppId);
  EXPECT_FALSE(HasDefaultValue(L"AppID\\mirdane.DLL"));

  for (const auto& c : kClasses) {
    const std::wstring progId = c.progId;
    const std::wstring clsid = std::wstring(L"CLSID\\") + c.clsid;
    EXPECT_FALSE(HasDefaultValue(progId)) << "a ProgID key without a default value";
    EXPECT_EQ(Value(progId + L"\\CLSID"), c.clsid);
    // No version-independent ProgID is written.
    EXPECT_FALSE(KeyExists(progId + L"\\CurVer"));
    EXPECT_FALSE(KeyExists(clsid + L"\\VersionIndependentProgID"));

    EXPECT_EQ(Value(clsid), progId);
    EXPECT_EQ(Value(clsid, L"AppID"), L"") << "present and empty";
    EXPECT_EQ(Value(clsid + L"\\ProgID"), progId);
    EXPECT_TRUE(KeyExists(clsid + L"\\Programmable"));
    EXPECT_TRUE(SubkeysOf(clsid + L"\\Programmable").empty());
    EXPECT_EQ(Lower(Value(clsid + L"\\InprocServer32")), Lower(ModulePath()));
    EXPECT_EQ(Value(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Both");
    EXPECT_EQ(Value(clsid + L"\\TypeLib"), kLibId);
    auto subkeys = SubkeysOf(clsid);
    std::sort(subkeys.begin(), subkeys.end());
    EXPECT_EQ(subkeys, (std::vector<std::wstring>{L"InprocServer32", L"ProgID", L"Programmable",
                                                  L"TypeLib"}));
  }

  // The type library, version 1.0, neutral locale, for this platform.
  const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  EXPECT_EQ(Lower(Value(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0\\0\\" + platform)),
            Lower(ModulePath()));
}

TEST(Registration, RegsvrWritesEveryKeyOfTheComponent) { ExpectRegistered(); }

// Registering again replaces each class key whole: a stray subkey left in
// one goes, and the set of keys is the same as after the first time.
TEST(Registration, RegisteringTwiceLeavesOneSet) {
  const std::wstring clsid = std::wstring(L"CLSID\\") + kClasses[0].clsid;
  HKEY stray = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, (clsid + L"\\Stray").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &stray, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(stray);
  ASSERT_TRUE(KeyExists(clsid + L"\\Stray"));

  EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + ModulePath() + L"\""), 0u);
  EXPECT_FALSE(KeyExists(clsid + L"\\Stray"));
  ExpectRegistered();
}

// Unregistering takes every key of the component away and leaves the roots
// it wrote under; registering afterwards brings everything back.
TEST(Registration, UnregisteringRemovesTheKeysAndKeepsTheRoots) {
  EXPECT_EQ(RunProgram(L"regsvr32.exe /s /u \"" + ModulePath() + L"\""), 0u);
  EXPECT_FALSE(KeyExists(std::wstring(L"AppID\\") + kAppId));
  EXPECT_FALSE(KeyExists(L"AppID\\mirdane.DLL"));
  for (const auto& c : kClasses) {
    EXPECT_FALSE(KeyExists(c.progId));
    EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + c.clsid));
  }
  const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0\\0\\" + platform));
  EXPECT_TRUE(KeyExists(L"AppID"));
  EXPECT_TRUE(KeyExists(L"CLSID"));
  EXPECT_TRUE(KeyExists(L"TypeLib"));
  EXPECT_TRUE(KeyExists(L"CLSID\\{00000514-0000-0010-8000-00AA006D2EA4}"))
      << "someone else's class survives";

  EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + ModulePath() + L"\""), 0u);
  ExpectRegistered();
}

// The host's interfaces that the module's type library also describes: two
// registered by the host (as its own library would), one left unregistered.
constexpr const wchar_t* kHostInterfaces[] = {
    L"{D0B556C8-975C-4D36-B855-0DD1AB0B6255}",  // the release script's
    L"{5F5E61B2-0B35-4616-BABE-3DCDC12D5E11}",  // the setup script's
    L"{3C9A1E41-5B27-4D1E-9F0A-6A2B71C40011}",  // ReleaseData
};
constexpr const wchar_t* kUnregisteredHostInterface =
    L"{3C9A1E41-5B27-4D1E-9F0A-6A2B71C40004}";  // Values
constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

std::wstring InterfaceKey(const wchar_t* iid) { return std::wstring(L"Interface\\") + iid; }

// A key with all its values and subkeys, as text that differs wherever one
// byte differs ("missing" when there is no key).
std::string Snapshot(const std::wstring& key, REGSAM view) {
  win32::UniqueHKey opened;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ | view, opened.put()) !=
      ERROR_SUCCESS) {
    return "missing\n";
  }
  std::string text;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256, type = 0;
    BYTE data[1024];
    DWORD size = sizeof(data);
    if (::RegEnumValueW(opened.get(), i, name, &nameLength, nullptr, &type, data, &size) !=
        ERROR_SUCCESS) {
      break;
    }
    text += "value '" + std::string(name, name + nameLength) + "' type " + std::to_string(type) + ":";
    for (DWORD b = 0; b < size; ++b) text += " " + std::to_string(data[b]);
    text += "\n";
  }
  for (const auto& child : SubkeysOf(key, view)) {
    text += "key " + std::string(child.begin(), child.end()) + " {\n" +
            Snapshot(key + L"\\" + child, view) + "}\n";
  }
  return text;
}

std::string SnapshotOfTheHostsKeys() {
  std::string text;
  for (const REGSAM view : kViews) {
    for (const wchar_t* iid : kHostInterfaces) text += Snapshot(InterfaceKey(iid), view);
    text += Snapshot(InterfaceKey(kUnregisteredHostInterface), view);
  }
  return text;
}

void SetDefault(const std::wstring& key, REGSAM view, const std::wstring& name,
                const std::wstring& value) {
  win32::UniqueHKey created;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE | view,
                              nullptr, created.put(), nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(created.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Removes an interface's key with everything in it from one view.
void DeleteInterfaceKey(const wchar_t* iid, REGSAM view) {
  win32::UniqueHKey interfaces;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface", 0, KEY_ALL_ACCESS | view, interfaces.put()) ==
      ERROR_SUCCESS) {
    ::RegDeleteTreeW(interfaces.get(), iid);
  }
}

// Registering and unregistering the module leave the host's interface keys
// exactly as they were, in both registry views, and create none of them.
TEST(Registration, TheHostsInterfaceKeysAreLeftExactlyAsFound) {
  for (const REGSAM view : kViews) {
    for (const wchar_t* iid : kHostInterfaces) {
      DeleteInterfaceKey(iid, view);
      const std::wstring key = InterfaceKey(iid);
      SetDefault(key, view, L"", L"IHostInterface");
      SetDefault(key + L"\\ProxyStubClsid32", view, L"",
                 L"{00020424-0000-0000-C000-000000000046}");
      SetDefault(key + L"\\TypeLib", view, L"",
                 L"{6A3C0E5B-1F0D-4B7E-9E55-5B8C0D3A2F11}");
      SetDefault(key + L"\\TypeLib", view, L"Version", L"1.0");
    }
    DeleteInterfaceKey(kUnregisteredHostInterface, view);
  }
  const std::string before = SnapshotOfTheHostsKeys();
  ASSERT_NE(Snapshot(InterfaceKey(kHostInterfaces[0]), KEY_WOW64_32KEY), "missing\n");

  EXPECT_EQ(RunProgram(L"regsvr32.exe /s \"" + ModulePath() + L"\""), 0u);
  EXPECT_EQ(SnapshotOfTheHostsKeys(), before) << "after regsvr32";
  EXPECT_EQ(RunProgram(L"regsvr32.exe /s /u \"" + ModulePath() + L"\""), 0u);
  EXPECT_EQ(SnapshotOfTheHostsKeys(), before) << "after regsvr32 /u";

  Register();
  ExpectRegistered();
}

}  // namespace
}  // namespace mirdane::wine_test
