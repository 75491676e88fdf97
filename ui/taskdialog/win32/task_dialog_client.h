// The task dialog's front end: the caller fills one TASKDIALOGCONFIG, runs
// it modally and reads back the button that closed it. The platform's
// TaskDialogIndirect shows it where comctl32 offers it; the emulation
// everywhere else, with the same results.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>

namespace mirdane::taskdialog::win32 {

class ApplicationFrame;

class CXTaskDialogMFCClient {
 public:
  // A dialog owned by `parent`, or by the application's main window when none.
  explicit CXTaskDialogMFCClient(HWND parent = nullptr);
  CXTaskDialogMFCClient(const CXTaskDialogMFCClient&) = delete;
  CXTaskDialogMFCClient& operator=(const CXTaskDialogMFCClient&) = delete;
  virtual ~CXTaskDialogMFCClient() = default;

  // The dialog's window while it shows (from its first notification to its
  // last), else null.
  HWND hwnd() const { return window_; }

  // The notifications of the dialog; this class does nothing with them.
  virtual void OnDialogConstructed() {}
  virtual void OnCreated() {}
  // True keeps the dialog open.
  virtual bool OnButtonClicked(int /*buttonId*/) { return false; }
  virtual void OnRadioButtonClicked(int /*radioButtonId*/) {}
  virtual void OnHyperlinkClicked(const std::wstring& /*address*/) {}
  virtual void OnExpandoButtonClicked(bool /*expanded*/) {}
  virtual void OnVerificationClicked(bool /*checked*/) {}
  // Passes the request for help on to the owner as WM_HELP.
  virtual void OnHelp();
  // True resets the time base of the next tick.
  virtual bool OnTimer(DWORD /*milliseconds*/) { return false; }
  virtual void OnNavigated() {}
  virtual void OnDestroyed() {}

  // dwFlags without `remove`, with `add`.
  void ModifyFlags(DWORD remove, DWORD add);
  // The main icon becomes the module's icon resource `id`.
  void SetMainIcon(WORD id);
  // Copies the title (a text, or a string id of the module).
  void SetWindowTitle(const wchar_t* title);
  // Copies the main instruction; a help prompt id of 0 leaves the owner's context alone.
  void SetMainInstruction(const wchar_t* instruction, UINT helpPromptId = 0);
  // The buttons must stay alive until DoModal returns; a default id of 0 keeps the default.
  void SetButtons(const TASKDIALOG_BUTTON* buttons, UINT count, int defaultButtonId = 0);
  void SetDefaultButton(int buttonId);

  // Shows the dialog: the platform's, else the emulation. A handler above
  // that throws ends the dialog: E_OUTOFMEMORY for std::bad_alloc, else
  // E_UNEXPECTED, with nothing selected.
  ::HRESULT DoModal();
  // The platform's dialog only; a failure when comctl32 has none.
  ::HRESULT ShowNative();
  // The emulation only.
  ::HRESULT ShowEmulated();

  int GetSelectedButton() const { return selectedButton_; }
  int GetSelectedRadioButton() const { return selectedRadioButton_; }
  bool GetVerificationChecked() const { return verificationChecked_ != FALSE; }

  // Every other field of the configuration, for callers that need them.
  TASKDIALOGCONFIG& Config() { return config_; }
  UINT HelpPromptId() const { return helpPromptId_; }

  static ::HRESULT CALLBACK TaskDialogCallback(HWND window, UINT notification, WPARAM wParam,
                                               LPARAM lParam, LONG_PTR data);

 private:
  using TaskDialogIndirectFunction = ::HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*,
                                                        BOOL*);
  ::HRESULT RunModal(TaskDialogIndirectFunction native);
  // RunModal's dialog, owned by the window the owner rule picks.
  ::HRESULT RunOwned(TaskDialogIndirectFunction native, ApplicationFrame& application);
  // Calls the handler of one notification.
  ::HRESULT Dispatch(HWND window, UINT notification, WPARAM wParam, LPARAM lParam);
  void CopyText(std::size_t slot, const wchar_t* text, PCWSTR& field);

  HWND window_ = nullptr;
  TASKDIALOGCONFIG config_{};
  std::array<std::wstring, 8> texts_;
  int selectedButton_ = 0;
  int selectedRadioButton_ = 0;
  BOOL verificationChecked_ = FALSE;
  UINT helpPromptId_ = 0;
  ::HRESULT handlerFailure_ = S_OK;  // what a handler threw during the last run
};

}  // namespace mirdane::taskdialog::win32
