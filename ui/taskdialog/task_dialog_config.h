// The platform's task dialog records, field for field, in portable types.
//
// Both dialog paths take the platform's TASKDIALOGCONFIG. The layout core
// reads it through this mirror: the same fields in the same order, packed to
// one byte like the platform's records, with every text, icon, handle and
// callback kept as the pointer-sized value the caller stored (a text is a
// pointer or a string resource id, an icon a handle or a resource id). The
// Windows half checks the two layouts against each other at compile time and
// copies the platform record into this one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mirdane::taskdialog {

#pragma pack(push, 1)

// TASKDIALOG_BUTTON.
struct TaskDialogButton {
  std::int32_t nButtonID = 0;
  std::uintptr_t pszButtonText = 0;  // pointer to UTF-16 text or string resource id
};

// TASKDIALOGCONFIG.
struct TaskDialogConfig {
  std::uint32_t cbSize = 0;
  std::uintptr_t hwndParent = 0;
  std::uintptr_t hInstance = 0;
  std::uint32_t dwFlags = 0;
  std::uint32_t dwCommonButtons = 0;
  std::uintptr_t pszWindowTitle = 0;
  std::uintptr_t mainIcon = 0;  // hMainIcon with TDF_USE_HICON_MAIN, else pszMainIcon
  std::uintptr_t pszMainInstruction = 0;
  std::uintptr_t pszContent = 0;
  std::uint32_t cButtons = 0;
  const TaskDialogButton* pButtons = nullptr;
  std::int32_t nDefaultButton = 0;
  std::uint32_t cRadioButtons = 0;
  const TaskDialogButton* pRadioButtons = nullptr;
  std::int32_t nDefaultRadioButton = 0;
  std::uintptr_t pszVerificationText = 0;
  std::uintptr_t pszExpandedInformation = 0;
  std::uintptr_t pszExpandedControlText = 0;
  std::uintptr_t pszCollapsedControlText = 0;
  std::uintptr_t footerIcon = 0;  // hFooterIcon with TDF_USE_HICON_FOOTER, else pszFooterIcon
  std::uintptr_t pszFooter = 0;
  std::uintptr_t pfCallback = 0;
  std::intptr_t lpCallbackData = 0;
  std::uint32_t cxWidth = 0;
};

#pragma pack(pop)

// 96 bytes where pointers are 4 bytes wide, as the 32-bit host sees it.
inline constexpr std::size_t kTaskDialogConfigSize32 = 96;
static_assert(sizeof(void*) != 4 || sizeof(TaskDialogConfig) == kTaskDialogConfigSize32);

// A button of the configuration's arrays, read without assuming the array's
// alignment (the records are packed).
TaskDialogButton ButtonAt(const TaskDialogButton* array, std::size_t index);

// The `count` buttons of `array` (none when the array is null).
std::vector<TaskDialogButton> ReadButtons(const TaskDialogButton* array, std::uint32_t count);

}  // namespace mirdane::taskdialog
