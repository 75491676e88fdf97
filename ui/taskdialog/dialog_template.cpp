#include "ui/taskdialog/dialog_template.h"

namespace mirdane::taskdialog {

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

namespace {

std::int16_t CeilDiv(int numerator, int denominator) {
  return static_cast<std::int16_t>(numerator <= 0 ? numerator / denominator
                                                   : (numerator + denominator - 1) / denominator);
}

}  // namespace

std::int16_t SizeToUnitsX(int pixels, const DialogBaseUnits& base) {
  return CeilDiv(pixels * 4, base.x);
}

std::int16_t SizeToUnitsY(int pixels, const DialogBaseUnits& base) {
  return CeilDiv(pixels * 8, base.y);
}

namespace {

class TemplateWriter {
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

}  // namespace

std::vector<std::uint8_t> SerializeTemplate(const DialogTemplate& dialog) {
  TemplateWriter out;
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

}  // namespace mirdane::taskdialog
