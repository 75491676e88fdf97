// A provider value bound to a statement parameter as the stand-in stores it:
// texts as UTF-8, doubles, integers, everything else (empty, null) as NULL.
#pragma once

#include <sqlite3.h>

#include <string>

#include "base/text.h"
#include "base/variant.h"

namespace dbAx::provider {

// A text is bound from `utf8`, whose storage is reused and which must live
// until the statement has run.
inline void BindValue(sqlite3_stmt* statement, int parameter, const mirdane::Variant& value,
                      std::string* utf8) {
  if (const auto* text = value.AsText()) {
    mirdane::AssignUtf8(*text, utf8);
    sqlite3_bind_text(statement, parameter, utf8->data(), static_cast<int>(utf8->size()),
                      SQLITE_STATIC);
  } else if (value.type() == mirdane::VarType::R8) {
    sqlite3_bind_double(statement, parameter, *value.AsDouble());
  } else if (const auto integer = value.AsInteger()) {
    sqlite3_bind_int64(statement, parameter, *integer);
  } else {
    sqlite3_bind_null(statement, parameter);
  }
}

}  // namespace dbAx::provider
