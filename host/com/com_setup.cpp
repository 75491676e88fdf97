#include "host/com/com_setup.h"

#include <memory>

#include "base/system_message.h"
#include "base/text.h"
#include "host/batch/batch_setup_data.h"
#include "host/com/automation_host.h"
#include "win32/dispatch_call.h"

namespace mirdane::hostcom {
namespace {

using win32::ComPtr;
using win32::DispatchArg;
using win32::DispatchObject;

std::string Describe(const char* what, ::HRESULT result) {
  return std::string(what) + ": " + Utf16ToUtf8(HresultText(static_cast<HRESULT>(result)));
}

// Calls a script method that answers a KfxReturnValue; the value in `outcome`.
::HRESULT CallScript(DispatchObject& script, const wchar_t* name, LONG* outcome) {
  win32::UniqueVariant result;
  const ::HRESULT answer = script.Call(name, {}, &result);
  if (FAILED(answer)) return answer;
  return win32::LongOf(*result.get(), outcome);
}

}  // namespace

ComSetupOutcome RunSetupThroughCom(const batch::BatchFile& file) {
  ComSetupOutcome outcome;
  win32::ScopedComInit com;
  if (FAILED(com.result())) {
    outcome.error = Describe("COM could not be initialised", com.result());
    return outcome;
  }
  CLSID clsid{};
  if (const ::HRESULT r = ::CLSIDFromProgID(kSetupScriptProgId, &clsid); FAILED(r)) {
    outcome.error = Describe(
        "the setup script mirdane.CppdSetupScript is not registered (regsvr32 mirdane.dll)", r);
    return outcome;
  }
  ComPtr<IDispatch> created;
  if (const ::HRESULT r = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                             created.put_void());
      FAILED(r)) {
    outcome.error = Describe("the setup script mirdane.CppdSetupScript cannot be created", r);
    return outcome;
  }
  DispatchObject script(created);
  auto data = std::make_shared<batch::BatchSetupData>(file);
  ComPtr<IDispatch> exposed = ComPtr<IDispatch>::Attach(ExposeReleaseSetupData(data));
  if (!exposed) {
    outcome.error = "out of memory";
    return outcome;
  }
  if (const ::HRESULT r = script.PutRef(L"SetupData", DispatchArg::Object(exposed.get()));
      FAILED(r)) {
    outcome.error = Describe("the setup script refused its SetupData", r);
    return outcome;
  }
  struct Step {
    const wchar_t* member;
    const char* name;
  };
  for (const Step step : {Step{L"OpenScript", "OpenScript"}, Step{L"RunUI", "RunUI"},
                          Step{L"CloseScript", "CloseScript"}}) {
    LONG result = 0;
    if (const ::HRESULT r = CallScript(script, step.member, &result); FAILED(r)) {
      outcome.error = Describe((std::string(step.name) + " failed").c_str(), r);
      return outcome;
    }
    if (result != 0) {
      outcome.error = std::string(step.name) + " answered KfxReturnValue " + std::to_string(result);
      return outcome;
    }
  }
  // Apply writes the file; it counts only what was written.
  outcome.applied = data->applyCount() > 0;
  if (!outcome.applied) outcome.error = data->applyError();
  return outcome;
}

}  // namespace mirdane::hostcom
