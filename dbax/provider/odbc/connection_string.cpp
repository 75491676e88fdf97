#include "dbax/provider/odbc/connection_string.h"

#include <array>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace dbAx::provider::odbc {
namespace {

// Splits at semicolons outside braces.
std::vector<std::u16string_view> Properties(std::u16string_view text) {
  std::vector<std::u16string_view> parts;
  std::size_t start = 0;
  bool braced = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') braced = true;
    else if (text[i] == u'}') braced = false;
    else if (text[i] == u';' && !braced) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool KeyIs(std::u16string_view property, std::initializer_list<std::u16string_view> keys) {
  const auto key = mirdane::TrimBlanks(property.substr(0, property.find(u'=')));
  for (const auto k : keys) {
    if (mirdane::EqualsIgnoringAsciiCase(key, k)) return true;
  }
  return false;
}

// A value as ODBC wants it: in braces when it holds characters that would
// end or confuse the property, with '}' doubled.
std::u16string Quoted(const std::u16string& value) {
  const bool plain = value.find_first_of(u";{}=") == std::u16string::npos &&
                     mirdane::TrimBlanks(value).size() == value.size();
  if (plain) return value;
  std::u16string out = u"{";
  for (const char16_t c : value) {
    out.push_back(c);
    if (c == u'}') out.push_back(u'}');
  }
  return out + u"}";
}

// A system name is a host name or an address; anything else could smuggle
// keywords into the connection string.
bool IsSystemName(std::u16string_view name) {
  if (name.empty() || name.size() > 255) return false;
  for (const char16_t c : name) {
    const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                    (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'_' || c == u':';
    if (!ok) return false;
  }
  return true;
}

OdbcConnectionString Refused(std::u16string problem) {
  OdbcConnectionString result;
  result.problem = std::move(problem);
  return result;
}

}  // namespace

std::u16string WithoutPasswords(const std::u16string& connection_string) {
  std::u16string text;
  for (const auto property : Properties(connection_string)) {
    if (mirdane::TrimBlanks(property).empty() || KeyIs(property, {u"PWD", u"PASSWORD"})) continue;
    if (!text.empty()) text += u';';
    text += property;
  }
  return text;
}

OdbcConnectionString BuildConnectionString(const Route& route, const std::u16string& user,
                                           const std::u16string& password) {
  std::u16string text;
  if (route.kind == BackendKind::IbmI) {
    const std::u16string_view system = mirdane::TrimBlanks(route.target);
    if (!IsSystemName(system)) {
      return Refused(u"The IBM i system name '" + route.target +
                     u"' is not a host name or address (letters, digits, '.', '-', '_', ':'); "
                     u"use odbc:CONNECTION-STRING for anything else.");
    }
    text = u"DRIVER={" + std::u16string(kIbmIDriver) + u"};SYSTEM=" + std::u16string(system);
  } else {
    for (const auto property : Properties(route.target)) {
      if (mirdane::TrimBlanks(property).empty()) continue;
      if (!user.empty() && KeyIs(property, {u"UID", u"USER"})) continue;
      if (!password.empty() && KeyIs(property, {u"PWD", u"PASSWORD"})) continue;
      if (!text.empty()) text += u';';
      text += property;
    }
    if (text.empty()) {
      return Refused(u"The data source odbc: names no ODBC connection string (for example "
                     u"odbc:DSN=XA or odbc:DRIVER={...};SERVER=...).");
    }
  }
  if (!user.empty()) text += u";UID=" + Quoted(user);
  if (!password.empty()) text += u";PWD=" + Quoted(password);
  OdbcConnectionString result;
  result.valid = true;
  result.text = std::move(text);
  return result;
}

}  // namespace dbAx::provider::odbc
