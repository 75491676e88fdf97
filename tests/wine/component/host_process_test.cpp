// The module as a guest in a host's long-running process: it works in the
// apartment the host's thread has (of either kind) and leaves it to the host
// to end, it leaves the process's C locale alone, and before it lets itself
// be freed it closes its sessions, on the host's thread and not under the
// loader lock. The run gives this program a bridge database in WAL mode, so
// that an open session shows as the database's -wal file, and a German user
// locale.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "tests/wine/component/wine_support.h"

namespace mirdane::wine_test {
namespace {

bool FileExists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Releases one document on a new thread of apartment `model`, as a host
// thread would, and says whether the thread's apartment ended with the
// host's own CoUninitialize.
void ReleaseOnHostThread(DWORD model, LONG* result, bool* apartmentEnded) {
  std::thread host([&] {
    ASSERT_EQ(::CoInitializeEx(nullptr, model), S_OK);
    {
      auto script = CreateByProgId(L"mirdane.LorvenExportConnector");
      ASSERT_TRUE(script);
      *result = ReleaseOneDocument(script.get(), std::make_shared<RecordingReleaseData>());
    }
    ::CoUninitialize();
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    *apartmentEnded = ::CoGetApartmentType(&type, &qualifier) == CO_E_NOTINITIALIZED;
  });
  host.join();
}

TEST(HostThread, ReleasesInTheHostsApartmentOfEitherKindAndLeavesItToTheHost) {
  for (const DWORD model : {DWORD{COINIT_MULTITHREADED}, DWORD{COINIT_APARTMENTTHREADED}}) {
    LONG result = 99;
    bool ended = false;
    ReleaseOnHostThread(model, &result, &ended);
    EXPECT_EQ(result, KFX_REL_SUCCESS) << "apartment model " << model;
    EXPECT_TRUE(ended) << "the host's CoUninitialize must end its thread's apartment (model "
                       << model << ")";
  }
}

// Formats through msvcrt.dll's own sprintf, as another module of the host does.
std::string FormattedByAnotherModule(double value) {
  using Sprintf = int(__cdecl*)(char*, const char*, ...);
  auto sprintf = reinterpret_cast<Sprintf>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"msvcrt.dll"), "sprintf")));
  char text[64] = {};
  if (sprintf) sprintf(text, "%.2f", value);
  return text;
}

TEST(HostProcess, AnotherModulesFormattingIsLeftAsItWas) {
  ASSERT_EQ(PRIMARYLANGID(LANGIDFROMLCID(::GetUserDefaultLCID())), LANG_GERMAN)
      << "run with a German user locale (LC_ALL=de_DE.UTF-8)";
  ASSERT_EQ(FormattedByAnotherModule(1234.5), "1234.50");
  win32::ScopedComInit com;
  auto script = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(script);
  EXPECT_EQ(ReleaseOneDocument(script.get(), std::make_shared<RecordingReleaseData>()),
            KFX_REL_SUCCESS);
  EXPECT_EQ(FormattedByAnotherModule(1234.5), "1234.50");
}

TEST(HostProcess, FreeingUnusedLibrariesClosesTheSessionsFirstAndUnloadsTheModule) {
  win32::ScopedComInit com;
  const std::wstring wal = BridgeDatabaseFile() + L"-wal";
  auto script = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(script);
  ASSERT_EQ(ReleaseOneDocument(script.get(), std::make_shared<RecordingReleaseData>()),
            KFX_REL_SUCCESS);
  script.reset();
  ASSERT_TRUE(FileExists(wal)) << "the release's session is kept for the next document";

  HMODULE module = ::GetModuleHandleW(ModulePath().c_str());
  ASSERT_TRUE(module);
  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_TRUE(canUnloadNow);
  ASSERT_EQ(canUnloadNow(), S_OK);
  EXPECT_FALSE(FileExists(wal)) << "S_OK while a session is still open";

  ::CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_FALSE(::GetModuleHandleW(ModulePath().c_str())) << "the module was not unloaded";

  // Loaded again, it starts again.
  script = CreateByProgId(L"mirdane.LorvenExportConnector");
  ASSERT_TRUE(script);
  EXPECT_EQ(ReleaseOneDocument(script.get(), std::make_shared<RecordingReleaseData>()),
            KFX_REL_SUCCESS);
}

}  // namespace
}  // namespace mirdane::wine_test
