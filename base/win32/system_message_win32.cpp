// The system message table through FormatMessage.
#include <windows.h>

#include "base/system_message.h"

namespace mirdane {

std::optional<std::u16string> LookUpSystemMessage(HRESULT result) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(result), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return std::nullopt;
  std::u16string text(reinterpret_cast<const char16_t*>(buffer), length);
  ::LocalFree(buffer);
  return text;
}

}  // namespace mirdane
