#include "base/format.h"

#include <string>
#include <vector>

namespace mirdane {
namespace {

std::u16string Digits(std::uint64_t value, unsigned base, bool upper) {
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(symbols[value % base]));
    value /= base;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string FormatText(std::u16string_view format, std::initializer_list<FormatArg> args) {
  std::u16string out;
  out.reserve(format.size() + 32);
  const FormatArg* next = args.begin();
  const FormatArg* const end = args.end();

  std::size_t i = 0;
  while (i < format.size()) {
    const char16_t c = format[i++];
    if (c != u'%') {
      out.push_back(c);
      continue;
    }
    if (i < format.size() && format[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    bool left = false, zero = false;
    while (i < format.size() && (format[i] == u'-' || format[i] == u'0')) {
      if (format[i] == u'-') left = true;
      if (format[i] == u'0') zero = true;
      ++i;
    }
    std::size_t width = 0;
    while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
      width = width * 10 + static_cast<std::size_t>(format[i] - u'0');
      ++i;
    }
    int longs = 0;
    while (i < format.size() && (format[i] == u'l' || format[i] == u'h')) {
      if (format[i] == u'l') ++longs;
      ++i;
    }
    if (i >= format.size()) break;
    const char16_t conversion = format[i++];
    const FormatArg* arg = next != end ? next++ : nullptr;

    std::u16string field;
    bool numeric = false;
    switch (conversion) {
      case u's':
        if (arg && arg->is_text()) field = std::u16string(arg->text());
        else if (arg) field = Digits(static_cast<std::uint64_t>(arg->integer()), 10, false);
        break;
      case u'c':
        if (arg && !arg->is_text()) field.push_back(static_cast<char16_t>(arg->integer()));
        break;
      case u'd':
      case u'i': {
        numeric = true;
        const std::int64_t value = arg && !arg->is_text() ? arg->integer() : 0;
        const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                                  : static_cast<std::uint64_t>(value);
        field = Digits(magnitude, 10, false);
        if (value < 0) field.insert(field.begin(), u'-');
        break;
      }
      case u'u':
      case u'x':
      case u'X': {
        numeric = true;
        std::uint64_t value = arg && !arg->is_text() ? static_cast<std::uint64_t>(arg->integer()) : 0;
        // Without "ll" the value is a 32-bit one, as on the platform (long is 32 bits there).
        if (longs < 2) value &= 0xFFFFFFFFu;
        field = Digits(value, conversion == u'u' ? 10 : 16, conversion == u'X');
        break;
      }
      default:
        // Unknown conversion: copy it through unchanged.
        field.push_back(u'%');
        field.push_back(conversion);
        break;
    }
    if (field.size() < width) {
      const std::size_t pad = width - field.size();
      if (left) {
        field.append(pad, u' ');
      } else if (zero && numeric) {
        const std::size_t at = (!field.empty() && field[0] == u'-') ? 1 : 0;
        field.insert(at, pad, u'0');
      } else {
        field.insert(0, pad, u' ');
      }
    }
    out += field;
  }
  return out;
}

}  // namespace mirdane
