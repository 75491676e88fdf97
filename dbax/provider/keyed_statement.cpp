#include "dbax/provider/keyed_statement.h"

#include <cstddef>

#include "base/text.h"

namespace dbAx::provider {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsSymbol(char16_t c) { return c == u',' || c == u'=' || c == u'?' || c == u'.'; }

std::vector<std::u16string> Tokens(const std::u16string& sql) {
  std::vector<std::u16string> tokens;
  std::u16string word;
  const auto flush = [&] {
    if (!word.empty()) tokens.push_back(std::move(word));
    word.clear();
  };
  for (const char16_t c : sql) {
    if (IsBlank(c)) {
      flush();
    } else if (IsSymbol(c)) {
      flush();
      tokens.emplace_back(1, c);
    } else {
      word.push_back(c);
    }
  }
  flush();
  return tokens;
}

// Reads the tokens front to back; the first thing that does not fit stops it
// with a sentence saying what was expected.
class Reader {
 public:
  explicit Reader(std::vector<std::u16string> tokens) : tokens_(std::move(tokens)) {}

  bool ok() const { return problem_.empty(); }
  const std::u16string& problem() const { return problem_; }
  bool AtEnd() const { return at_ >= tokens_.size(); }

  // Whether the next token is `keyword` (any case); takes it when it is.
  bool Take(const char16_t* keyword) {
    if (!ok() || AtEnd() || mirdane::AsciiUpper(tokens_[at_]) != keyword) return false;
    ++at_;
    return true;
  }
  void Expect(const char16_t* keyword) {
    if (ok() && !Take(keyword)) Refuse(std::u16string(u"expected ") + keyword);
  }
  std::u16string Name(const char16_t* what) {
    if (!ok()) return {};
    if (AtEnd()) {
      Refuse(std::u16string(u"expected a ") + what + u" name");
      return {};
    }
    const std::u16string& token = tokens_[at_];
    if (!IsSqlIdentifier(token)) {
      Refuse(std::u16string(u"the ") + what + u" name '" + token +
             u"' is not an SQL identifier (1 to 128 letters, digits, _ $ # @, not starting "
             u"with a digit)");
      return {};
    }
    ++at_;
    return token;
  }
  // COLUMN = ?
  std::u16string Comparison() {
    std::u16string column = Name(u"column");
    Expect(u"=");
    Expect(u"?");
    return column;
  }
  void Refuse(std::u16string problem) {
    if (!ok()) return;
    problem_ = std::move(problem);
    if (at_ < tokens_.size()) problem_ += u" at '" + tokens_[at_] + u"'";
  }

 private:
  std::vector<std::u16string> tokens_;
  std::size_t at_ = 0;
  std::u16string problem_;
};

void ReadTable(Reader& in, KeyedStatement& statement) {
  statement.library = in.Name(u"library");
  in.Expect(u".");
  statement.table = in.Name(u"table");
}

void ReadConditions(Reader& in, KeyedStatement& statement) {
  in.Expect(u"WHERE");
  do {
    statement.conditions.push_back(in.Comparison());
  } while (in.ok() && in.Take(u"AND"));
}

}  // namespace

std::vector<std::u16string> KeyedStatement::ParameterColumns() const {
  std::vector<std::u16string> names;
  if (kind == Kind::Update) names = columns;
  names.insert(names.end(), conditions.begin(), conditions.end());
  return names;
}

ParsedStatement ParseKeyedStatement(const std::u16string& sql) {
  Reader in(Tokens(sql));
  ParsedStatement parsed;
  KeyedStatement& statement = parsed.statement;
  if (in.Take(u"SELECT")) {
    statement.kind = KeyedStatement::Kind::Select;
    do {
      statement.columns.push_back(in.Name(u"column"));
    } while (in.ok() && in.Take(u","));
    in.Expect(u"FROM");
    ReadTable(in, statement);
    ReadConditions(in, statement);
  } else if (in.Take(u"UPDATE")) {
    statement.kind = KeyedStatement::Kind::Update;
    ReadTable(in, statement);
    in.Expect(u"SET");
    do {
      statement.columns.push_back(in.Comparison());
    } while (in.ok() && in.Take(u","));
    ReadConditions(in, statement);
  } else if (in.Take(u"DELETE")) {
    statement.kind = KeyedStatement::Kind::Delete;
    in.Expect(u"FROM");
    ReadTable(in, statement);
    ReadConditions(in, statement);
  } else {
    in.Refuse(u"expected SELECT, UPDATE or DELETE");
  }
  if (in.ok() && !in.AtEnd()) in.Refuse(u"expected the end of the statement");
  if (!in.ok()) {
    parsed.problem = u"The provider runs only commands of the forms SELECT COLUMN, ... FROM "
                     u"LIBRARY.TABLE WHERE COLUMN = ? [AND ...], UPDATE LIBRARY.TABLE SET "
                     u"COLUMN = ?, ... WHERE ... and DELETE FROM LIBRARY.TABLE WHERE ...: " +
                     in.problem() + u", in: " + sql;
    return parsed;
  }
  parsed.valid = true;
  return parsed;
}

}  // namespace dbAx::provider
