// The platform's own wording of an HRESULT.
#pragma once

#include <optional>
#include <string>

#include "base/hresult.h"

namespace mirdane {

// The system message table's text for `result` (neutral language, inserts not
// expanded), exactly as the system gives it, or nothing when it has none.
// Windows asks FormatMessage; elsewhere a table of the common HRESULTs holds
// the same texts.
std::optional<std::u16string> LookUpSystemMessage(HRESULT result);

// The text COM error reports show for `result`: the system message without
// its trailing line break, else "IDispatch error #n" for the range that
// automation reserves for dispatch errors, else "Unknown error 0x...".
std::u16string HresultText(HRESULT result);

}  // namespace mirdane
