#include "ui/dialog_template.h"

namespace mirdane::ui {
namespace {

// Offsets of the fields a sheet reads or changes.
constexpr std::size_t kExHeaderSize = 26;  // dlgVer .. cy of DLGTEMPLATEEX
constexpr std::size_t kExExStyleAt = 8;
constexpr std::size_t kExStyleAt = 12;
constexpr std::size_t kExCxAt = 22;
constexpr std::size_t kHeaderSize = 18;  // style .. cy of DLGTEMPLATE
constexpr std::size_t kStyleAt = 0;
constexpr std::size_t kExStyleAtPlain = 4;
constexpr std::size_t kCxAt = 14;

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool Word(std::size_t at, std::uint16_t* value) const {
    if (at + 2 > bytes_.size()) return false;
    *value = static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
    return true;
  }
  bool Dword(std::size_t at, std::uint32_t* value) const {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!Word(at, &low) || !Word(at + 2, &high)) return false;
    *value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
  }
  // A text ended by a zero unit, starting at `*at`; `*at` moves past it.
  bool Text(std::size_t* at, std::u16string* text) const {
    text->clear();
    for (;;) {
      std::uint16_t unit = 0;
      if (!Word(*at, &unit)) return false;
      *at += 2;
      if (unit == 0) return true;
      text->push_back(static_cast<char16_t>(unit));
    }
  }
  // A menu or class field: nothing (0), an ordinal (0xFFFF, number) or a text.
  bool NameOrOrdinal(std::size_t* at) const {
    std::uint16_t first = 0;
    if (!Word(*at, &first)) return false;
    if (first == 0) {
      *at += 2;
      return true;
    }
    if (first == 0xFFFF) {
      *at += 4;
      return *at <= bytes_.size();
    }
    std::u16string ignored;
    return Text(at, &ignored);
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutWord(out, static_cast<std::uint16_t>(value & 0xFFFF));
  PutWord(out, static_cast<std::uint16_t>(value >> 16));
}

void PutDwordAt(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutText(std::vector<std::uint8_t>& out, const std::u16string& text) {
  for (const char16_t unit : text) PutWord(out, static_cast<std::uint16_t>(unit));
  PutWord(out, 0);
}

}  // namespace

std::optional<DialogTemplateInfo> ReadDialogTemplate(std::span<const std::uint8_t> bytes) {
  const Reader read(bytes);
  DialogTemplateInfo info;
  std::uint16_t version = 0;
  std::uint16_t signature = 0;
  if (!read.Word(0, &version) || !read.Word(2, &signature)) return std::nullopt;
  info.extended = version == 1 && signature == 0xFFFF;
  std::size_t at = 0;
  std::uint16_t cx = 0;
  std::uint16_t cy = 0;
  if (info.extended) {
    if (!read.Dword(kExExStyleAt, &info.exStyle) || !read.Dword(kExStyleAt, &info.style) ||
        !read.Word(kExCxAt, &cx) || !read.Word(kExCxAt + 2, &cy)) {
      return std::nullopt;
    }
    at = kExHeaderSize;
  } else {
    if (!read.Dword(kStyleAt, &info.style) || !read.Dword(kExStyleAtPlain, &info.exStyle) ||
        !read.Word(kCxAt, &cx) || !read.Word(kCxAt + 2, &cy)) {
      return std::nullopt;
    }
    at = kHeaderSize;
  }
  info.cx = static_cast<std::int16_t>(cx);
  info.cy = static_cast<std::int16_t>(cy);
  if (!read.NameOrOrdinal(&at) || !read.NameOrOrdinal(&at) || !read.Text(&at, &info.caption)) {
    return std::nullopt;
  }
  return info;
}

std::optional<std::vector<std::uint8_t>> MakeChildPageTemplate(std::span<const std::uint8_t> bytes) {
  const auto info = ReadDialogTemplate(bytes);
  if (!info) return std::nullopt;
  std::uint32_t style = info->style;
  style &= ~(kStylePopup | kStyleCaption | kStyleSysMenu | kStyleThickFrame | kStyleModalFrame |
             kStyleVisible | kStyleDisabled);
  style |= kStyleChild | kStyleControl | kStyle3dLook;
  const std::uint32_t exStyle = info->exStyle | kExStyleControlParent;
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
  PutDwordAt(copy, info->extended ? kExStyleAt : kStyleAt, style);
  PutDwordAt(copy, info->extended ? kExExStyleAt : kExStyleAtPlain, exStyle);
  return copy;
}

std::vector<std::uint8_t> MakeEmptyDialogTemplate(std::uint32_t style, std::uint32_t exStyle,
                                                  const std::u16string& caption,
                                                  std::uint16_t pointSize,
                                                  const std::u16string& typeface,
                                                  std::int16_t cx, std::int16_t cy) {
  std::vector<std::uint8_t> out;
  PutWord(out, 1);       // dlgVer
  PutWord(out, 0xFFFF);  // signature
  PutDword(out, 0);      // helpID
  PutDword(out, exStyle);
  PutDword(out, style | kStyleSetFont);
  PutWord(out, 0);  // no controls
  PutWord(out, 0);  // x
  PutWord(out, 0);  // y
  PutWord(out, static_cast<std::uint16_t>(cx));
  PutWord(out, static_cast<std::uint16_t>(cy));
  PutWord(out, 0);  // no menu
  PutWord(out, 0);  // the dialog class
  PutText(out, caption);
  PutWord(out, pointSize);
  PutWord(out, 400);  // FW_NORMAL
  out.push_back(0);   // not italic
  out.push_back(1);   // DEFAULT_CHARSET
  PutText(out, typeface);
  return out;
}

}  // namespace mirdane::ui
