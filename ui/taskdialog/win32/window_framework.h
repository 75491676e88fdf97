// A small window framework: a C++ object over a window handle, with one
// message dispatcher per class, for subclassed controls and modal dialogs
// built from an in-memory template. Notifications that a dialog does not
// handle itself go back to the control that sent them as reflected messages
// (the message number plus 0x2000), so that each control draws itself.
#pragma once

#include <windows.h>

namespace mirdane::taskdialog::win32 {

// The offset of a reflected notification.
inline constexpr UINT kReflectedBase = 0x2000;

// A window handle with the virtual operations of a framework window.
class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd() = default;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  HWND m_hWnd = nullptr;
};

// A platform control subclassed by a C++ object.
class CWindowImpl : public CWnd {
 public:
  // Handles one message; true when it did, with its result in `result`.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
  ~CWindowImpl() override;
  // The window procedure that dispatches to this object.
  virtual WNDPROC GetWindowProc();
  // Called after the window's last message; the object may delete itself.
  virtual void OnFinalMessage(HWND window);

  // Routes `window`'s messages through this object; false when it fails.
  bool SubclassWindow(HWND window);
  // Gives the window back its own procedure.
  void UnsubclassWindow();

 protected:
  // The control's own procedure, the one in place before subclassing.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  WNDPROC original_ = nullptr;
};

// A modal dialog run from a template in memory.
class CDialogImpl : public CWnd {
 public:
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) = 0;
  ~CDialogImpl() override = default;
  virtual DLGPROC GetDialogProc();
  virtual void OnFinalMessage(HWND window);

  // Runs the dialog; the value it ended with, or -1 when it could not run.
  INT_PTR DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner);
  BOOL EndDialog(INT_PTR result) { return ::EndDialog(m_hWnd, result); }
  // S_OK, or the failure that ended the last run: an exception thrown while
  // it handled a message (E_OUTOFMEMORY, E_UNEXPECTED), whatever it ended with.
  ::HRESULT failure() const { return failure_; }
  // Ends the dialog of `control` with `failure`, when it is one of these dialogs.
  static void FailDialogOf(HWND control, ::HRESULT failure);

 protected:
  // Keeps the first failure and ends the dialog.
  void Fail(::HRESULT failure);

  // Sends a control's notification back to the control as a reflected
  // message; true when the control answered it.
  bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  ::HRESULT failure_ = S_OK;
};

}  // namespace mirdane::taskdialog::win32
