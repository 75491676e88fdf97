// IBM i SQL identifiers, for the names the connector puts into SQL text.
#pragma once

#include <string_view>

namespace dbAx {

// Whether `name` is an ordinary IBM i SQL identifier: 1 to 128 letters,
// digits, '_', '$', '#' or '@', not starting with a digit. Only such names are
// ever written into a statement; values always travel as parameters.
bool IsSqlIdentifier(std::u16string_view name);

}  // namespace dbAx
