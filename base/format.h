// printf-style formatting of UTF-16 text.
//
// The system's message texts are printf formats ("Error Updating %s: %s",
// "%02d%02d%02d...", "(Error Code: 0x%08lx)"). The platform's swprintf cannot
// serve: wchar_t is 16 bits on Windows and 32 bits on Linux. This formatter
// understands the conversions those texts use: %s (text), %d %i %u %x %X
// (integers) and %c, with the flags '-' and '0', a field width, and the length
// modifiers h, l and ll, which are accepted and ignored. An argument that does
// not match its conversion is formatted as best it can; a missing one as empty.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace mirdane {

class FormatArg {
 public:
  FormatArg(std::u16string_view text) : is_text_(true), text_(text) {}
  FormatArg(const std::u16string& text) : is_text_(true), text_(text) {}
  FormatArg(const char16_t* text) : is_text_(true), text_(text ? text : u"") {}
  FormatArg(int value) : integer_(value) {}
  FormatArg(long value) : integer_(value) {}
  FormatArg(long long value) : integer_(value) {}
  FormatArg(unsigned value) : integer_(value) {}
  FormatArg(unsigned long value) : integer_(static_cast<std::int64_t>(value)) {}
  FormatArg(unsigned long long value) : integer_(static_cast<std::int64_t>(value)) {}

  bool is_text() const { return is_text_; }
  std::u16string_view text() const { return text_; }
  std::int64_t integer() const { return integer_; }

 private:
  bool is_text_ = false;
  std::u16string_view text_;
  std::int64_t integer_ = 0;
};

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args);

}  // namespace mirdane
