#include <gtest/gtest.h>

#include "ui/dialog_template.h"

namespace mirdane::taskdialog {

using ui::DialogItem;
using ui::DialogTemplate;
using ui::ControlKind;
using ui::DialogBaseUnits;
using ui::SerializeTemplate;
using ui::PixelsToUnitsX;
using ui::PixelsToUnitsY;
using ui::SizeToUnitsX;
using ui::SizeToUnitsY;
using ui::WindowClassOf;
using ui::KindStyle;
namespace {

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
}
std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return U16At(bytes, at) | (static_cast<std::uint32_t>(U16At(bytes, at + 2)) << 16);
}
std::u16string TextAt(const std::vector<std::uint8_t>& bytes, std::size_t& at) {
  std::u16string text;
  for (;;) {
    const std::uint16_t unit = U16At(bytes, at);
    at += 2;
    if (unit == 0) return text;
    text.push_back(static_cast<char16_t>(unit));
  }
}

TEST(DialogTemplate, HeaderTitleAndAlignedItems) {
  DialogTemplate dialog;
  dialog.style = 0x90C00080;
  dialog.exStyle = 0x3000;
  dialog.cx = 120;
  dialog.cy = -2;
  dialog.title = u"T\u00e9";  // ends at 28, so the first item needs no padding
  DialogItem link;
  link.kind = ControlKind::kLink;
  link.style = 0x50000000;
  link.x = 5;
  link.y = 6;
  link.cx = 7;
  link.cy = 8;
  link.id = 0xFFFF;
  link.text = u"ab";
  DialogItem progress;
  progress.kind = ControlKind::kProgress;
  progress.style = 0x50000001;
  progress.id = 3;
  dialog.items = {link, progress};

  const std::vector<std::uint8_t> bytes = SerializeTemplate(dialog);
  EXPECT_EQ(U32At(bytes, 0), 0x90C00080u);
  EXPECT_EQ(U32At(bytes, 4), 0x3000u);
  EXPECT_EQ(U16At(bytes, 8), 2) << "item count";
  EXPECT_EQ(U16At(bytes, 14), 120);
  EXPECT_EQ(U16At(bytes, 16), 0xFFFE) << "a negative size is stored as 16-bit";
  EXPECT_EQ(U16At(bytes, 18), 0) << "no menu";
  EXPECT_EQ(U16At(bytes, 20), 0) << "the default class";
  std::size_t at = 22;
  EXPECT_EQ(TextAt(bytes, at), u"T\u00e9");
  EXPECT_EQ(at, 28u);
  at = 28;  // already on a 4-byte boundary
  EXPECT_EQ(U32At(bytes, at), 0x50000000u);
  EXPECT_EQ(U32At(bytes, at + 4), 0u);
  EXPECT_EQ(U16At(bytes, at + 8), 5);
  EXPECT_EQ(U16At(bytes, at + 10), 6);
  EXPECT_EQ(U16At(bytes, at + 12), 7);
  EXPECT_EQ(U16At(bytes, at + 14), 8);
  EXPECT_EQ(U16At(bytes, at + 16), 0xFFFF);
  at += 18;
  EXPECT_EQ(TextAt(bytes, at), u"SysLink");
  EXPECT_EQ(TextAt(bytes, at), u"ab");
  EXPECT_EQ(U16At(bytes, at), 0) << "no creation data";
  at += 2;
  // 28 + 18 + 16 + 6 + 2 = 70: the next item starts at 72.
  EXPECT_EQ(at, 70u);
  EXPECT_EQ(bytes[70], 0);
  EXPECT_EQ(bytes[71], 0);
  at = 72;
  EXPECT_EQ(U32At(bytes, at), 0x50000001u);
  EXPECT_EQ(U16At(bytes, at + 16), 3);
  at += 18;
  EXPECT_EQ(TextAt(bytes, at), u"msctls_progress32");
  EXPECT_EQ(TextAt(bytes, at), u"");
  EXPECT_EQ(at + 2, bytes.size());
}

TEST(DialogTemplate, KindsAndTheirStyles) {
  EXPECT_EQ(KindStyle(ControlKind::kIconStatic), 0x50000003u);
  EXPECT_EQ(KindStyle(ControlKind::kButton), 0x50010000u);
  EXPECT_EQ(KindStyle(ControlKind::kEdit), 0x50000000u);
  EXPECT_EQ(KindStyle(ControlKind::kStatic), 0x50000000u);
  EXPECT_EQ(KindStyle(ControlKind::kCheckBox), 0x50010003u);
  EXPECT_EQ(KindStyle(ControlKind::kProgress), 0x50000001u);
  EXPECT_EQ(KindStyle(ControlKind::kLink), 0x50000000u);
  EXPECT_EQ(KindStyle(ControlKind::kRadio), 0x50000009u);
  EXPECT_EQ(std::u16string(WindowClassOf(ControlKind::kRadio)), u"Button");
  EXPECT_EQ(std::u16string(WindowClassOf(ControlKind::kIconStatic)), u"Static");
  EXPECT_EQ(std::u16string(WindowClassOf(ControlKind::kEdit)), u"Edit");
}

TEST(DialogTemplate, PositionsTruncateAndSizesRoundUp) {
  const DialogBaseUnits base{7, 15};
  EXPECT_EQ(PixelsToUnitsX(13, base), 7);  // 52 / 7
  EXPECT_EQ(PixelsToUnitsY(13, base), 6);  // 104 / 15
  EXPECT_EQ(PixelsToUnitsX(0, base), 0);
  EXPECT_EQ(SizeToUnitsX(13, base), 8);
  EXPECT_EQ(SizeToUnitsY(13, base), 7);
  EXPECT_EQ(SizeToUnitsX(14, base), 8) << "exact stays exact";
  EXPECT_EQ(SizeToUnitsX(0, base), 0);
  // Back in pixels as the platform converts (rounding to nearest), a size
  // is never smaller than it was laid out.
  for (int pixels = 1; pixels < 600; ++pixels) {
    const int back = (SizeToUnitsX(pixels, base) * base.x + 2) / 4;
    ASSERT_GE(back, pixels) << pixels;
  }
}

}  // namespace
}  // namespace mirdane::taskdialog
