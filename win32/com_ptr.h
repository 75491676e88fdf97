// Owners for COM pointers, automation strings and variants.
//
// Every COM pointer is owned by a ComPtr from the moment it exists: out
// parameters are received through put(), which releases whatever the pointer
// held before, so that an old reference can never leak and nobody calls
// Release by hand.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace mirdane::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT: a null pointer converts
  // Takes a new reference to `pointer`.
  explicit ComPtr(T* pointer) : pointer_(pointer) {
    if (pointer_) pointer_->AddRef();
  }
  ComPtr(const ComPtr& other) : ComPtr(other.pointer_) {}
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).swap(*this);
    return *this;
  }
  ~ComPtr() { reset(); }

  // Owns `pointer` without adding a reference (it already carries one).
  static ComPtr Attach(T* pointer) {
    ComPtr owner;
    owner.pointer_ = pointer;
    return owner;
  }
  // Gives up the reference to the caller.
  T* Detach() { return std::exchange(pointer_, nullptr); }

  void reset() {
    if (T* old = std::exchange(pointer_, nullptr)) old->Release();
  }
  void swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For an out parameter: releases what is held and gives the slot to fill.
  T** put() {
    reset();
    return &pointer_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

  // Asks the object for interface U by `iid`: for ids that only a caller
  // knows (the host's collections).
  template <typename U>
  HRESULT As(REFIID iid, ComPtr<U>* out) const {
    if (!pointer_) return E_POINTER;
    return pointer_->QueryInterface(iid, out->put_void());
  }
  // Asks the object for interface U by the id the type declares (__uuidof).
  template <typename U>
  HRESULT As(ComPtr<U>* out) const {
    return As(__uuidof(U), out);
  }

  // Hands a new reference out through a caller's out parameter.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = pointer_;
    if (pointer_) pointer_->AddRef();
    return S_OK;
  }

 private:
  T* pointer_ = nullptr;
};

// An automation string (BSTR) owned for its lifetime.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const std::u16string& text)
      : value_(::SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                   static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    reset(std::exchange(other.value_, nullptr));
    return *this;
  }
  ~Bstr() { reset(); }

  void reset(BSTR value = nullptr) {
    if (value_) ::SysFreeString(value_);
    value_ = value;
  }
  BSTR get() const { return value_; }
  BSTR* put() {
    reset();
    return &value_;
  }
  BSTR Detach() { return std::exchange(value_, nullptr); }
  // False only when allocation failed for a non-empty text.
  bool ok() const { return value_ != nullptr; }

  std::u16string Text() const { return ToText(value_); }
  // The text of any BSTR (null is the empty text), length from its prefix.
  static std::u16string ToText(BSTR value) {
    if (!value) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(value), ::SysStringLen(value));
  }

 private:
  BSTR value_ = nullptr;
};

// A VARIANT cleared when it goes.
class UniqueVariant {
 public:
  UniqueVariant() { ::VariantInit(&value_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;
  ~UniqueVariant() { ::VariantClear(&value_); }

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }
  VARIANT* put() {
    ::VariantClear(&value_);
    return &value_;
  }
  VARIANT Detach() {
    VARIANT out = value_;
    ::VariantInit(&value_);
    return out;
  }

 private:
  VARIANT value_;
};

// The apartment of the calling thread for as long as the object lives.
class ScopedComInit {
 public:
  explicit ScopedComInit(DWORD model = COINIT_APARTMENTTHREADED)
      : result_(::CoInitializeEx(nullptr, model)) {}
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;
  ~ScopedComInit() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace mirdane::win32
