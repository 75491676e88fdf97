#include "ui/taskdialog/win32/gdi_text_measurer.h"

namespace mirdane::taskdialog::win32 {

TextSize GdiTextMeasurer::Measure(std::u16string_view text, TextFont font, unsigned format,
                                  int limit) {
  // An empty text takes no room. (The platform leaves the rectangle as it
  // was for it, which would read as a text as wide and high as the limit.)
  if (text.empty()) return {};
  SelectObject(dc_, font == TextFont::kLarge ? largeFont_ : messageFont_);
  RECT rect{0, 0, limit, limit};
  DrawTextW(dc_, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
            &rect, format);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace mirdane::taskdialog::win32
