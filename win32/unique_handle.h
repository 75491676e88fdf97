// One owner for every Windows handle that is closed by a single call: the
// handle belongs to it from the moment it exists and is given back when the
// owner goes. The handle types name their closing call in handles.h and gdi.h.
#pragma once

#include <utility>

namespace mirdane::win32 {

// A handle closed by `Close` when it goes; null is the empty handle.
template <typename Handle, typename Close>
class UniqueHandleOf {
 public:
  UniqueHandleOf() = default;
  explicit UniqueHandleOf(Handle handle) : handle_(handle) {}
  UniqueHandleOf(const UniqueHandleOf&) = delete;
  UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
  UniqueHandleOf(UniqueHandleOf&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandleOf& operator=(UniqueHandleOf&& other) noexcept {
    reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandleOf() { reset(); }

  void reset(Handle handle = nullptr) {
    if (handle_) Close()(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  Handle release() { return std::exchange(handle_, nullptr); }
  // Empties the owner and lends its slot to a call that writes a new handle.
  Handle* put() {
    reset();
    return &handle_;
  }
  // The slot itself, for a control that must see the handle the owner holds
  // now, whenever it is replaced.
  Handle* address() { return &handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

}  // namespace mirdane::win32
