// The data-access library cannot start on the thread that loads the module
// (its COM apartment is of the other kind): the module still loads, and every
// release fails with a message naming the cause.
#include <gtest/gtest.h>

#include <thread>

#include "tests/wine/component/wine_support.h"
#include "host/com/automation_host.h"

namespace mirdane::wine_test {
namespace {

using win32::DispatchArg;
using win32::DispatchObject;

TEST(StartFailure, TheModuleLoadsAndEveryReleaseSaysWhy) {
  auto data = std::make_shared<RecordingReleaseData>();
  LONG first = 99, second = 99;
  bool created = false;
  // A thread in the multithreaded apartment loads the module first.
  std::thread loader([&] {
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
      auto object = CreateByProgId(L"mirdane.LorvenExportConnector");
      created = static_cast<bool>(object);
      if (object) {
        DispatchObject script(object);
        auto host = win32::ComPtr<IDispatch>::Attach(hostcom::ExposeReleaseData(data));
        script.PutRef(L"DocumentData", DispatchArg::Object(host.get()));
        for (LONG* result : {&first, &second}) {
          win32::UniqueVariant value;
          script.Call(L"ReleaseDoc", {}, &value);
          win32::LongOf(*value.get(), result);
        }
      }
    }
    ::CoUninitialize();
  });
  loader.join();
  ASSERT_TRUE(created) << "the module must load although its start-up failed";
  EXPECT_EQ(first, KFX_REL_ERROR);
  EXPECT_EQ(second, KFX_REL_ERROR);
  ASSERT_EQ(data->log.size(), 2u);
  for (const auto& line : data->log) {
    const std::string text = Narrow(line.message);
    EXPECT_EQ(text.rfind("Error in ReleaseDoc: The dbAx Library failed to initialize", 0), 0u)
        << text;
    EXPECT_NE(text.find("Source: AxLibInit - COM Initialization."), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace mirdane::wine_test
