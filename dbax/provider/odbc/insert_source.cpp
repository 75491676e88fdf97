#include "dbax/provider/odbc/insert_source.h"

#include <vector>

#include "base/text.h"
#include "dbax/sql_identifier.h"

namespace dbAx::provider::odbc {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// Splits at blanks.
std::vector<std::u16string> Words(const std::u16string& sql) {
  std::vector<std::u16string> words;
  std::u16string word;
  for (const char16_t c : sql) {
    if (IsBlank(c)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

InsertSource Refused(std::u16string problem) {
  InsertSource source;
  source.problem = std::move(problem);
  return source;
}

}  // namespace

std::u16string InsertSource::DescribeQuery(IdentifierCase folding) const {
  return u"SELECT * FROM " + QualifiedTable(folding) + u" WHERE 1=0";
}

InsertSource ParseInsertSource(const std::u16string& sql) {
  auto words = Words(sql);
  // "1=0", "1 =0", "1= 0" and "1 = 0" all read as one condition.
  while (words.size() > 6) {
    words[5] += words[6];
    words.erase(words.begin() + 6);
  }
  const auto upper = [&](std::size_t i) { return mirdane::AsciiUpper(words[i]); };
  const bool shaped = words.size() == 6 && upper(0) == u"SELECT" && words[1] == u"*" &&
                      upper(2) == u"FROM" && upper(4) == u"WHERE" && words[5] == u"1=0";
  if (!shaped) {
    return Refused(u"The ODBC provider opens only sources of the form SELECT * FROM "
                   u"LIBRARY.TABLE WHERE 1=0, not: " + sql);
  }
  const std::u16string& name = words[3];
  const auto dot = name.find(u'.');
  if (dot == std::u16string::npos) {
    return Refused(u"The source names the table " + name +
                   u" without its library (LIBRARY.TABLE): " + sql);
  }
  InsertSource source;
  source.library = name.substr(0, dot);
  source.table = name.substr(dot + 1);
  if (!IsSqlIdentifier(source.library)) {
    return Refused(u"The library name '" + source.library +
                   u"' is not an SQL identifier (1 to 128 letters, digits, _ $ # @, not "
                   u"starting with a digit).");
  }
  if (!IsSqlIdentifier(source.table)) {
    return Refused(u"The table name '" + source.table +
                   u"' is not an SQL identifier (1 to 128 letters, digits, _ $ # @, not "
                   u"starting with a digit).");
  }
  source.valid = true;
  return source;
}

}  // namespace dbAx::provider::odbc
