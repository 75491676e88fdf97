// The module's own exports as COM uses them: when may it be unloaded?
#include <gtest/gtest.h>

#include "tests/wine/component/wine_support.h"

namespace mirdane::wine_test {
namespace {

using win32::ComPtr;
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The module as COM loaded it into this process.
HMODULE LoadedModule() {
  auto keep = CreateByProgId(L"mirdane.LorvenExportConnector");
  return ::GetModuleHandleW(ModulePath().c_str());
}

TEST(Module, CanBeUnloadedOnlyWhenNoObjectOrLockIsAlive) {
  HMODULE module = LoadedModule();
  ASSERT_TRUE(module);
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_TRUE(canUnloadNow);
  EXPECT_EQ(canUnloadNow(), S_OK) << "nothing alive";

  {
    auto release = CreateByProgId(L"mirdane.LorvenExportConnector");
    auto setup = CreateByProgId(L"mirdane.CppdSetupScript");
    ASSERT_TRUE(release && setup);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    release.reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the setup script is still alive";
  }
  EXPECT_EQ(canUnloadNow(), S_OK);

  CLSID clsid{};
  ASSERT_EQ(::CLSIDFromProgID(L"mirdane.CppdSetupScript", &clsid), S_OK);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.put_void()),
            S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "a client holds a class object";
  ASSERT_EQ(factory->LockServer(TRUE), S_OK);
  factory.reset();
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "a server lock";
  ASSERT_EQ(::CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.put_void()),
            S_OK);
  ASSERT_EQ(factory->LockServer(FALSE), S_OK);
  factory.reset();
  EXPECT_EQ(canUnloadNow(), S_OK);
}

TEST(Module, AnswersOnlyForItsOwnClasses) {
  HMODULE module = LoadedModule();
  ASSERT_TRUE(module);
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
  ASSERT_TRUE(getClassObject);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(getClassObject(CLSID_LorvenExportConnector, IID_IDispatch, &object), E_NOINTERFACE);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(getClassObject(CLSID_LorvenExportConnector, IID_IClassFactory, factory.put_void()),
            S_OK);
  EXPECT_TRUE(factory);
}

TEST(Module, CarriesItsVersionAndStrings) {
  HMODULE module = LoadedModule();
  ASSERT_TRUE(module);
  wchar_t text[256] = {};
  EXPECT_GT(::LoadStringW(module, 11003, text, 256), 0);
  EXPECT_STREQ(text, L"Lorven Setup");
  EXPECT_GT(::LoadStringW(module, 11011, text, 256), 0);
  EXPECT_STREQ(text, L"Required field not Mapped");
  EXPECT_GT(::LoadStringW(module, 11014, text, 256), 0);
  EXPECT_STREQ(text, L"Ignore Requirement\nDo not map the Required fields and close this dialog immediately.");
  for (UINT id = 11002; id <= 11014; ++id) {
    EXPECT_GT(::LoadStringW(module, id, text, 256), 0) << "string " << id;
  }
  EXPECT_TRUE(::FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)))
      << "the comctl32 v6 manifest";
  EXPECT_TRUE(::FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"));
  for (UINT id : {11000u, 11001u, 11002u}) {
    EXPECT_TRUE(::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY")) << "script " << id;
  }

  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(ModulePath().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(ModulePath().c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
  wchar_t* name = nullptr;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\OriginalFilename",
                               reinterpret_cast<void**>(&name), &length));
  EXPECT_STREQ(name, L"mirdane.dll");
}

}  // namespace
}  // namespace mirdane::wine_test
