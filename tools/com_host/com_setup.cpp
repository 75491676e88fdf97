#include "tools/com_host/com_setup.h"

#include <memory>

#include "base/system_message.h"
#include "base/text.h"
#include "host/batch/batch_setup_data.h"
#include "tools/com_host/automation_host.h"
#include "tools/com_host/script_client.h"
#include "win32/dispatch_call.h"

namespace mirdane::hostcom {
namespace {

using win32::ComPtr;
using win32::DispatchArg;
using win32::DispatchObject;

}  // namespace

ComSetupOutcome RunSetupThroughCom(const batch::BatchFile& file) {
  ComSetupOutcome outcome;
  win32::ScopedComInit com;
  if (FAILED(com.result())) {
    outcome.error = DescribeFailure("COM could not be initialised", com.result());
    return outcome;
  }
  DispatchObject script;
  outcome.error = CreateScript(kSetupScriptProgId, &script);
  if (!outcome.error.empty()) return outcome;
  auto data = std::make_shared<batch::BatchSetupData>(file);
  ComPtr<IDispatch> exposed = ComPtr<IDispatch>::Attach(ExposeReleaseSetupData(data));
  if (!exposed) {
    outcome.error = "out of memory";
    return outcome;
  }
  if (const ::HRESULT r = script.PutRef(L"SetupData", DispatchArg::Object(exposed.get()));
      FAILED(r)) {
    outcome.error = DescribeFailure("the setup script refused its SetupData", r);
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
      outcome.error = DescribeFailure((std::string(step.name) + " failed").c_str(), r);
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
