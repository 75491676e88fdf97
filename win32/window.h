// A small window framework: a window class is a thin C++ object over an
// HWND with a message map, one table from message to member function.
//
//   const MessageMap<Grid> Grid::kMessages = {{WM_PAINT, &Grid::OnPaint}, ...};
//   bool Grid::HandleMessage(const Message& m, LRESULT* r) { return kMessages.Dispatch(*this, m, r); }
//
// A message that is not in the map, or whose handler calls Default(), gets
// the window's default processing: DefWindowProc for a window of a class of
// our own, the dialog manager's for a dialog, the original window procedure
// for a subclassed control. The object lives at least as long as its window
// needs it; when it goes first, it destroys its window (or, for a subclass,
// gives the control its own procedure back).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "win32/result.h"

namespace mirdane::win32 {

// Whether a dialog procedure returns its answer to `message` itself rather
// than through DWLP_MSGRESULT.
bool DialogAnswersDirectly(UINT message);

// One message as a handler sees it.
struct Message {
  UINT id;
  WPARAM wParam;
  LPARAM lParam;
};

template <typename T>
class MessageMap {
 public:
  using Handler = LRESULT (T::*)(WPARAM, LPARAM);
  struct Entry {
    UINT message;
    Handler handler;
  };
  MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

  // Calls the handler of `message`; false when the map has none.
  bool Dispatch(T& window, const Message& message, LRESULT* result) const {
    for (const Entry& entry : entries_) {
      if (entry.message != message.id) continue;
      *result = (window.*entry.handler)(message.wParam, message.lParam);
      return true;
    }
    return false;
  }

 private:
  std::vector<Entry> entries_;
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

  // The message as the thunks route it: the map, then the default.
  LRESULT Route(HWND window, const Message& message, bool* handled);
  virtual LRESULT DefaultProcessing(const Message& message) = 0;

  HWND hwnd_ = nullptr;

 private:
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

// A modeless dialog, child or top-level, from a template in memory.
class DialogWindow : public WindowBase {
 public:
  ~DialogWindow() override;
  // Creates the dialog (WM_INITDIALOG has been handled when it returns); null on failure.
  HWND CreateIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent);

 protected:
  // The dialog manager does the rest: the procedure answers FALSE.
  LRESULT DefaultProcessing(const Message& message) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A control of a platform class, subclassed to handle some of its messages.
class SubclassWindow : public WindowBase {
 public:
  ~SubclassWindow() override;
  // Routes `window`'s messages through this object; false on failure.
  bool Attach(HWND window);

 protected:
  LRESULT DefaultProcessing(const Message& message) override;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data);
  void Detach();
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
