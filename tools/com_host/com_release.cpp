#include "tools/com_host/com_release.h"

#include "base/system_message.h"
#include "base/text.h"
#include "host/batch/batch_release_data.h"
#include "tools/com_host/automation_host.h"
#include "tools/com_host/script_client.h"
#include "win32/dispatch_call.h"

namespace mirdane::hostcom {
namespace {

using win32::ComPtr;
using win32::DispatchArg;
using win32::DispatchObject;

// Calls a script method that answers a KfxReturnValue.
::HRESULT CallScript(DispatchObject& script, const wchar_t* name, kfx::KfxReturnValue* outcome) {
  LONG value = kfx::KFX_REL_ERROR;
  const ::HRESULT answer = hostcom::CallScript(script, name, &value);
  if (SUCCEEDED(answer)) *outcome = static_cast<kfx::KfxReturnValue>(value);
  return answer;
}

}  // namespace

ComReleaseOutcome ReleaseDocumentsThroughCom(const batch::BatchFile& file, batch::HostLog& log,
                                             const batch::ReleaseHooks& hooks) {
  return ReleaseDocumentsThroughCom(file, batch::DocumentsOf(file), log, hooks);
}

ComReleaseOutcome ReleaseDocumentsThroughCom(const batch::BatchFile& file,
                                             const batch::DocumentSource& documents,
                                             batch::HostLog& log,
                                             const batch::ReleaseHooks& hooks) {
  ComReleaseOutcome outcome;
  win32::ScopedComInit com;
  if (FAILED(com.result())) {
    outcome.error = DescribeFailure("COM could not be initialised", com.result());
    return outcome;
  }
  DispatchObject script;
  outcome.error = CreateScript(kReleaseScriptProgId, &script);
  if (!outcome.error.empty()) return outcome;
  kfx::KfxReturnValue result = kfx::KFX_REL_SUCCESS;
  bool opened = false;
  // Each document's turn; false (with the outcome's error set) ends the batch.
  const auto release = [&](const batch::DocumentRecord& document) {
    if (hooks.before) hooks.before(document);
    ComPtr<IDispatch> data =
        ComPtr<IDispatch>::Attach(ExposeReleaseData(batch::MakeReleaseData(file, document, log)));
    if (!data) {
      outcome.error = "out of memory";
      return false;
    }
    if (const ::HRESULT r = script.PutRef(L"DocumentData", DispatchArg::Object(data.get()));
        FAILED(r)) {
      outcome.error = DescribeFailure("the release script refused its DocumentData", r);
      return false;
    }
    if (!opened) {
      if (const ::HRESULT r = CallScript(script, L"OpenScript", &result); FAILED(r)) {
        outcome.error = DescribeFailure("OpenScript failed", r);
        return false;
      }
      opened = true;
    }
    result = kfx::KFX_REL_ERROR;
    if (const ::HRESULT r = CallScript(script, L"ReleaseDoc", &result); FAILED(r)) {
      outcome.error = DescribeFailure("ReleaseDoc failed", r);
      return false;
    }
    if (result == kfx::KFX_REL_SUCCESS) ++outcome.released;
    if (hooks.after) hooks.after(document, result);
    return true;
  };
  documents(release);
  if (!outcome.error.empty()) return outcome;
  if (!opened) CallScript(script, L"OpenScript", &result);
  CallScript(script, L"CloseScript", &result);
  return outcome;
}

}  // namespace mirdane::hostcom
