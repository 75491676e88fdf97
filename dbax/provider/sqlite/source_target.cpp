#include "dbax/provider/sqlite/source_target.h"

#include "base/text.h"

namespace dbAx::provider::sqlite {
namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::u16string Unquoted(std::u16string_view name) {
  if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') {
    return std::u16string(name.substr(1, name.size() - 2));
  }
  return std::u16string(name);
}

}  // namespace

SourceTarget SourceTargetOf(const std::u16string& sql) {
  SourceTarget target;
  const std::u16string upper = mirdane::AsciiUpper(sql);
  std::size_t at = 0;
  while ((at = upper.find(u"FROM", at)) != std::u16string::npos) {
    const bool starts = at == 0 || IsSpace(upper[at - 1]);
    const bool ends = at + 4 < upper.size() && IsSpace(upper[at + 4]);
    if (starts && ends) break;
    at += 4;
  }
  if (at == std::u16string::npos) return target;
  std::size_t begin = at + 4;
  while (begin < sql.size() && IsSpace(sql[begin])) ++begin;
  std::size_t end = begin;
  while (end < sql.size() && !IsSpace(sql[end]) && sql[end] != u';' && sql[end] != u',' &&
         sql[end] != u')') {
    ++end;
  }
  const std::u16string_view name = std::u16string_view(sql).substr(begin, end - begin);
  if (name.empty()) return target;
  target.found = true;
  target.begin = begin;
  target.end = end;
  const auto dot = name.find(u'.');
  if (dot == std::u16string_view::npos) {
    target.table = Unquoted(name);
  } else {
    target.qualified = true;
    target.library = Unquoted(name.substr(0, dot));
    target.table = Unquoted(name.substr(dot + 1));
  }
  return target;
}

}  // namespace dbAx::provider::sqlite
