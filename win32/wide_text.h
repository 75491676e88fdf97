// UTF-16 text between the portable core's std::u16string and the
// platform's wide-character calls (both are UTF-16: only the type differs),
// and strings of a module's string table.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

namespace mirdane::win32 {

// The string as the wide-character calls take it.
inline const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// `length` characters of a wide text (no terminator needed).
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// String `id` of `module`'s string table; nothing when it has none (the
// thread's last error then says why). With a zero length LoadString hands
// out a pointer into the resource itself: no buffer can be too short.
inline std::optional<std::u16string> LoadResourceString(HINSTANCE module, UINT id) {
  const wchar_t* text = nullptr;
  ::SetLastError(0);
  const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) {
    if (::GetLastError() == 0) ::SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return std::nullopt;
  }
  return FromWide(text, static_cast<std::size_t>(length));
}

}  // namespace mirdane::win32
