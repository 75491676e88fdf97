#include "ui/dialog_template.h"

#include <utility>

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

// Little-endian words and texts, appended.
class Writer {
 public:
  void U16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void I16(std::int16_t value) { U16(static_cast<std::uint16_t>(value)); }
  void U32(std::uint32_t value) {
    U16(static_cast<std::uint16_t>(value & 0xFFFF));
    U16(static_cast<std::uint16_t>(value >> 16));
  }
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void Text(const std::u16string& text) {
    for (const char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
    U16(0);
  }
  void AlignTo4() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Overwrites the double word at `at` of a template already read.
void PutDwordAt(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::int16_t CeilDiv(int numerator, int denominator) {
  return static_cast<std::int16_t>(numerator <= 0 ? numerator / denominator
                                                   : (numerator + denominator - 1) / denominator);
}

}  // namespace

const char16_t* WindowClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kIconStatic:
    case ControlKind::kStatic:
      return u"Static";
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadio:
      return u"Button";
    case ControlKind::kEdit:
      return u"Edit";
    case ControlKind::kProgress:
      return u"msctls_progress32";
    case ControlKind::kLink:
      return u"SysLink";
  }
  return u"Static";
}

std::uint32_t KindStyle(ControlKind kind) {
  switch (kind) {
    case ControlKind::kIconStatic:
      return style::kChildVisible | 0x3;
    case ControlKind::kButton:
      return style::kChildVisible | style::kTabStop;
    case ControlKind::kCheckBox:
      return style::kChildVisible | style::kTabStop | 0x3;
    case ControlKind::kProgress:
      return style::kChildVisible | 0x1;
    case ControlKind::kRadio:
      return style::kChildVisible | 0x9;
    case ControlKind::kEdit:
    case ControlKind::kStatic:
    case ControlKind::kLink:
      return style::kChildVisible;
  }
  return style::kChildVisible;
}

std::int16_t PixelsToUnitsX(int pixels, const DialogBaseUnits& base) {
  return static_cast<std::int16_t>(pixels * 4 / base.x);
}

std::int16_t PixelsToUnitsY(int pixels, const DialogBaseUnits& base) {
  return static_cast<std::int16_t>(pixels * 8 / base.y);
}

std::int16_t SizeToUnitsX(int pixels, const DialogBaseUnits& base) {
  return CeilDiv(pixels * 4, base.x);
}

std::int16_t SizeToUnitsY(int pixels, const DialogBaseUnits& base) {
  return CeilDiv(pixels * 8, base.y);
}

std::vector<std::uint8_t> SerializeTemplate(const DialogTemplate& dialog) {
  Writer out;
  out.U32(dialog.style);
  out.U32(dialog.exStyle);
  out.U16(static_cast<std::uint16_t>(dialog.items.size()));
  out.I16(dialog.x);
  out.I16(dialog.y);
  out.I16(dialog.cx);
  out.I16(dialog.cy);
  out.U16(0);  // no menu
  out.U16(0);  // the default dialog window class
  out.Text(dialog.title);
  for (const DialogItem& item : dialog.items) {
    out.AlignTo4();
    out.U32(item.style);
    out.U32(item.exStyle);
    out.I16(item.x);
    out.I16(item.y);
    out.I16(item.cx);
    out.I16(item.cy);
    out.U16(item.id);
    out.Text(WindowClassOf(item.kind));
    out.Text(item.text);
    out.U16(0);  // no creation data
  }
  return out.Take();
}

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
  style &= ~(style::kPopup | style::kCaption | style::kSystemMenu | style::kThickFrame | style::kModalFrame |
             style::kVisible | style::kDisabled);
  style |= style::kChild | style::kControl | style::k3dLook;
  const std::uint32_t exStyle = info->exStyle | style::kExControlParent;
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
  Writer out;
  out.U16(1);       // dlgVer
  out.U16(0xFFFF);  // signature
  out.U32(0);       // helpID
  out.U32(exStyle);
  out.U32(style | style::kSetFont);
  out.U16(0);  // no controls
  out.I16(0);  // x
  out.I16(0);  // y
  out.I16(cx);
  out.I16(cy);
  out.U16(0);  // no menu
  out.U16(0);  // the dialog class
  out.Text(caption);
  out.U16(pointSize);
  out.U16(400);  // FW_NORMAL
  out.Byte(0);   // not italic
  out.Byte(1);   // DEFAULT_CHARSET
  out.Text(typeface);
  return out.Take();
}

}  // namespace mirdane::ui
