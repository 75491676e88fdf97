#include "dbax/provider/routing.h"

#include <array>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace dbAx::provider {
namespace {

constexpr std::u16string_view kAdoPrefix = u"ado:";

// Splits at semicolons outside braces.
std::vector<std::u16string_view> SplitProperties(std::u16string_view text) {
  std::vector<std::u16string_view> parts;
  std::size_t start = 0;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') ++depth;
    else if (text[i] == u'}' && depth > 0) --depth;
    else if (text[i] == u';' && depth == 0) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::u16string_view KeyOf(std::u16string_view property) {
  const auto equals = property.find(u'=');
  return mirdane::TrimBlanks(property.substr(0, equals));
}

// Properties of the OLE DB connection string (IBMDA400 and ADO) that end a
// data source value running across semicolons.
bool IsOleDbProperty(std::u16string_view key) {
  static constexpr std::array<std::u16string_view, 10> kKeys = {
      u"Provider",          u"Force Translate", u"User ID",         u"Password",
      u"Persist Security Info", u"Default Collection", u"Initial Catalog",
      u"Data source",       u"Catalog Library List", u"Convert Date Time To Char"};
  for (const auto known : kKeys) {
    if (mirdane::EqualsIgnoringAsciiCase(key, known)) return true;
  }
  return false;
}

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         mirdane::EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::u16string DataSourceOf(const std::u16string& connection_string) {
  const auto parts = SplitProperties(connection_string);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (!mirdane::EqualsIgnoringAsciiCase(KeyOf(parts[i]), u"Data source")) continue;
    const auto equals = parts[i].find(u'=');
    std::u16string value(mirdane::TrimBlanks(parts[i].substr(equals + 1)));
    std::size_t end = i + 1;
    if (StartsWithIgnoringCase(value, kAdoPrefix)) {
      end = parts.size();
      for (std::size_t j = i + 1; j < parts.size(); ++j) {
        if (mirdane::EqualsIgnoringAsciiCase(KeyOf(parts[j]), u"Force Translate")) end = j;
      }
    } else {
      while (end < parts.size() && !IsOleDbProperty(KeyOf(parts[end]))) ++end;
    }
    for (std::size_t j = i + 1; j < end; ++j) {
      value += u';';
      value += parts[j];
    }
    // A trailing empty property ("...;") is only the separator.
    while (!value.empty() && value.back() == u';') value.pop_back();
    return value;
  }
  return {};
}

Route RouteOf(const std::u16string& data_source) {
  const std::u16string_view source = mirdane::TrimBlanks(data_source);
  if (StartsWithIgnoringCase(source, u"sqlite:")) {
    return {BackendKind::StandIn, std::u16string(source.substr(7))};
  }
  if (StartsWithIgnoringCase(source, u"odbc:")) {
    return {BackendKind::Odbc, std::u16string(source.substr(5))};
  }
  if (StartsWithIgnoringCase(source, kAdoPrefix)) {
    return {BackendKind::Ado, std::u16string(source.substr(kAdoPrefix.size()))};
  }
  return {BackendKind::IbmI, std::u16string(source)};
}

}  // namespace dbAx::provider
