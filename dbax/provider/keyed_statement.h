// The statements a command may run besides inserting: reading, changing or
// deleting the rows of one table that a few columns pick out.
//
// As with the insert source, a backend never passes a command's text on: the
// text is taken apart here into checked names, and each backend writes its
// own statement from them, quoted the way its server folds names. Values
// always travel as parameters (one ? each); only names reach the text.
//
// The forms taken (keywords in any case, any blanks):
//   SELECT COL, ... FROM LIBRARY.TABLE WHERE COL = ? [AND COL = ?]...
//   UPDATE LIBRARY.TABLE SET COL = ?, ... WHERE COL = ? [AND COL = ?]...
//   DELETE FROM LIBRARY.TABLE WHERE COL = ? [AND COL = ?]...
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dbax/sql_identifier.h"

namespace dbAx::provider {

struct KeyedStatement {
  enum class Kind { Select, Update, Delete };

  Kind kind = Kind::Select;
  std::u16string library;
  std::u16string table;
  // SELECT: the columns read, in order. UPDATE: the columns set, in order.
  std::vector<std::u16string> columns;
  // The columns compared with a parameter, all of which must match.
  std::vector<std::u16string> conditions;

  // The columns the parameters belong to, in parameter order: for an UPDATE
  // the columns set and then the conditions, otherwise the conditions.
  std::vector<std::u16string> ParameterColumns() const;

  // The statement with every name quoted by `quote`, which gives a column
  // name as the server must read it; `table` is the qualified table name.
  template <typename Quote>
  std::u16string Text(const std::u16string& qualified_table, Quote quote) const {
    return Text(qualified_table, quote, [&](const std::u16string& name) { return quote(name) + u" = ?"; });
  }
  // The same with each condition written by `compare` ("COL = ?").
  template <typename Quote, typename Compare>
  std::u16string Text(const std::u16string& qualified_table, Quote quote, Compare compare) const;
};

struct ParsedStatement {
  bool valid = false;
  KeyedStatement statement;
  std::u16string problem;  // why the text is refused, when it is
};

ParsedStatement ParseKeyedStatement(const std::u16string& sql);

template <typename Quote, typename Compare>
std::u16string KeyedStatement::Text(const std::u16string& qualified_table, Quote quote,
                                    Compare compare) const {
  const auto list = [&](const std::vector<std::u16string>& names, const char16_t* tail,
                        const char16_t* separator) {
    std::u16string out;
    for (const auto& name : names) {
      if (!out.empty()) out += separator;
      out += quote(name) + tail;
    }
    return out;
  };
  std::u16string where = u" WHERE ";
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    if (i > 0) where += u" AND ";
    where += compare(conditions[i]);
  }
  switch (kind) {
    case Kind::Select:
      return u"SELECT " + list(columns, u"", u", ") + u" FROM " + qualified_table + where;
    case Kind::Update:
      return u"UPDATE " + qualified_table + u" SET " + list(columns, u" = ?", u", ") + where;
    case Kind::Delete:
      return u"DELETE FROM " + qualified_table + where;
  }
  return {};
}

}  // namespace dbAx::provider
