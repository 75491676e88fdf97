// Results said one way, in the manner of WIL: where a COM method, an export,
// a class factory, a window procedure or a system callback meets C++, a
// failing HRESULT returns at once, and an exception becomes an HRESULT by
// one rule (std::bad_alloc E_OUTOFMEMORY, anything else E_UNEXPECTED)
// instead of unwinding into the caller's frames.
//
//   RETURN_IF_FAILED(session->Open());          // returns the failure as it is
//   RETURN_HR_IF(E_POINTER, out == nullptr);    // returns E_POINTER when the condition holds
//   try { ... } CATCH_RETURN();                 // the exception's HRESULT
#pragma once

#include <windows.h>

#include <new>

namespace mirdane::win32 {

// HRESULT_FROM_WIN32 of the last error, a failure even when no error was set.
inline ::HRESULT LastErrorResult() {
  return static_cast<::HRESULT>(0x80070000u | (::GetLastError() & 0xFFFFu));
}

// The HRESULT of the exception being handled. Only inside a catch block.
inline ::HRESULT CaughtExceptionResult() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs `body` where no C++ exception may pass: in a window, dialog or
// subclass procedure, or a callback that the system calls. An exception
// that unwinds into the system's frames ends the host's process (the i686
// build unwinds with DWARF tables, which the system's frames do not have).
// Whatever `body` throws reaches `recover` as an HRESULT, and the answer of
// `recover`, which must not throw, stands for the body's result.
template <typename Body, typename Recover>
auto Guarded(Body&& body, Recover&& recover) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    return recover(CaughtExceptionResult());
  }
}

// Runs `body`, which answers an HRESULT, for a COM caller.
template <typename Body>
::HRESULT GuardedResult(Body&& body) noexcept {
  return Guarded(body, [](::HRESULT failure) { return failure; });
}

}  // namespace mirdane::win32

#define RETURN_IF_FAILED(expression)                  \
  do {                                                \
    const auto mirdaneResult_ = (expression);         \
    if (FAILED(mirdaneResult_)) return mirdaneResult_; \
  } while (0)

#define RETURN_HR_IF(result, condition) \
  do {                                  \
    if (condition) return (result);     \
  } while (0)

#define CATCH_RETURN() \
  catch (...) {        \
    return ::mirdane::win32::CaughtExceptionResult(); \
  }
