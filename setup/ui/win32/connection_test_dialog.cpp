#include "setup/ui/win32/connection_test_dialog.h"

#include <objbase.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>

#include "dbax/provider/secret_scrubber.h"
#include "setup/ui/win32/owner_placement.h"
#include "ui/win32/ui_text.h"
#include "ui/taskdialog/win32/task_dialog_client.h"
#include "win32/kernel_handles.h"

namespace mirdane::ui {
namespace {

using bridge::ConnectionTestResult;
using Outcome = ConnectionTestResult::Outcome;

constexpr WORD kWarningIcon = 11020;
constexpr WORD kErrorIcon = 11023;
constexpr WORD kInformationIcon = 11024;
// The marquee's step time, in milliseconds.
constexpr UINT kMarqueeSpeed = 30;

// What the page and its worker share. The worker writes `result` and then
// sets `done`; the page reads `result` only after seeing `done`. Either
// side may be the last to let go of it: an abandoned worker runs on alone.
struct ConnectionTestJob {
  bridge::ConnectionTestSettings settings;
  ConnectionTestResult result;
  std::atomic<bool> done{false};
};

struct WorkerStart {
  std::shared_ptr<ConnectionTestJob> job;
  HMODULE module = nullptr;  // a reference of its own, so that the code stays loaded
};

// The worker touches no window: it connects, checks and says it is done.
// It has its own apartment and its own ODBC handles, and keeps the module
// loaded until it has returned, even when the sheet (and the host's use of
// the module) ended long before.
DWORD WINAPI ConnectionTestWorker(void* parameter) {
  HMODULE module = nullptr;
  {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    module = start->module;
    const ::HRESULT apartment = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
      start->job->result = bridge::TestConnection(start->job->settings);
    } catch (...) {
      start->job->result = {Outcome::kNoConnection, u"The connection could not be tested", u""};
    }
    start->job->done.store(true, std::memory_order_release);
    if (SUCCEEDED(apartment)) ::CoUninitialize();
  }
  ::FreeLibraryAndExitThread(module, 0);
}

// Starts the worker; false when no thread could be made.
bool StartWorker(const std::shared_ptr<ConnectionTestJob>& job) {
  auto start = std::make_unique<WorkerStart>();
  start->job = job;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&ConnectionTestWorker), &start->module)) {
    return false;
  }
  const HMODULE module = start->module;
  win32::UniqueHandle thread(
      ::CreateThread(nullptr, 0, &ConnectionTestWorker, start.get(), 0, nullptr));
  if (!thread) {
    ::FreeLibrary(module);
    return false;
  }
  start.release();  // the worker's now
  return true;
}

// The dialog that waits: a marquee, Cancel, and a look at the worker on
// every tick. The dialog's own message loop keeps the sheet painted.
class WaitingDialog final : public taskdialog::win32::CXTaskDialogMFCClient {
 public:
  WaitingDialog(HWND owner, std::shared_ptr<ConnectionTestJob> job)
      : CXTaskDialogMFCClient(owner), job_(std::move(job)) {}

  // Whether the worker finished while the dialog showed (else it was cancelled).
  bool finished() const { return finished_; }

  void OnCreated() override {
    CentreOnOwner(hwnd());
    ::SendMessageW(hwnd(), TDM_SET_PROGRESS_BAR_MARQUEE, TRUE, kMarqueeSpeed);
    Look();
  }
  bool OnTimer(DWORD) override {
    Look();
    return false;
  }
  bool OnButtonClicked(int) override { return false; }

 private:
  void Look() {
    if (finished_ || !job_->done.load(std::memory_order_acquire)) return;
    finished_ = true;
    // Posted: the dialog closes from its own loop, not inside this notification.
    ::PostMessageW(hwnd(), TDM_CLICK_BUTTON, IDCANCEL, 0);
  }

  std::shared_ptr<ConnectionTestJob> job_;
  bool finished_ = false;
};

class ResultDialog final : public taskdialog::win32::CXTaskDialogMFCClient {
 public:
  using CXTaskDialogMFCClient::CXTaskDialogMFCClient;
  void OnCreated() override { CentreOnOwner(hwnd()); }
};

void ShowResult(HWND owner, const ConnectionTestResult& result) {
  ResultDialog dialog(owner);
  dialog.SetWindowTitle(kConnectionTestTitle);
  dialog.SetMainIcon(result.outcome == Outcome::kWorks      ? kInformationIcon
                     : result.outcome == Outcome::kWarnings ? kWarningIcon
                                                            : kErrorIcon);
  dialog.SetMainInstruction(Wide(result.instruction));
  const std::u16string details = result.details;
  dialog.Config().pszContent = Wide(details);
  dialog.Config().dwCommonButtons = TDCBF_OK_BUTTON;
  dialog.ModifyFlags(0, TDF_ALLOW_DIALOG_CANCELLATION);
  dialog.DoModal();
}

}  // namespace

void RunConnectionTest(HWND owner, const bridge::ConnectionTestSettings& settings) {
  auto job = std::make_shared<ConnectionTestJob>();
  job->settings = settings;
  if (!StartWorker(job)) {
    ShowResult(owner, {Outcome::kNoConnection, u"The connection could not be tested",
                       u"No thread could be started for the test."});
    return;
  }
  WaitingDialog waiting(owner, job);
  waiting.SetWindowTitle(kTestingConnectionTitle);
  waiting.SetMainInstruction(L"Testing the connection\x2026");
  std::u16string where = u"Connecting to " + dbAx::provider::MaskPasswords(settings.server);
  if (!settings.userName.empty()) where += u" as " + settings.userName;
  where += u", and checking the bridge tables in " + settings.library;
  where += settings.releaseLedger ? u" and the release ledger." : u".";
  waiting.Config().pszContent = Wide(where);
  waiting.Config().dwCommonButtons = TDCBF_CANCEL_BUTTON;
  waiting.ModifyFlags(0, TDF_SHOW_MARQUEE_PROGRESS_BAR | TDF_CALLBACK_TIMER |
                             TDF_ALLOW_DIALOG_CANCELLATION);
  waiting.DoModal();
  // Cancel, Escape or closing leave the worker to finish on its own; its
  // result is not wanted any more.
  if (!waiting.finished()) return;
  ShowResult(owner, job->result);
}

}  // namespace mirdane::ui
