// One owner for every Windows handle that is closed by a single call: the
// handle belongs to it from the moment it exists and is given back when the
// owner goes. What differs between handle types is a policy:
//
//   struct Policy {
//     using Handle = ...;
//     static Handle Invalid();        // the empty value (null, or INVALID_HANDLE_VALUE)
//     static void Close(Handle);      // the one call that gives it back
//   };
//
// Closing keeps the thread's last error: a caller that reads GetLastError
// after a failed call is not misled by the owner that went in between. The
// policies live beside the handles they own: kernel_handles.h, gdi.h and
// user_handles.h.
#pragma once

#include <windows.h>

#include <utility>

namespace mirdane::win32 {

template <typename Policy>
class UniqueHandleOf {
 public:
  using Handle = typename Policy::Handle;

  UniqueHandleOf() = default;
  explicit UniqueHandleOf(Handle handle) : handle_(handle) {}
  UniqueHandleOf(const UniqueHandleOf&) = delete;
  UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
  UniqueHandleOf(UniqueHandleOf&& other) noexcept : handle_(other.release()) {}
  UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~UniqueHandleOf() { reset(); }

  void reset(Handle handle = Policy::Invalid()) {
    if (handle_ != Policy::Invalid()) {
      const DWORD lastError = ::GetLastError();
      Policy::Close(handle_);
      ::SetLastError(lastError);
    }
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  Handle release() { return std::exchange(handle_, Policy::Invalid()); }
  // Empties the owner and lends its slot to a call that writes a new handle.
  Handle* put() {
    reset();
    return &handle_;
  }
  // The slot itself, for a control that must see the handle the owner holds
  // now, whenever it is replaced.
  Handle* address() { return &handle_; }
  bool valid() const { return handle_ != Policy::Invalid(); }
  explicit operator bool() const { return valid(); }

 private:
  Handle handle_ = Policy::Invalid();
};

// The policy of a handle whose empty value is null, closed by `Closer`.
template <typename HandleType, typename Closer>
struct NullEmpty {
  using Handle = HandleType;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { Closer()(handle); }
};

}  // namespace mirdane::win32
