#include "win32/window.h"

#include <commctrl.h>

#include <new>

namespace mirdane::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;

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

LRESULT WindowBase::Route(HWND, const Message& message, bool* handled) {
  // Handlers may send messages to their own window: keep the outer state.
  const Message* outer = current_;
  const bool outerDefaulted = defaulted_;
  current_ = &message;
  defaulted_ = false;
  LRESULT result = 0;
  // A handler that throws leaves the message to its default processing.
  const bool found = Guarded([&] { return HandleMessage(message, &result); },
                             [](HRESULT) { return false; });
  if (!found) result = DefaultProcessing(message);
  *handled = found && !defaulted_;
  current_ = outer;
  defaulted_ = outerDefaulted;
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
  const LRESULT result = self->Route(window, Message{message, wParam, lParam}, &handled);
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
  return ::CreateDialogIndirectParamW(instance, dialogTemplate, parent, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

LRESULT DialogWindow::DefaultProcessing(const Message&) { return 0; }

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
  bool handled = false;
  const LRESULT result = self->Route(window, Message{message, wParam, lParam}, &handled);
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
  if (!window || !::SetWindowSubclass(window, SubclassProc, kSubclassId,
                                      reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  hwnd_ = window;
  return true;
}

void SubclassWindow::Detach() {
  if (!hwnd_) return;
  ::RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
  hwnd_ = nullptr;
}

LRESULT SubclassWindow::DefaultProcessing(const Message& message) {
  return ::DefSubclassProc(hwnd_, message.id, message.wParam, message.lParam);
}

LRESULT CALLBACK SubclassWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SubclassWindow*>(data);
  bool handled = false;
  const LRESULT result = self->Route(window, Message{message, wParam, lParam}, &handled);
  if (message == WM_NCDESTROY) {
    self->Detach();
    Guarded([self] { self->OnFinalMessage(); }, [](HRESULT) {});
  }
  return result;
}

}  // namespace mirdane::win32
