// Conversions at the edges of the core, which keeps all text as UTF-16.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

namespace mirdane {

// UTF-8 to UTF-16. Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// The same into `utf8`, whose storage is reused.
void AssignUtf8(std::u16string_view text, std::string* utf8);

// Whether two texts hold the same code units; compared as bytes, which is
// quicker than the standard's unit-by-unit loop for UTF-16.
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

// The ASCII letters of `text` in upper case; everything else unchanged.
std::u16string AsciiUpper(std::u16string_view text);
// Whether two texts are equal ignoring the case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
// Hash and equality for maps keyed by names that compare ignoring the case
// of ASCII letters, as column and library names do.
struct AsciiCaseInsensitiveHash {
  std::size_t operator()(std::u16string_view text) const;
};
struct AsciiCaseInsensitiveEqual {
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    return EqualsIgnoringAsciiCase(a, b);
  }
};
// `text` without leading and trailing blanks (U+0020).
std::u16string_view TrimBlanks(std::u16string_view text);
// The number of Unicode code points (a surrogate pair counts once).
std::size_t CodePointCount(std::u16string_view text);
// The longest prefix of `text` of at most `limit` code units that does not
// end inside a surrogate pair.
std::u16string_view PrefixWithoutSplitPair(std::u16string_view text, std::size_t limit);

// Short literal helper for code that builds UTF-16 from ASCII.
inline std::u16string U16(std::string_view ascii) { return Utf8ToUtf16(ascii); }

}  // namespace mirdane
