// Text measurement on the display with the dialog's two fonts.
#pragma once

#include <windows.h>

#include "ui/taskdialog/text_measurer.h"

namespace mirdane::taskdialog::win32 {

class GdiTextMeasurer : public TextMeasurer {
 public:
  // Measures on `dc` (which the caller owns) in `messageFont` and `largeFont`.
  GdiTextMeasurer(HDC dc, HFONT messageFont, HFONT largeFont)
      : dc_(dc), messageFont_(messageFont), largeFont_(largeFont) {}

  TextSize Measure(std::u16string_view text, TextFont font, unsigned format, int limit) override;

 private:
  HDC dc_;
  HFONT messageFont_;
  HFONT largeFont_;
};

}  // namespace mirdane::taskdialog::win32
