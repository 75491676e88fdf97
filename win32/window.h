// A small window framework: a window class is a thin C++ object over an
// HWND with a message map, one constant table from message to member
// function, that the class names once:
//
//   class Grid : public Window<Grid, CustomWindow> { ... static const MessageMap<Grid> kMessages; };
//   const MessageMap<Grid> Grid::kMessages = {
//       OnMessage(WM_PAINT, &Grid::OnPaint),
//       OnCommand(IDOK, BN_CLICKED, &Grid::OnOk),
//       OnNotify(NM_CLICK, &Grid::OnClick)};
//
// A message that is not in the map, or whose handler calls Default(), gets
// the window's default processing: DefWindowProc for a window of a class of
// our own, the dialog manager's for a dialog, the original window procedure
// for a subclassed control (subclassed with SetWindowSubclass, so that other
// subclassers stay hooked). A notification that a dialog leaves to the
// default goes first to the control that sent it, reflected (its number plus
// kReflectedBase), when that control is one of these windows and its map
// answers it. A handler that throws leaves its message to the default; in a
// modal dialog, or a control of one, it also ends the dialog with the
// failure. The object lives at least as long as its window needs it; when it
// goes first, it destroys its window (or, for a subclass, gives the control
// its own procedure back).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "win32/result.h"

namespace mirdane::win32 {

// Whether a dialog procedure returns its answer to `message` itself rather
// than through DWLP_MSGRESULT.
bool DialogAnswersDirectly(UINT message);

// The offset of a notification reflected to the control that sent it.
inline constexpr UINT kReflectedBase = 0x2000;

// One message as a handler sees it.
struct Message {
  UINT id;
  WPARAM wParam;
  LPARAM lParam;
};

// One entry of a message map: a message (or a range of them), a WM_COMMAND
// from one control with one notification code, or a WM_NOTIFY code.
template <typename T>
struct MessageEntry {
  enum class Kind : unsigned char { kMessage, kRange, kCommand, kNotify };
  Kind kind = Kind::kMessage;
  UINT first = 0;  // the message, or the first of the range; the WM_NOTIFY code
  UINT last = 0;   // the last of the range
  int id = 0;      // the control of a WM_COMMAND
  LRESULT (T::*message)(WPARAM, LPARAM) = nullptr;
  LRESULT (T::*range)(UINT, WPARAM, LPARAM) = nullptr;
  void (T::*command)() = nullptr;
  LRESULT (T::*notify)(const NMHDR&) = nullptr;
};

template <typename T>
MessageEntry<T> OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  MessageEntry<T> entry;
  entry.first = entry.last = message;
  entry.message = handler;
  return entry;
}

// Messages first to last, the handler told which one came.
template <typename T>
MessageEntry<T> OnMessageRange(UINT first, UINT last, LRESULT (T::*handler)(UINT, WPARAM, LPARAM)) {
  MessageEntry<T> entry;
  entry.kind = MessageEntry<T>::Kind::kRange;
  entry.first = first;
  entry.last = last;
  entry.range = handler;
  return entry;
}

// WM_COMMAND from control `id` with notification `code`; answered with 0.
template <typename T>
MessageEntry<T> OnCommand(int id, UINT code, void (T::*handler)()) {
  MessageEntry<T> entry;
  entry.kind = MessageEntry<T>::Kind::kCommand;
  entry.first = entry.last = code;
  entry.id = id;
  entry.command = handler;
  return entry;
}

// WM_NOTIFY with notification `code`, from any control.
template <typename T>
MessageEntry<T> OnNotify(UINT code, LRESULT (T::*handler)(const NMHDR&)) {
  MessageEntry<T> entry;
  entry.kind = MessageEntry<T>::Kind::kNotify;
  entry.first = entry.last = code;
  entry.notify = handler;
  return entry;
}

// The message map of window class T: the first entry that matches handles the message.
template <typename T>
class MessageMap {
 public:
  MessageMap(std::initializer_list<MessageEntry<T>> entries) : entries_(entries) {}

  // Calls the handler of `message`; false when the map has none.
  bool Dispatch(T& window, const Message& message, LRESULT* result) const {
    using Kind = typename MessageEntry<T>::Kind;
    for (const MessageEntry<T>& entry : entries_) {
      switch (entry.kind) {
        case Kind::kMessage:
          if (message.id != entry.first) continue;
          *result = (window.*entry.message)(message.wParam, message.lParam);
          return true;
        case Kind::kRange:
          if (message.id < entry.first || message.id > entry.last) continue;
          *result = (window.*entry.range)(message.id, message.wParam, message.lParam);
          return true;
        case Kind::kCommand:
          if (message.id != WM_COMMAND || LOWORD(message.wParam) != entry.id ||
              HIWORD(message.wParam) != entry.first) {
            continue;
          }
          (window.*entry.command)();
          *result = 0;
          return true;
        case Kind::kNotify: {
          if (message.id != WM_NOTIFY || !message.lParam) continue;
          const auto& header = *reinterpret_cast<const NMHDR*>(message.lParam);
          if (header.code != entry.first) continue;
          *result = (window.*entry.notify)(header);
          return true;
        }
      }
    }
    return false;
  }

 private:
  std::vector<MessageEntry<T>> entries_;
};

class WindowBase {
 public:
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() = default;

  // The window, or null before it exists and after it is gone.
  HWND hwnd() const { return hwnd_; }

 protected:
  // The message map: true when the message was handled, with its result.
  virtual bool HandleMessage(const Message& message, LRESULT* result) = 0;
  // The default processing of the message being handled, for a handler
  // that wants it as well as (or instead of) its own.
  LRESULT Default();
  // Called after the window's last message; the object may go from here on.
  virtual void OnFinalMessage() {}
  // Told when a handler threw `failure` (its message went to the default).
  virtual void OnHandlerFailure(::HRESULT /*failure*/) {}

  // The message as the thunks route it: the map, then the default.
  LRESULT Route(const Message& message, bool* handled);
  // The map only: true when a handler answered (and did not call Default()).
  bool Answer(const Message& message, LRESULT* result);
  virtual LRESULT DefaultProcessing(const Message& message) = 0;

  HWND hwnd_ = nullptr;

 private:
  // Calls the map's handler; false when it has none or the handler threw.
  bool Dispatch(const Message& message, LRESULT* result, bool* defaulted);

  const Message* current_ = nullptr;
  bool defaulted_ = false;
  LRESULT defaultResult_ = 0;
};

// A window of a class that the module registers with WindowProc.
class CustomWindow : public WindowBase {
 public:
  ~CustomWindow() override;
  // The window procedure to register for every class of such windows.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Creates the window; null on failure.
  HWND Create(const wchar_t* className, HINSTANCE instance, HWND parent, DWORD style,
              DWORD exStyle, const RECT& rect, int id, const wchar_t* text = L"");

 protected:
  LRESULT DefaultProcessing(const Message& message) override;
};

// A dialog from a template in memory: modeless (a child page, a frame that
// runs its own loop) or modal.
class DialogWindow : public WindowBase {
 public:
  ~DialogWindow() override;
  // Creates a modeless dialog (WM_INITDIALOG has been handled when it returns); null on failure.
  HWND CreateIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent);
  // Runs the dialog modally, owned by `owner` (see ModalOwner for choosing
  // it); the value it ended with, or -1 when it could not run (last error set).
  INT_PTR RunModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner);
  // S_OK, or the failure that ended the last modal run: what a handler of the
  // dialog or of one of its controls threw (E_OUTOFMEMORY, E_UNEXPECTED).
  ::HRESULT failure() const { return failure_; }

  // The object of a dialog created by this class, or null for any other window.
  static DialogWindow* FromHandle(HWND window);
  // A handler of the dialog or of one of its controls threw: a modal dialog
  // keeps the first failure and ends; a modeless one carries on.
  void OnHandlerFailure(::HRESULT failure) override;

 protected:
  // The dialog manager does the rest: the procedure answers FALSE.
  LRESULT DefaultProcessing(const Message& message) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Offers a notification the dialog left alone to the control that sent it.
  static bool Reflect(const Message& message, LRESULT* result);

  bool modal_ = false;
  ::HRESULT failure_ = S_OK;
};

// A control of a platform class, subclassed to handle some of its messages.
class SubclassWindow : public WindowBase {
 public:
  ~SubclassWindow() override;
  // Routes `window`'s messages through this object (and no longer those of
  // the control it had); false on failure.
  bool Attach(HWND window);

  // The object that subclassed `window`, or null.
  static SubclassWindow* FromHandle(HWND window);
  // Answers `notification` reflected from the dialog; false when the map has
  // no handler for it (the control's own procedure is not asked).
  bool AnswerReflected(const Message& notification, LRESULT* result);
  // Tells the dialog around the control, when it is one of ours.
  void OnHandlerFailure(::HRESULT failure) override;

 protected:
  LRESULT DefaultProcessing(const Message& message) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  void Detach();
};

// The base of a window class T over one of the kinds above: its messages go
// through T::kMessages, a MessageMap<T>.
template <typename T, typename Base>
class Window : public Base {
 public:
  using Base::Base;

 protected:
  bool HandleMessage(const Message& message, LRESULT* result) override {
    return T::kMessages.Dispatch(static_cast<T&>(*this), message, result);
  }
};

// The dialog's font, for controls and measuring.
inline HFONT WindowFont(HWND window) {
  return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
}

// The position of a lParam's point (mouse messages).
inline POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

}  // namespace mirdane::win32
