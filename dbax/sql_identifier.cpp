#include "dbax/sql_identifier.h"

namespace dbAx {

bool IsSqlIdentifier(std::u16string_view name) {
  if (name.empty() || name.size() > 128) return false;
  if (name[0] >= u'0' && name[0] <= u'9') return false;
  for (const char16_t c : name) {
    const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    const bool digit = c >= u'0' && c <= u'9';
    if (!letter && !digit && c != u'_' && c != u'$' && c != u'#' && c != u'@') return false;
  }
  return true;
}

std::u16string QuoteSqlIdentifier(std::u16string_view name, IdentifierCase folding) {
  std::u16string quoted = u"\"";
  for (char16_t c : name) {
    if (folding == IdentifierCase::Upper && c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    if (folding == IdentifierCase::Lower && c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c == u'"') quoted += u'"';
    quoted += c;
  }
  return quoted + u"\"";
}

}  // namespace dbAx
