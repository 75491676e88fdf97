// Dialog templates as the sheet reads and changes them.
#include "ui/dialog_template.h"

#include <gtest/gtest.h>

namespace mirdane::ui {
namespace {

void Word(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Dword(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Word(out, static_cast<std::uint16_t>(value));
  Word(out, static_cast<std::uint16_t>(value >> 16));
}
void Text(std::vector<std::uint8_t>& out, const std::u16string& text) {
  for (char16_t c : text) Word(out, c);
  Word(out, 0);
}

// A page as the resource compiler writes a DIALOGEX with a menu given by
// name and a class by ordinal, followed by a control that must survive.
std::vector<std::uint8_t> PageTemplateEx(std::uint32_t style) {
  std::vector<std::uint8_t> out;
  Word(out, 1);
  Word(out, 0xFFFF);
  Dword(out, 0);       // help id
  Dword(out, 0x100);   // WS_EX_WINDOWEDGE
  Dword(out, style);
  Word(out, 1);        // one control
  Word(out, 0);
  Word(out, 0);
  Word(out, 350);
  Word(out, 242);
  Text(out, u"MENU");  // menu by name
  Word(out, 0xFFFF);   // class by ordinal
  Word(out, 0x0081);
  Text(out, u"General");
  Word(out, 8);
  Word(out, 400);
  out.push_back(0);
  out.push_back(1);
  Text(out, u"MS Shell Dlg");
  while (out.size() % 4) out.push_back(0);
  for (int i = 0; i < 24; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i));  // the control
  return out;
}

std::vector<std::uint8_t> PageTemplatePlain(std::uint32_t style) {
  std::vector<std::uint8_t> out;
  Dword(out, style);
  Dword(out, 0);
  Word(out, 0);
  Word(out, 0);
  Word(out, 0);
  Word(out, 200);
  Word(out, 100);
  Word(out, 0);  // no menu
  Word(out, 0);  // dialog class
  Text(out, u"Data Mapping");
  return out;
}

TEST(DialogTemplate, ReadsTheHeaderOfBothForms) {
  const std::uint32_t style = 0x00C00000 | style::kShellFont | 0x40000000;
  const auto extended = ReadDialogTemplate(PageTemplateEx(style));
  ASSERT_TRUE(extended);
  EXPECT_TRUE(extended->extended);
  EXPECT_EQ(extended->style, style);
  EXPECT_EQ(extended->exStyle, 0x100u);
  EXPECT_EQ(extended->cx, 350);
  EXPECT_EQ(extended->cy, 242);
  EXPECT_EQ(extended->caption, u"General");

  const auto plain = ReadDialogTemplate(PageTemplatePlain(0x80C00000));
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->extended);
  EXPECT_EQ(plain->style, 0x80C00000u);
  EXPECT_EQ(plain->cx, 200);
  EXPECT_EQ(plain->caption, u"Data Mapping");
}

TEST(DialogTemplate, RefusesTemplatesCutShortAnywhere) {
  const auto whole = PageTemplateEx(style::kShellFont);
  // Every cut before the end of the caption must be refused, not read past.
  const std::size_t captionEnd = 26 + 10 + 4 + 16;
  for (std::size_t size = 0; size < captionEnd; ++size) {
    std::span<const std::uint8_t> cut(whole.data(), size);
    EXPECT_FALSE(ReadDialogTemplate(cut)) << "cut at " << size;
    EXPECT_FALSE(MakeChildPageTemplate(cut)) << "cut at " << size;
  }
  EXPECT_TRUE(ReadDialogTemplate(std::span<const std::uint8_t>(whole.data(), captionEnd)));
  // A caption that never ends.
  std::vector<std::uint8_t> endless(whole.begin(), whole.begin() + 40);
  for (int i = 0; i < 8; ++i) endless.push_back('x');
  EXPECT_FALSE(ReadDialogTemplate(endless));
}

TEST(DialogTemplate, ChildPageCopyDropsFrameAndCaptionAndKeepsTheRest) {
  const std::uint32_t style = 0x80000000 | 0x00C00000 | 0x00080000 | style::kModalFrame |
                              style::kVisible | style::kDisabled | style::kShellFont;
  const auto original = PageTemplateEx(style);
  const auto copy = MakeChildPageTemplate(original);
  ASSERT_TRUE(copy);
  ASSERT_EQ(copy->size(), original.size());
  const auto info = ReadDialogTemplate(*copy);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->style & (style::kPopup | style::kCaption | style::kSystemMenu | style::kModalFrame |
                           style::kVisible | style::kDisabled),
            0u);
  EXPECT_EQ(info->style & (style::kChild | style::kControl), style::kChild | style::kControl);
  EXPECT_EQ(info->style & style::kShellFont, style::kShellFont) << "the page keeps its font";
  EXPECT_EQ(info->exStyle, 0x100u | style::kExControlParent);
  EXPECT_EQ(info->caption, u"General");
  // Only the two style fields changed: the font and the controls are intact.
  for (std::size_t i = 0; i < original.size(); ++i) {
    if (i >= 8 && i < 16) continue;
    EXPECT_EQ((*copy)[i], original[i]) << "byte " << i;
  }

  const auto plain = MakeChildPageTemplate(PageTemplatePlain(0x80C00000));
  ASSERT_TRUE(plain);
  EXPECT_EQ(ReadDialogTemplate(*plain)->style, style::kChild | style::kControl | style::k3dLook);
}

TEST(DialogTemplate, EmptyTemplateReadsBack) {
  const auto bytes = MakeEmptyDialogTemplate(0x80C80000, style::kExControlParent, u"Lorven Setup",
                                             8, u"MS Shell Dlg", 10, 20);
  const auto info = ReadDialogTemplate(bytes);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->extended);
  EXPECT_EQ(info->style, 0x80C80000u | style::kSetFont);
  EXPECT_EQ(info->exStyle, style::kExControlParent);
  EXPECT_EQ(info->caption, u"Lorven Setup");
  EXPECT_EQ(info->cx, 10);
  EXPECT_EQ(info->cy, 20);
  // The font follows the caption: point size, weight, italic, charset, face.
  const std::size_t fontAt = 26 + 4 + (12 + 1) * 2;
  EXPECT_EQ(bytes[fontAt], 8);
  EXPECT_EQ(bytes[fontAt + 2] | (bytes[fontAt + 3] << 8), 400);
  EXPECT_EQ(bytes.size(), fontAt + 6 + (12 + 1) * 2);
  EXPECT_EQ(bytes[fontAt + 6], 'M');
}

}  // namespace
}  // namespace mirdane::ui
