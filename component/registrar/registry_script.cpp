#include "component/registrar/registry_script.h"

#include <cstddef>

#include "base/text.h"

namespace mirdane::component {
namespace {

// Deeper nesting than this is a damaged script, not a registry layout.
constexpr int kMaxDepth = 32;

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool SameWord(const std::u16string& a, const char16_t* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return i == a.size() && !b[i];
}

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\uFEFF';
}

struct Token {
  enum class Kind { Word, Quoted, Open, Close, Equals, End };
  Kind kind = Kind::End;
  std::u16string text;
  std::size_t line = 1;
};

class Parser {
 public:
  Parser(const std::u16string& text, const Replacements& replacements)
      : text_(text), replacements_(replacements) {}

  std::optional<RegistryScript> Parse(std::u16string* error) {
    RegistryScript script;
    if (!Advance()) return Fail(error);
    while (current_.kind != Token::Kind::End) {
      RegistryRoot root;
      if (current_.kind != Token::Kind::Word) {
        fault_ = u"a root key (HKCR, HKLM, ...) was expected";
        return Fail(error);
      }
      root.name = current_.text;
      if (!Advance() || !Expect(Token::Kind::Open, u"'{'") ||
          !ParseKeys(&root.keys, 1)) {
        return Fail(error);
      }
      script.roots.push_back(std::move(root));
    }
    return script;
  }

 private:
  std::optional<RegistryScript> Fail(std::u16string* error) {
    if (error) *error = u"line " + Utf8ToUtf16(std::to_string(current_.line)) + u": " + fault_;
    return std::nullopt;
  }

  // Keys up to and including the closing brace.
  bool ParseKeys(std::vector<RegistryKey>* keys, int depth) {
    if (depth > kMaxDepth) {
      fault_ = u"keys are nested too deeply";
      return false;
    }
    while (current_.kind != Token::Kind::Close) {
      if (current_.kind == Token::Kind::End) {
        fault_ = u"'}' is missing";
        return false;
      }
      if (current_.kind == Token::Kind::Word && SameWord(current_.text, u"val")) {
        fault_ = u"a named value must belong to a key";
        return false;
      }
      RegistryKey key;
      if (!ParseKey(&key, depth)) return false;
      keys->push_back(std::move(key));
    }
    return Advance();
  }

  bool ParseKey(RegistryKey* key, int depth) {
    if (current_.kind == Token::Kind::Word) {
      if (SameWord(current_.text, u"NoRemove")) key->removal = RegistryKey::Removal::NoRemove;
      if (SameWord(current_.text, u"ForceRemove")) key->removal = RegistryKey::Removal::ForceRemove;
      if (SameWord(current_.text, u"Delete")) key->removal = RegistryKey::Removal::Delete;
      if (key->removal != RegistryKey::Removal::Normal && !Advance()) return false;
    }
    if (!Name(&key->name)) return false;
    if (current_.kind == Token::Kind::Equals) {
      RegistryValue value;
      if (!Advance() || !ParseValue(&value)) return false;
      key->defaultValue = std::move(value);
    }
    if (current_.kind != Token::Kind::Open) return true;
    if (!Advance()) return false;
    while (current_.kind == Token::Kind::Word && SameWord(current_.text, u"val")) {
      std::u16string name;
      RegistryValue value;
      if (!Advance() || !Name(&name) || !Expect(Token::Kind::Equals, u"'='") ||
          !ParseValue(&value)) {
        return false;
      }
      key->values.emplace_back(std::move(name), std::move(value));
    }
    return ParseKeys(&key->subkeys, depth + 1);
  }

  // `s 'text'` or `d 'number'`.
  bool ParseValue(RegistryValue* value) {
    if (current_.kind != Token::Kind::Word ||
        !(SameWord(current_.text, u"s") || SameWord(current_.text, u"d"))) {
      fault_ = u"a value type (s or d) was expected";
      return false;
    }
    const bool number = SameWord(current_.text, u"d");
    if (!Advance()) return false;
    std::u16string text;
    if (!Name(&text)) return false;
    if (!number) {
      value->kind = RegistryValue::Kind::Text;
      value->text = std::move(text);
      return true;
    }
    value->kind = RegistryValue::Kind::Number;
    std::uint64_t parsed = 0;
    if (text.empty() || text.size() > 10) {
      fault_ = u"'" + text + u"' is not a 32-bit number";
      return false;
    }
    for (char16_t c : text) {
      if (c < u'0' || c > u'9') {
        fault_ = u"'" + text + u"' is not a 32-bit number";
        return false;
      }
      parsed = parsed * 10 + static_cast<std::uint64_t>(c - u'0');
    }
    if (parsed > 0xFFFFFFFFull) {
      fault_ = u"'" + text + u"' is not a 32-bit number";
      return false;
    }
    value->number = static_cast<std::uint32_t>(parsed);
    return true;
  }

  // A name or text: a word or a quoted text, with its replacements made.
  bool Name(std::u16string* out) {
    if (current_.kind != Token::Kind::Word && current_.kind != Token::Kind::Quoted) {
      fault_ = u"a name was expected";
      return false;
    }
    if (!Expand(current_.text, out)) return false;
    return Advance();
  }

  bool Expand(const std::u16string& raw, std::u16string* out) {
    out->clear();
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != u'%') {
        out->push_back(raw[i]);
        continue;
      }
      const std::size_t close = raw.find(u'%', i + 1);
      if (close == std::u16string::npos) {
        fault_ = u"'%' without its closing '%' in '" + raw + u"'";
        return false;
      }
      const std::u16string name = raw.substr(i + 1, close - i - 1);
      if (name.empty()) {
        out->push_back(u'%');
      } else if (const std::u16string* value = replacements_.Find(name)) {
        out->append(*value);
      } else {
        fault_ = u"no replacement named '" + name + u"'";
        return false;
      }
      i = close;
    }
    return true;
  }

  bool Expect(Token::Kind kind, const char16_t* what) {
    if (current_.kind != kind) {
      fault_ = std::u16string(what) + u" was expected";
      return false;
    }
    return Advance();
  }

  // Reads the next token into current_; false on a lexical fault.
  bool Advance() {
    while (pos_ < text_.size()) {
      const char16_t c = text_[pos_];
      if (c == u'\n') ++line_;
      if (IsSpace(c)) {
        ++pos_;
        continue;
      }
      break;
    }
    current_ = Token{};
    current_.line = line_;
    if (pos_ >= text_.size()) return true;
    const char16_t c = text_[pos_];
    // A brace directly followed by text opens a name ({F6C9D062-...}), not a
    // block: it runs to its closing brace.
    if (c == u'{' && pos_ + 1 < text_.size() && !IsSpace(text_[pos_ + 1]) &&
        text_[pos_ + 1] != u'}') {
      const std::size_t close = text_.find(u'}', pos_);
      if (close == std::u16string::npos) {
        fault_ = u"a name in braces is not closed";
        return false;
      }
      current_.kind = Token::Kind::Word;
      current_.text = text_.substr(pos_, close - pos_ + 1);
      pos_ = close + 1;
      return true;
    }
    if (c == u'{' || c == u'}' || c == u'=') {
      current_.kind = c == u'{' ? Token::Kind::Open
                    : c == u'}' ? Token::Kind::Close
                                : Token::Kind::Equals;
      ++pos_;
      return true;
    }
    if (c == u'\'') {
      current_.kind = Token::Kind::Quoted;
      ++pos_;
      while (true) {
        if (pos_ >= text_.size()) {
          fault_ = u"a quoted text is not closed";
          return false;
        }
        const char16_t q = text_[pos_++];
        if (q == u'\n') ++line_;
        if (q != u'\'') {
          current_.text.push_back(q);
        } else if (pos_ < text_.size() && text_[pos_] == u'\'') {
          current_.text.push_back(u'\'');  // '' is a quote inside a quoted text
          ++pos_;
        } else {
          return true;
        }
      }
    }
    current_.kind = Token::Kind::Word;
    while (pos_ < text_.size()) {
      const char16_t w = text_[pos_];
      if (w == u' ' || w == u'\t' || w == u'\r' || w == u'\n' || w == u'{' || w == u'}' ||
          w == u'=' || w == u'\'') {
        break;
      }
      current_.text.push_back(w);
      ++pos_;
    }
    return true;
  }

  const std::u16string& text_;
  const Replacements& replacements_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  Token current_;
  std::u16string fault_ = u"unreadable script";
};

}  // namespace

void Replacements::Add(const std::u16string& name, const std::u16string& value) {
  if (Find(name)) return;  // the first value added under a name stays
  entries_.emplace_back(name, value);
}

const std::u16string* Replacements::Find(const std::u16string& name) const {
  for (const auto& [key, value] : entries_) {
    if (key.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < key.size() && same; ++i) same = Lower(key[i]) == Lower(name[i]);
    if (same) return &value;
  }
  return nullptr;
}

std::optional<RegistryScript> ParseRegistryScript(const std::u16string& text,
                                                  const Replacements& replacements,
                                                  std::u16string* error) {
  return Parser(text, replacements).Parse(error);
}

}  // namespace mirdane::component
