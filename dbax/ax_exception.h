// The one error object of the data-access layer.
//
// Every failure inside the layer is raised as a CAxException built on the
// heap and thrown by pointer; whoever catches it owns it and deletes it
// (catch sites adopt it into a std::unique_ptr at once, see TakeAxException).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/hresult.h"
#include "dbax/provider/ado.h"

namespace dbAx {

using mirdane::HRESULT;

// Library codes and their fixed texts.
inline constexpr std::int32_t kAxErrorInitialize = 5001;
inline constexpr std::int32_t kAxErrorFieldNotFound = 5002;
inline constexpr std::int32_t kAxErrorNotOpen = 5003;
inline constexpr std::int32_t kAxErrorBufferTooSmall = 5004;
inline constexpr std::int32_t kAxErrorBadPointer = 5005;
inline constexpr std::int32_t kAxErrorInvalidEnumeration = 5006;
inline constexpr std::int32_t kAxErrorInvalidPosition = 5007;
inline constexpr std::int32_t kAxErrorFieldValue = 5008;
inline constexpr std::int32_t kAxErrorClose = 5009;

class CAxException {
 public:
  // A library code (5001 to 5009), or 0 when a provider call failed; for 0 it
  // ends up holding the number of the last provider error read.
  std::int32_t code = 0;
  // The composed message that catch sites report.
  std::u16string message;
  // The provider errors that went into the message, and the last one read.
  std::shared_ptr<provider::Errors> adoErrors;
  std::shared_ptr<provider::Error> adoError;
  std::int32_t errorCount = 0;
  // The HRESULT given when the exception was raised (0 when there was none).
  HRESULT hr = 0;
};

// The fixed text of a library code ("Unknown error" for any other non-zero code).
std::u16string AxErrorText(std::int32_t code);

// Builds the exception for `code` with its composed message and throws it by
// pointer. For code 0 `text` is the first line of the message (the failing
// operation) and the provider errors of the registered connections follow;
// for 5008 it is the body of the message; for the other codes it names the
// source of the failure.
[[noreturn]] void ThrowAxException(std::int32_t code, const char16_t* text, HRESULT hr);
[[noreturn]] inline void ThrowAxException(std::int32_t code, const std::u16string& text,
                                          HRESULT hr) {
  ThrowAxException(code, text.c_str(), hr);
}

// Adopts a caught exception so that it is deleted on every path.
inline std::unique_ptr<CAxException> TakeAxException(CAxException* caught) {
  return std::unique_ptr<CAxException>(caught);
}

}  // namespace dbAx
