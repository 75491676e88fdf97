// Dialog templates in memory, read and written in one place: the template
// a task dialog is laid out into (controls in dialog units, written as the
// platform's DLGTEMPLATE), and the templates the module carries as DIALOG
// and DIALOGEX resources, read and changed the way a property sheet does (a
// page's template gives the page's title, and the page is created from a
// copy whose styles make it a child of the sheet), and the template of a
// dialog without controls, for the sheet's own frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mirdane::ui {

// Window styles the templates use (the platform's values).
namespace style {
inline constexpr std::uint32_t kChild = 0x40000000;        // WS_CHILD
inline constexpr std::uint32_t kPopup = 0x80000000;        // WS_POPUP
inline constexpr std::uint32_t kVisible = 0x10000000;      // WS_VISIBLE
inline constexpr std::uint32_t kChildVisible = kChild | kVisible;
inline constexpr std::uint32_t kDisabled = 0x08000000;     // WS_DISABLED
inline constexpr std::uint32_t kCaption = 0x00C00000;      // WS_CAPTION
inline constexpr std::uint32_t kSystemMenu = 0x00080000;   // WS_SYSMENU
inline constexpr std::uint32_t kThickFrame = 0x00040000;   // WS_THICKFRAME
inline constexpr std::uint32_t kMinimizeBox = 0x00020000;  // WS_MINIMIZEBOX
inline constexpr std::uint32_t kGroup = 0x00020000;        // WS_GROUP (a control's)
inline constexpr std::uint32_t kTabStop = 0x00010000;      // WS_TABSTOP
inline constexpr std::uint32_t kSetFont = 0x00000040;      // DS_SETFONT
inline constexpr std::uint32_t kModalFrame = 0x00000080;   // DS_MODALFRAME
inline constexpr std::uint32_t k3dLook = 0x00000004;       // DS_3DLOOK
inline constexpr std::uint32_t kControl = 0x00000400;      // DS_CONTROL
inline constexpr std::uint32_t kCentre = 0x00000800;       // DS_CENTER
inline constexpr std::uint32_t kShellFont = 0x00000048;    // DS_SHELLFONT
inline constexpr std::uint32_t kDialog = kPopup | kVisible | kCaption | kModalFrame;
inline constexpr std::uint32_t kDefaultPushButton = 0x1;   // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t kCommandLink = 0x14B;       // owner-drawn, icon, left-aligned
inline constexpr std::uint32_t kMarquee = 0x8;             // PBS_MARQUEE
inline constexpr std::uint32_t kExControlParent = 0x00010000;  // WS_EX_CONTROLPARENT
inline constexpr std::uint32_t kRtlExtended = 0x3000;  // WS_EX_RIGHT | WS_EX_RTLREADING
}  // namespace style

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

// What a template's header says.
struct DialogTemplateInfo {
  bool extended = false;  // DLGTEMPLATEEX rather than DLGTEMPLATE
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::int16_t cx = 0;  // size in dialog units
  std::int16_t cy = 0;
  std::u16string caption;
};

// The header of a template; nothing when the bytes are too short or malformed.
std::optional<DialogTemplateInfo> ReadDialogTemplate(std::span<const std::uint8_t> bytes);

// A copy of a page's template that makes it a control of the sheet: a child
// without caption or frame, hidden until the sheet shows it, whose controls
// take part in the sheet's keyboard navigation. Nothing for a malformed template.
std::optional<std::vector<std::uint8_t>> MakeChildPageTemplate(std::span<const std::uint8_t> bytes);

// A DLGTEMPLATEEX without controls, with `caption` and the font `typeface`
// of `pointSize` points (DS_SETFONT is added to `style`).
std::vector<std::uint8_t> MakeEmptyDialogTemplate(std::uint32_t style, std::uint32_t exStyle,
                                                  const std::u16string& caption,
                                                  std::uint16_t pointSize,
                                                  const std::u16string& typeface,
                                                  std::int16_t cx, std::int16_t cy);

}  // namespace mirdane::ui
