// Measuring text for the layout: the platform computes a text's rectangle in
// a square whose side is the limit, starting at (0, 0), in one of two fonts.
#pragma once

#include <string_view>

namespace mirdane::taskdialog {

// The two fonts of the dialog.
enum class TextFont {
  kMessage,  // the system's message font
  kLarge,    // the message font at one and a half times its height
};

// Text formats: the platform's DrawText flags with "calculate" set.
namespace text_format {
inline constexpr unsigned kSingleLineFlag = 0x20;
inline constexpr unsigned kWordBreakFlag = 0x10;
inline constexpr unsigned kNoPrefixFlag = 0x800;
inline constexpr unsigned kWrapped = 0xC50;               // word break, expand tabs, no prefix
inline constexpr unsigned kWrappedWithMnemonics = 0x450;  // word break, expand tabs
inline constexpr unsigned kSingleLine = 0x460;            // single line, expand tabs
inline constexpr unsigned kPlain = 0x400;
inline constexpr unsigned kRadio = 0x440;                 // expand tabs
}  // namespace text_format

struct TextSize {
  int width = 0;
  int height = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  // The size of `text` in `font` with `format`, within a square of side `limit`.
  virtual TextSize Measure(std::u16string_view text, TextFont font, unsigned format,
                           int limit) = 0;
};

}  // namespace mirdane::taskdialog
