// How a DB2 for i column takes a text value, for the embedded stand-in.
//
// The stand-in must refuse what the IBM i refuses, or a batch that works in a
// trial would fail in production: a text longer than a CHAR column, a
// non-number or a number with too many digits for a DECIMAL column. Nothing is
// silently cut or rounded.
#pragma once

#include <cstdint>
#include <string>

#include "base/variant.h"
#include "dbax/provider/sql_type.h"

namespace dbAx::provider::sqlite {

struct Db2Verdict {
  bool accepted = false;
  mirdane::Variant stored;   // what the column holds when accepted
  std::u16string refusal;    // why not, naming the column, the value and the type
};

// Takes `value` (text, or an integer or a real) for `column` of type `type`.
Db2Verdict TakeValue(const SqlType& type, const std::u16string& column,
                     const mirdane::Variant& value);

}  // namespace dbAx::provider::sqlite
