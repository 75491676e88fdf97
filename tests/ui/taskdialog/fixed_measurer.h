// A text measurer with fixed metrics, so that layouts can be checked to the
// pixel: every character is 6 pixels wide in the message font and 9 in the
// large one, lines are 13 and 20 pixels high. Word breaks fall at blanks; an
// ampersand is a mnemonic prefix unless the format says otherwise.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "ui/taskdialog/text_measurer.h"

namespace mirdane::taskdialog::test {

class FixedMeasurer : public TextMeasurer {
 public:
  static constexpr int kMessageWidth = 6;
  static constexpr int kMessageHeight = 13;
  static constexpr int kLargeWidth = 9;
  static constexpr int kLargeHeight = 20;

  TextSize Measure(std::u16string_view text, TextFont font, unsigned format,
                   int limit) override {
    calls.push_back({std::u16string(text), font, format, limit});
    if (text.empty()) return {};
    const int charWidth = font == TextFont::kLarge ? kLargeWidth : kMessageWidth;
    const int lineHeight = font == TextFont::kLarge ? kLargeHeight : kMessageHeight;
    std::u16string shown = (format & text_format::kNoPrefixFlag) != 0 ? std::u16string(text)
                                                                       : WithoutPrefixes(text);
    std::vector<std::u16string> lines;
    if ((format & text_format::kSingleLineFlag) != 0) {
      lines.push_back(shown);
    } else {
      std::size_t start = 0;
      for (;;) {
        const std::size_t end = shown.find(u'\n', start);
        std::u16string line = shown.substr(start, end == std::u16string::npos ? end : end - start);
        if ((format & text_format::kWordBreakFlag) != 0) {
          Wrap(line, limit / charWidth, lines);
        } else {
          lines.push_back(line);
        }
        if (end == std::u16string::npos) break;
        start = end + 1;
      }
    }
    std::size_t widest = 0;
    for (const auto& line : lines) widest = std::max(widest, line.size());
    return {static_cast<int>(widest) * charWidth, static_cast<int>(lines.size()) * lineHeight};
  }

  struct Call {
    std::u16string text;
    TextFont font;
    unsigned format;
    int limit;
  };
  std::vector<Call> calls;

 private:
  static std::u16string WithoutPrefixes(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == u'&' && i + 1 < text.size()) ++i;
      out.push_back(text[i]);
    }
    return out;
  }
  // Greedy word wrap at blanks; a word longer than the line stands alone.
  static void Wrap(const std::u16string& line, int maxChars, std::vector<std::u16string>& out) {
    std::u16string current;
    std::size_t at = 0;
    while (at <= line.size()) {
      std::size_t blank = line.find(u' ', at);
      if (blank == std::u16string::npos) blank = line.size();
      const std::u16string word = line.substr(at, blank - at);
      if (current.empty()) {
        current = word;
      } else if (static_cast<int>(current.size() + 1 + word.size()) <= maxChars) {
        current += u' ';
        current += word;
      } else {
        out.push_back(current);
        current = word;
      }
      at = blank + 1;
    }
    out.push_back(current);
  }
};

}  // namespace mirdane::taskdialog::test
