// The task dialog's numbers: the platform's flags, common buttons,
// notifications and messages, and this module's resource ids.
//
// The names are not the platform's macros (TDF_..., TDN_...) so that the
// Windows half can include this header next to <commctrl.h>; the values are
// the platform's, since both dialog paths take the same configuration.
#pragma once

#include <cstdint>

namespace mirdane::taskdialog {

// dwFlags
namespace tdf {
inline constexpr std::uint32_t kEnableHyperlinks = 0x0001;
inline constexpr std::uint32_t kUseHiconMain = 0x0002;
inline constexpr std::uint32_t kUseHiconFooter = 0x0004;
inline constexpr std::uint32_t kAllowDialogCancellation = 0x0008;
inline constexpr std::uint32_t kUseCommandLinks = 0x0010;
inline constexpr std::uint32_t kUseCommandLinksNoIcon = 0x0020;
inline constexpr std::uint32_t kExpandFooterArea = 0x0040;
inline constexpr std::uint32_t kExpandedByDefault = 0x0080;
inline constexpr std::uint32_t kVerificationFlagChecked = 0x0100;
inline constexpr std::uint32_t kShowProgressBar = 0x0200;
inline constexpr std::uint32_t kShowMarqueeProgressBar = 0x0400;
inline constexpr std::uint32_t kCallbackTimer = 0x0800;
inline constexpr std::uint32_t kPositionRelativeToWindow = 0x1000;
inline constexpr std::uint32_t kRtlLayout = 0x2000;
inline constexpr std::uint32_t kNoDefaultRadioButton = 0x4000;
inline constexpr std::uint32_t kCanBeMinimized = 0x8000;
}  // namespace tdf

// dwCommonButtons
namespace tdcbf {
inline constexpr std::uint32_t kOk = 0x01;
inline constexpr std::uint32_t kYes = 0x02;
inline constexpr std::uint32_t kNo = 0x04;
inline constexpr std::uint32_t kCancel = 0x08;
inline constexpr std::uint32_t kRetry = 0x10;
inline constexpr std::uint32_t kClose = 0x20;
}  // namespace tdcbf

// Button ids of the common buttons (the platform's IDOK ... IDCLOSE).
namespace button_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kRetry = 4;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
inline constexpr int kClose = 8;
}  // namespace button_id

// Notification codes sent to the callback.
namespace tdn {
inline constexpr unsigned kCreated = 0;
inline constexpr unsigned kNavigated = 1;
inline constexpr unsigned kButtonClicked = 2;
inline constexpr unsigned kHyperlinkClicked = 3;
inline constexpr unsigned kTimer = 4;
inline constexpr unsigned kDestroyed = 5;
inline constexpr unsigned kRadioButtonClicked = 6;
inline constexpr unsigned kDialogConstructed = 7;
inline constexpr unsigned kVerificationClicked = 8;
inline constexpr unsigned kHelp = 9;
inline constexpr unsigned kExpandoButtonClicked = 10;
}  // namespace tdn

// Messages the dialog answers (WM_USER + n).
namespace tdm {
inline constexpr unsigned kNavigatePage = 0x400 + 101;
inline constexpr unsigned kClickButton = 0x400 + 102;
inline constexpr unsigned kSetMarqueeProgressBar = 0x400 + 103;
inline constexpr unsigned kSetProgressBarState = 0x400 + 104;
inline constexpr unsigned kSetProgressBarRange = 0x400 + 105;
inline constexpr unsigned kSetProgressBarPos = 0x400 + 106;
inline constexpr unsigned kSetProgressBarMarquee = 0x400 + 107;
inline constexpr unsigned kSetElementText = 0x400 + 108;
inline constexpr unsigned kClickRadioButton = 0x400 + 110;
inline constexpr unsigned kEnableButton = 0x400 + 111;
inline constexpr unsigned kEnableRadioButton = 0x400 + 112;
inline constexpr unsigned kClickVerification = 0x400 + 113;
inline constexpr unsigned kUpdateElementText = 0x400 + 114;
inline constexpr unsigned kSetButtonElevationRequiredState = 0x400 + 115;
inline constexpr unsigned kUpdateIcon = 0x400 + 116;
}  // namespace tdm

// Elements of TDM_SET_ELEMENT_TEXT and TDM_UPDATE_ICON.
namespace tde {
inline constexpr unsigned kContent = 0;
inline constexpr unsigned kExpandedInformation = 1;
inline constexpr unsigned kFooter = 2;
inline constexpr unsigned kMainInstruction = 3;
inline constexpr unsigned kIconMain = 0;
inline constexpr unsigned kIconFooter = 1;
}  // namespace tde

// Stock icon values of pszMainIcon / pszFooterIcon.
namespace stock_icon {
inline constexpr std::uintptr_t kWarning = 0xFFFF;
inline constexpr std::uintptr_t kError = 0xFFFE;
inline constexpr std::uintptr_t kInformation = 0xFFFD;
inline constexpr std::uintptr_t kShield = 0xFFFC;
}  // namespace stock_icon

// This module's resources.
namespace resource_id {
inline constexpr unsigned kStringOk = 11005;
inline constexpr unsigned kStringYes = 11006;
inline constexpr unsigned kStringNo = 11007;
inline constexpr unsigned kStringRetry = 11008;
inline constexpr unsigned kStringCancel = 11009;
inline constexpr unsigned kStringClose = 11010;
inline constexpr unsigned kIconWarning = 11020;
inline constexpr unsigned kIconArrow = 11021;
inline constexpr unsigned kIconArrowHot = 11022;
inline constexpr unsigned kIconError = 11023;
inline constexpr unsigned kIconInformation = 11024;
inline constexpr unsigned kIconShield = 11025;
}  // namespace resource_id

// Colours as the platform's COLORREF (0x00BBGGRR).
constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

namespace colour {
inline constexpr std::uint32_t kContent = Rgb(255, 255, 255);
inline constexpr std::uint32_t kBand = Rgb(240, 240, 240);
inline constexpr std::uint32_t kSeparator = Rgb(233, 233, 233);
inline constexpr std::uint32_t kMainInstruction = Rgb(0, 51, 153);
inline constexpr std::uint32_t kLinkText = Rgb(0, 51, 153);
inline constexpr std::uint32_t kLinkTextHot = Rgb(7, 74, 229);
inline constexpr std::uint32_t kLinkFocusFrame = Rgb(178, 240, 255);
inline constexpr std::uint32_t kLinkHotFrame = Rgb(198, 198, 198);
inline constexpr std::uint32_t kLinkPressedFill = Rgb(240, 240, 240);
}  // namespace colour

// The periods of the dialog's window timers, in milliseconds.
inline constexpr unsigned kCallbackTimerId = 1;
inline constexpr unsigned kCallbackTimerPeriod = 200;
inline constexpr unsigned kAnimationTimerId = 2;
inline constexpr unsigned kAnimationTimerPeriod = 25;
inline constexpr unsigned kMarqueeUpdatePeriod = 20;

// Texts of the expando button when the configuration names none.
inline constexpr char16_t kDefaultCollapsedText[] = u"See &details >>";
inline constexpr char16_t kDefaultExpandedText[] = u"Hide &details <<";

}  // namespace mirdane::taskdialog
