#include "ui/taskdialog/win32/task_dialog_client.h"

#include "ui/taskdialog/win32/application_frame.h"
#include "ui/taskdialog/win32/module_resources.h"
#include "ui/taskdialog/win32/task_dialog.h"
#include "win32/kernel_handles.h"
#include "win32/modal_owner.h"
#include "win32/window.h"
#include "win32/result.h"

namespace mirdane::taskdialog::win32 {

CXTaskDialogMFCClient::CXTaskDialogMFCClient(HWND parent) {
  config_.cbSize = sizeof(TASKDIALOGCONFIG);
  config_.hwndParent = parent;
  config_.hInstance = ResourceInstance();
  config_.pfCallback = &CXTaskDialogMFCClient::TaskDialogCallback;
  config_.lpCallbackData = reinterpret_cast<LONG_PTR>(this);
}

void CXTaskDialogMFCClient::ModifyFlags(DWORD remove, DWORD add) {
  config_.dwFlags = static_cast<TASKDIALOG_FLAGS>((static_cast<DWORD>(config_.dwFlags) & ~remove) |
                                                  add);
}

void CXTaskDialogMFCClient::SetMainIcon(WORD id) {
  ModifyFlags(TDF_USE_HICON_MAIN, 0);
  config_.pszMainIcon = MAKEINTRESOURCEW(id);
}

void CXTaskDialogMFCClient::CopyText(std::size_t slot, const wchar_t* text, PCWSTR& field) {
  std::wstring& owned = texts_[slot];
  owned.clear();
  if (text != nullptr && IS_INTRESOURCE(text)) {
    // A string id: the text is the module's string.
    std::u16string loaded;
    if (SUCCEEDED(ModuleStrings().FindString(reinterpret_cast<std::uintptr_t>(config_.hInstance),
                                             static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(text)),
                                             loaded)))
      owned.assign(loaded.begin(), loaded.end());
  } else if (text != nullptr) {
    owned = text;
  }
  field = owned.c_str();
}

void CXTaskDialogMFCClient::SetWindowTitle(const wchar_t* title) {
  CopyText(0, title, config_.pszWindowTitle);
}

void CXTaskDialogMFCClient::SetMainInstruction(const wchar_t* instruction, UINT helpPromptId) {
  CopyText(1, instruction, config_.pszMainInstruction);
  helpPromptId_ = helpPromptId;
}

void CXTaskDialogMFCClient::SetButtons(const TASKDIALOG_BUTTON* buttons, UINT count,
                                       int defaultButtonId) {
  config_.pButtons = buttons;
  config_.cButtons = count;
  if (defaultButtonId != 0) config_.nDefaultButton = defaultButtonId;
}

void CXTaskDialogMFCClient::SetDefaultButton(int buttonId) { config_.nDefaultButton = buttonId; }

::HRESULT CXTaskDialogMFCClient::DoModal() {
  handlerFailure_ = S_OK;
  const ::HRESULT native = ShowNative();
  // A handler that threw has been seen on the platform's dialog: the
  // emulation would only ask the same question again.
  if (SUCCEEDED(native) || FAILED(handlerFailure_)) return native;
  return ShowEmulated();
}

::HRESULT CXTaskDialogMFCClient::ShowNative() {
  ::mirdane::win32::UniqueModule library(LoadLibraryW(L"comctl32.dll"));
  if (!library) return ::mirdane::win32::LastErrorResult();
  const auto function = reinterpret_cast<TaskDialogIndirectFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "TaskDialogIndirect")));
  if (function == nullptr) return ::mirdane::win32::LastErrorResult();
  return RunModal(function);
}

::HRESULT CXTaskDialogMFCClient::ShowEmulated() { return RunModal(nullptr); }

::HRESULT CXTaskDialogMFCClient::RunModal(TaskDialogIndirectFunction native) {
  ApplicationFrame& application = ApplicationFrame::Current();
  application.EnableModeless(false);
  const ::HRESULT result = RunOwned(native, application);
  application.EnableModeless(true);
  return result;
}

::HRESULT CXTaskDialogMFCClient::RunOwned(TaskDialogIndirectFunction native,
                                          ApplicationFrame& application) {
  const ::mirdane::win32::ModalOwner modalOwner(config_.hwndParent, application.MainWindow());
  HWND owner = modalOwner.get();
  if (owner != nullptr && modalOwner.disabledTop() != nullptr)
    EnableWindow(owner, TRUE);  // so that the focus comes back to it

  DWORD* promptContext = nullptr;
  DWORD processId = 0;
  if (owner != nullptr) GetWindowThreadProcessId(owner, &processId);
  if (owner != nullptr && processId == GetCurrentProcessId())
    promptContext = reinterpret_cast<DWORD*>(SendMessageW(owner, kHelpPromptAddressMessage, 0, 0));
  if (promptContext == nullptr) promptContext = application.PromptContext();
  const DWORD savedContext = *promptContext;
  if (helpPromptId_ != 0) *promptContext = 0x30000 + helpPromptId_;

  config_.hwndParent = owner;
  handlerFailure_ = S_OK;
  int button = 0;
  int radioButton = 0;
  BOOL verification = FALSE;
  ::HRESULT result = ::mirdane::win32::Guarded(
      [&] {
        if (native != nullptr) return native(&config_, &button, &radioButton, &verification);
        CXTaskDialog dialog;
        return dialog.Run(&config_, &button, &radioButton, &verification);
      },
      [](::HRESULT failure) { return failure; });
  // A handler that threw ended the dialog: that is the dialog's failure,
  // and nothing was chosen.
  if (FAILED(handlerFailure_)) result = handlerFailure_;
  if (SUCCEEDED(result)) {
    selectedButton_ = button;
    selectedRadioButton_ = radioButton;
    verificationChecked_ = verification;
  }

  *promptContext = savedContext;
  return result;
}

void CXTaskDialogMFCClient::OnHelp() {
  HELPINFO help{};
  help.cbSize = sizeof help;
  help.iContextType = HELPINFO_WINDOW;
  help.hItemHandle = window_;
  GetCursorPos(&help.MousePos);
  SendMessageW(config_.hwndParent, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}

::HRESULT CALLBACK CXTaskDialogMFCClient::TaskDialogCallback(HWND window, UINT notification,
                                                             WPARAM wParam, LPARAM lParam,
                                                             LONG_PTR data) {
  auto* self = reinterpret_cast<CXTaskDialogMFCClient*>(data);
  if (self == nullptr) return S_OK;
  // A handler that throws gets the notification's default answer and ends
  // the dialog; DoModal then returns the failure.
  return ::mirdane::win32::Guarded(
      [&] { return self->Dispatch(window, notification, wParam, lParam); },
      [&](::HRESULT failure) {
        if (SUCCEEDED(self->handlerFailure_)) self->handlerFailure_ = failure;
        if (notification == TDN_DESTROYED) self->window_ = nullptr;
        else if (window != nullptr) EndDialog(window, IDCANCEL);
        return S_OK;
      });
}

::HRESULT CXTaskDialogMFCClient::Dispatch(HWND window, UINT notification, WPARAM wParam,
                                          LPARAM lParam) {
  switch (notification) {
    case TDN_DIALOG_CONSTRUCTED:
      window_ = window;
      OnDialogConstructed();
      break;
    case TDN_CREATED: OnCreated(); break;
    case TDN_BUTTON_CLICKED:
      return OnButtonClicked(static_cast<int>(wParam)) ? S_FALSE : S_OK;
    case TDN_RADIO_BUTTON_CLICKED: OnRadioButtonClicked(static_cast<int>(wParam)); break;
    case TDN_HYPERLINK_CLICKED:
      OnHyperlinkClicked(lParam != 0 ? std::wstring(reinterpret_cast<const wchar_t*>(lParam))
                                     : std::wstring());
      break;
    case TDN_EXPANDO_BUTTON_CLICKED: OnExpandoButtonClicked(wParam != 0); break;
    case TDN_VERIFICATION_CLICKED: OnVerificationClicked(wParam != 0); break;
    case TDN_HELP: OnHelp(); break;
    case TDN_TIMER: return OnTimer(static_cast<DWORD>(wParam)) ? S_FALSE : S_OK;
    case TDN_NAVIGATED: OnNavigated(); break;
    case TDN_DESTROYED:
      OnDestroyed();
      window_ = nullptr;
      break;
    default: break;
  }
  return S_OK;
}

}  // namespace mirdane::taskdialog::win32
