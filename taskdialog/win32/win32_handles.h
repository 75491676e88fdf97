// Owners of the Windows handles the task dialog makes: each handle belongs
// to one of these from the moment it exists, and is given back by it.
#pragma once

#include <windows.h>

#include <utility>

namespace mirdane::taskdialog::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // The handle, for code that stores where the dialog's controls look.
  Handle* address() { return &handle_; }
  Handle release() { return std::exchange(handle_, nullptr); }
  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

struct GdiObjectTraits {
  static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct IconTraits {
  static void Close(HICON icon) { DestroyIcon(icon); }
};
struct ModuleTraits {
  static void Close(HMODULE module) { FreeLibrary(module); }
};
struct CreatedDcTraits {
  static void Close(HDC dc) { DeleteDC(dc); }
};

using UniqueFont = UniqueHandle<HFONT, GdiObjectTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using UniquePen = UniqueHandle<HPEN, GdiObjectTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueCreatedDc = UniqueHandle<HDC, CreatedDcTraits>;

// A GDI object selected into a device context until the end of the scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() { SelectObject(dc_, previous_); }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// HRESULT_FROM_WIN32 of the last error, a failure even when no error was set.
inline ::HRESULT LastErrorResult() {
  return static_cast<::HRESULT>(0x80070000u | (GetLastError() & 0xFFFFu));
}

}  // namespace mirdane::taskdialog::win32
