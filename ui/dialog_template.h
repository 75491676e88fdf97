// Dialog templates as the module carries them (DIALOG and DIALOGEX
// resources), read and changed the way a property sheet does: a page's
// template gives the page's title, and the page is created from a copy
// whose styles make it a child of the sheet. And the template of a dialog
// without controls, for the sheet's own frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mirdane::ui {

// Window styles the templates use (the platform's values).
inline constexpr std::uint32_t kStyleChild = 0x40000000;        // WS_CHILD
inline constexpr std::uint32_t kStylePopup = 0x80000000;        // WS_POPUP
inline constexpr std::uint32_t kStyleVisible = 0x10000000;      // WS_VISIBLE
inline constexpr std::uint32_t kStyleDisabled = 0x08000000;     // WS_DISABLED
inline constexpr std::uint32_t kStyleCaption = 0x00C00000;      // WS_CAPTION
inline constexpr std::uint32_t kStyleSysMenu = 0x00080000;      // WS_SYSMENU
inline constexpr std::uint32_t kStyleThickFrame = 0x00040000;   // WS_THICKFRAME
inline constexpr std::uint32_t kStyleSetFont = 0x00000040;      // DS_SETFONT
inline constexpr std::uint32_t kStyleModalFrame = 0x00000080;   // DS_MODALFRAME
inline constexpr std::uint32_t kStyle3dLook = 0x00000004;       // DS_3DLOOK
inline constexpr std::uint32_t kStyleControl = 0x00000400;      // DS_CONTROL
inline constexpr std::uint32_t kStyleShellFont = 0x00000048;    // DS_SHELLFONT
inline constexpr std::uint32_t kExStyleControlParent = 0x00010000;  // WS_EX_CONTROLPARENT

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
