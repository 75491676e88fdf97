#include "win32/window.h"

#include <commctrl.h>

#include <new>

namespace mirdane::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// The question "which object subclassed you?", with a wParam that no other
// window procedure would send with it.
constexpr WPARAM kObjectQueryCookie = 0x6D697264;  // "mird"
UINT ObjectQueryMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"mirdane.win32.SubclassWindow");
  return message;
}

}  // namespace

// Messages whose answer a dialog procedure returns itself rather than
// through DWLP_MSGRESULT.
bool DialogAnswersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
      return true;
    default:
      return false;
  }
}

LRESULT WindowBase::Default() {
  if (!current_) return 0;
  defaulted_ = true;
  defaultResult_ = DefaultProcessing(*current_);
  return defaultResult_;
}

bool WindowBase::Dispatch(const Message& message, LRESULT* result, bool* defaulted) {
  // Handlers may send messages to their own window: keep the outer state.
  const Message* outer = current_;
  const bool outerDefaulted = defaulted_;
  current_ = &message;
  defaulted_ = false;
  // A handler that throws answers nothing; the window hears of the failure.
  const bool found = Guarded([&] { return HandleMessage(message, result); },
                             [this](::HRESULT failure) {
                               Guarded([&] { OnHandlerFailure(failure); }, [](::HRESULT) {});
                               return false;
                             });
  *defaulted = defaulted_;
  current_ = outer;
  defaulted_ = outerDefaulted;
  return found;
}

bool WindowBase::Answer(const Message& message, LRESULT* result) {
  bool defaulted = false;
  return Dispatch(message, result, &defaulted) && !defaulted;
}

LRESULT WindowBase::Route(const Message& message, bool* handled) {
  LRESULT result = 0;
  bool defaulted = false;
  const bool found = Dispatch(message, &result, &defaulted);
  // A handler that called Default() has the default's answer already.
  if (!found) result = DefaultProcessing(message);
  *handled = found && !defaulted;
  return result;
}

// --- windows of our own classes -------------------------------------------------

CustomWindow::~CustomWindow() {
  if (!hwnd_) return;
  // The derived object is gone: its window must not reach it any more.
  ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  ::DestroyWindow(std::exchange(hwnd_, nullptr));
}

HWND CustomWindow::Create(const wchar_t* className, HINSTANCE instance, HWND parent, DWORD style,
                          DWORD exStyle, const RECT& rect, int id, const wchar_t* text) {
  return ::CreateWindowExW(exStyle, className, text, style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
}

LRESULT CALLBACK CustomWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  CustomWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    self = static_cast<CustomWindow*>(create->lpCreateParams);
    if (self) {
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<CustomWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  bool handled = false;
  const LRESULT result = self->Route(Message{message, wParam, lParam}, &handled);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    Guarded([self] { self->OnFinalMessage(); }, [](HRESULT) {});
  }
  return result;
}

LRESULT CustomWindow::DefaultProcessing(const Message& message) {
  return ::DefWindowProcW(hwnd_, message.id, message.wParam, message.lParam);
}

// --- dialogs ---------------------------------------------------------------------

DialogWindow::~DialogWindow() {
  if (!hwnd_) return;
  ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
  ::DestroyWindow(std::exchange(hwnd_, nullptr));
}

HWND DialogWindow::CreateIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate,
                                  HWND parent) {
  modal_ = false;
  return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogWindow::RunModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate,
                                       HWND owner) {
  modal_ = true;
  failure_ = S_OK;
  const INT_PTR ended = ::DialogBoxIndirectParamW(instance, dialogTemplate, owner, DialogProc,
                                                  reinterpret_cast<LPARAM>(this));
  modal_ = false;
  return ended;
}

DialogWindow* DialogWindow::FromHandle(HWND window) {
  // Only a dialog of this class has its object in DWLP_USER.
  if (!window || ::GetWindowLongPtrW(window, DWLP_DLGPROC) !=
                     reinterpret_cast<LONG_PTR>(&DialogWindow::DialogProc)) {
    return nullptr;
  }
  return reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
}

void DialogWindow::OnHandlerFailure(::HRESULT failure) {
  if (!modal_) return;
  if (SUCCEEDED(failure_)) failure_ = failure;
  if (hwnd_) ::EndDialog(hwnd_, IDCANCEL);
}

LRESULT DialogWindow::DefaultProcessing(const Message&) { return 0; }

bool DialogWindow::Reflect(const Message& message, LRESULT* result) {
  HWND control = nullptr;
  switch (message.id) {
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      control = reinterpret_cast<HWND>(message.lParam);
      break;
    case WM_DRAWITEM:
      // wParam 0: a menu's item, not a control's.
      if (message.wParam != 0 && message.lParam)
        control = reinterpret_cast<const DRAWITEMSTRUCT*>(message.lParam)->hwndItem;
      break;
    case WM_NOTIFY:
      if (message.lParam) control = reinterpret_cast<const NMHDR*>(message.lParam)->hwndFrom;
      break;
    default:
      return false;
  }
  SubclassWindow* object = SubclassWindow::FromHandle(control);
  return object && object->AnswerReflected(message, result);
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  DialogWindow* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogWindow*>(lParam);
    if (self) {
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
  } else {
    self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  const Message current{message, wParam, lParam};
  bool handled = false;
  LRESULT result = self->Route(current, &handled);
  if (!handled) handled = Reflect(current, &result);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    Guarded([self] { self->OnFinalMessage(); }, [](HRESULT) {});
  }
  if (!handled) return message == WM_INITDIALOG ? TRUE : FALSE;
  if (DialogAnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

// --- subclassed controls ------------------------------------------------------------

SubclassWindow::~SubclassWindow() { Detach(); }

bool SubclassWindow::Attach(HWND window) {
  Detach();
  if (!window) return false;
  if (!::SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  hwnd_ = window;
  return true;
}

void SubclassWindow::Detach() {
  if (!hwnd_) return;
  ::RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
  hwnd_ = nullptr;
}

SubclassWindow* SubclassWindow::FromHandle(HWND window) {
  // comctl32 exports GetWindowSubclass by ordinal only: the control is asked
  // instead, and only our subclass procedure answers.
  if (!window) return nullptr;
  return reinterpret_cast<SubclassWindow*>(
      ::SendMessageW(window, ObjectQueryMessage(), kObjectQueryCookie, 0));
}

bool SubclassWindow::AnswerReflected(const Message& notification, LRESULT* result) {
  return Answer(Message{kReflectedBase + notification.id, notification.wParam, notification.lParam},
                result);
}

void SubclassWindow::OnHandlerFailure(::HRESULT failure) {
  if (DialogWindow* dialog = DialogWindow::FromHandle(::GetParent(hwnd_)))
    dialog->OnHandlerFailure(failure);
}

LRESULT SubclassWindow::DefaultProcessing(const Message& message) {
  return ::DefSubclassProc(hwnd_, message.id, message.wParam, message.lParam);
}

LRESULT CALLBACK SubclassWindow::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SubclassWindow*>(data);
  if (message == ObjectQueryMessage() && message != 0 && wParam == kObjectQueryCookie)
    return reinterpret_cast<LRESULT>(self);
  bool handled = false;
  const LRESULT result = self->Route(Message{message, wParam, lParam}, &handled);
  if (message == WM_NCDESTROY) {
    self->Detach();
    Guarded([self] { self->OnFinalMessage(); }, [](HRESULT) {});
  }
  return result;
}

}  // namespace mirdane::win32
