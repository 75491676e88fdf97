#include "ui/taskdialog/win32/window_framework.h"

#include "win32/window.h"

namespace mirdane::taskdialog::win32 {
namespace {

// The properties under which a subclassed control and a dialog keep their objects.
constexpr wchar_t kObjectProperty[] = L"mirdane.taskdialog.window";
constexpr wchar_t kDialogProperty[] = L"mirdane.taskdialog.dialog";

using ::mirdane::win32::Guarded;

}  // namespace

CWindowImpl::~CWindowImpl() { UnsubclassWindow(); }

WNDPROC CWindowImpl::GetWindowProc() { return &CWindowImpl::WindowProc; }

void CWindowImpl::OnFinalMessage(HWND) {}

bool CWindowImpl::SubclassWindow(HWND window) {
  if (window == nullptr || m_hWnd != nullptr) return false;
  if (!SetPropW(window, kObjectProperty, this)) return false;
  m_hWnd = window;
  original_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc())));
  if (original_ == nullptr) {
    RemovePropW(window, kObjectProperty);
    m_hWnd = nullptr;
    return false;
  }
  return true;
}

void CWindowImpl::UnsubclassWindow() {
  if (m_hWnd == nullptr) return;
  SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  RemovePropW(m_hWnd, kObjectProperty);
  m_hWnd = nullptr;
}

LRESULT CWindowImpl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(original_, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWindowImpl::WindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  auto* self = static_cast<CWindowImpl*>(GetPropW(window, kObjectProperty));
  if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  // A handler that throws leaves the message to the control's own procedure
  // and ends the dialog around the control with the failure.
  const bool handled =
      message != WM_NCDESTROY &&
      Guarded([&] { return self->ProcessWindowMessage(window, message, wParam, lParam, result); },
              [window](::HRESULT failure) {
                CDialogImpl::FailDialogOf(window, failure);
                return false;
              });
  if (handled) return result;
  result = self->DefWindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->UnsubclassWindow();
    Guarded([&] { self->OnFinalMessage(window); }, [](::HRESULT) {});
  }
  return result;
}

DLGPROC CDialogImpl::GetDialogProc() { return &CDialogImpl::DialogProc; }

void CDialogImpl::OnFinalMessage(HWND) {}

INT_PTR CDialogImpl::DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate,
                                     HWND owner) {
  failure_ = S_OK;
  return DialogBoxIndirectParamW(instance, dialogTemplate, owner, GetDialogProc(),
                                 reinterpret_cast<LPARAM>(this));
}

void CDialogImpl::Fail(::HRESULT failure) {
  if (SUCCEEDED(failure_)) failure_ = failure;
  if (m_hWnd != nullptr) ::EndDialog(m_hWnd, IDCANCEL);
}

void CDialogImpl::FailDialogOf(HWND control, ::HRESULT failure) {
  HWND dialog = control != nullptr ? GetParent(control) : nullptr;
  auto* self = dialog != nullptr ? static_cast<CDialogImpl*>(GetPropW(dialog, kDialogProperty))
                                 : nullptr;
  if (self != nullptr) self->Fail(failure);
}

bool CDialogImpl::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) {
  HWND control = nullptr;
  switch (message) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      control = reinterpret_cast<HWND>(lParam);
      break;
    case WM_DRAWITEM:
      if (wParam != 0) control = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    case WM_NOTIFY:
      control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    default:
      return false;
  }
  if (control == nullptr || !IsWindow(control)) return false;
  result = SendMessageW(control, message + kReflectedBase, wParam, lParam);
  return result != 0;
}


INT_PTR CALLBACK CDialogImpl::DialogProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  CDialogImpl* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialogImpl*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    SetPropW(window, kDialogProperty, self);
    self->m_hWnd = window;
  } else {
    self = reinterpret_cast<CDialogImpl*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  LRESULT result = 0;
  // A handler that throws leaves the message to the dialog manager, and the
  // dialog ends with the failure.
  const bool handled =
      Guarded([&] { return self->ProcessWindowMessage(window, message, wParam, lParam, result); },
              [self](::HRESULT failure) {
                self->Fail(failure);
                return false;
              });
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kDialogProperty);
    SetWindowLongPtrW(window, DWLP_USER, 0);
    self->m_hWnd = nullptr;
    Guarded([&] { self->OnFinalMessage(window); }, [](::HRESULT) {});
  }
  if (!handled) return FALSE;
  if (::mirdane::win32::DialogAnswersDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace mirdane::taskdialog::win32
