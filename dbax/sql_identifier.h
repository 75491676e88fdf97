// IBM i SQL identifiers, for the names the connector puts into SQL text.
#pragma once

#include <string>
#include <string_view>

namespace dbAx {

// Whether `name` is an ordinary IBM i SQL identifier: 1 to 128 letters,
// digits, '_', '$', '#' or '@', not starting with a digit. Only such names are
// ever written into a statement; values always travel as parameters.
bool IsSqlIdentifier(std::u16string_view name);

// How a server stores a name written without quotes: DB2 in upper case,
// PostgreSQL in lower case, SQLite as written (and compares without case).
enum class IdentifierCase { Upper, Lower, AsWritten };

// `name` between double quotes, folded as the server folds an unquoted name,
// so that it means the same object as the unquoted name would while '#', '@'
// and '$' can no longer be taken for anything but part of the name.
std::u16string QuoteSqlIdentifier(std::u16string_view name, IdentifierCase folding);

}  // namespace dbAx
