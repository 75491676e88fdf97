// A dialog template in memory: the items of the dialog's controls in dialog
// units, and the block of bytes the platform's dialog functions take.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirdane::taskdialog {

// Control kinds: the window class and the style bits each adds.
enum class ControlKind : std::uint8_t {
  kIconStatic = 0,  // "Static", SS_ICON
  kButton = 1,      // "Button", tab stop
  kEdit = 2,        // "Edit"
  kStatic = 3,      // "Static"
  kCheckBox = 4,    // "Button", tab stop, automatic check box
  kProgress = 5,    // "msctls_progress32", smooth
  kLink = 6,        // "SysLink"
  kRadio = 7,       // "Button", automatic radio button
};

const char16_t* WindowClassOf(ControlKind kind);
std::uint32_t KindStyle(ControlKind kind);  // child and visible plus the kind's bits

namespace style {
inline constexpr std::uint32_t kChildVisible = 0x50000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;
inline constexpr std::uint32_t kDefaultPushButton = 0x1;
inline constexpr std::uint32_t kCommandLink = 0x14B;  // owner-drawn, icon, left-aligned
inline constexpr std::uint32_t kMarquee = 0x8;
inline constexpr std::uint32_t kDialog = 0x90C00080;  // popup, visible, caption, modal frame
inline constexpr std::uint32_t kCentre = 0x800;
inline constexpr std::uint32_t kMinimizeBox = 0x20000;
inline constexpr std::uint32_t kSystemMenu = 0x80000;
inline constexpr std::uint32_t kRtlExtended = 0x3000;  // right-aligned, right-to-left reading
}  // namespace style

// A rectangle in pixels.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

// The system's dialog base units.
struct DialogBaseUnits {
  int x = 8;
  int y = 16;
};

struct DialogItem {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  std::uint16_t id = 0;
  ControlKind kind = ControlKind::kStatic;
  std::u16string text;
};

struct DialogTemplate {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::int16_t cx = 0;
  std::int16_t cy = 0;
  std::u16string title;
  std::vector<DialogItem> items;
};

// A position in pixels to dialog units with the base units (integer division).
std::int16_t PixelsToUnitsX(int pixels, const DialogBaseUnits& base);
std::int16_t PixelsToUnitsY(int pixels, const DialogBaseUnits& base);
// A size in pixels to dialog units, rounded up: the platform converts the
// units back to pixels, and a control a pixel narrower than its text was
// measured for wraps that text onto a line it has no room for.
std::int16_t SizeToUnitsX(int pixels, const DialogBaseUnits& base);
std::int16_t SizeToUnitsY(int pixels, const DialogBaseUnits& base);

// The template as the platform reads it: the header, no menu, the default
// window class, the title, then each item on a 4-byte boundary with its class
// name and text in UTF-16 and no creation data. No font: the dialog and its
// units are the system font's.
std::vector<std::uint8_t> SerializeTemplate(const DialogTemplate& dialog);

}  // namespace mirdane::taskdialog
