// The stock icons of the configuration's icon values and the sound each plays.
#pragma once

#include <cstdint>

namespace mirdane::taskdialog {

// The icon resource of a stock value (TD_WARNING_ICON ...), or 0 for any other value.
unsigned StockIconResource(std::uintptr_t value);

// The message-beep sound of the main icon, or 0 for none: the hand for the
// error icon, the exclamation for the warning, the asterisk for information.
// An icon handle (TDF_USE_HICON_MAIN) plays none, whatever its value.
unsigned MainIconSound(std::uintptr_t value, bool isHandle);

}  // namespace mirdane::taskdialog
