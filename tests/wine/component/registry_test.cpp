// What regsvr32 writes and removes, key by key. The test run registered the
// module with regsvr32 before this suite started.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/wine/component/wine_support.h"

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
  EXPECT_EQ(Value(L"Interface\\{D0B556C8-975C-4D36-B855-0DD1AB0B6255}\\TypeLib"), kLibId);
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

}  // namespace
}  // namespace mirdane::wine_test
