// Text between the core's UTF-16 strings and the wide-character Win32 calls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "win32/wide_text.h"

namespace mirdane::ui {

using win32::Wide;

// The whole text of a window or control.
inline std::u16string WindowText(HWND window) {
  if (!window) return {};
  const int length = ::GetWindowTextLengthW(window);
  std::u16string text(static_cast<std::size_t>(std::max(0, length)) + 1, u'\0');
  const int copied = ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(0, copied)));
  return text;
}

// Copies `text` into a fixed buffer, cut to fit and always ended.
template <std::size_t N>
void CopyText(const std::u16string& text, WCHAR (&buffer)[N]) {
  const std::size_t count = std::min(text.size(), N - 1);
  std::copy_n(text.begin(), count, buffer);
  buffer[count] = L'\0';
}

}  // namespace mirdane::ui
