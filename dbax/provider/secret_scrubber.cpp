#include "dbax/provider/secret_scrubber.h"

#include <algorithm>
#include <array>

#include "base/text.h"

namespace dbAx::provider {
namespace {

constexpr std::array<std::u16string_view, 2> kPasswordKeys = {u"PWD", u"PASSWORD"};

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool MatchesAt(std::u16string_view text, std::size_t at, std::u16string_view word) {
  if (at + word.size() > text.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Upper(text[at + i]) != Upper(word[i])) return false;
  }
  return true;
}

// Where a keyword's value ends: at the next ';' outside braces, or at the end.
std::size_t ValueEnd(std::u16string_view text, std::size_t start) {
  std::size_t i = start;
  while (i < text.size() && text[i] == u' ') ++i;
  if (i < text.size() && text[i] == u'{') {
    for (++i; i < text.size(); ++i) {
      if (text[i] != u'}') continue;
      if (i + 1 < text.size() && text[i + 1] == u'}') {
        ++i;  // "}}" is a brace inside the value
        continue;
      }
      return i + 1;
    }
    return text.size();
  }
  while (i < text.size() && text[i] != u';') ++i;
  return i;
}

// Finds "KEY =" for a password keyword at `at`; gives where its value starts.
bool PasswordKeyAt(std::u16string_view text, std::size_t at, std::size_t* value_start) {
  // A keyword starts a property: at the start, or after a separator.
  if (at > 0) {
    const char16_t before = text[at - 1];
    if ((before >= u'A' && before <= u'Z') || (before >= u'a' && before <= u'z') ||
        (before >= u'0' && before <= u'9') || before == u'_') {
      return false;
    }
  }
  for (const auto key : kPasswordKeys) {
    if (!MatchesAt(text, at, key)) continue;
    std::size_t i = at + key.size();
    while (i < text.size() && text[i] == u' ') ++i;
    if (i < text.size() && text[i] == u'=') {
      for (++i; i < text.size() && text[i] == u' ';) ++i;
      *value_start = i;
      return true;
    }
  }
  return false;
}

std::u16string HideKeywordValues(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::size_t value_start = 0;
    if (PasswordKeyAt(text, i, &value_start)) {
      out.append(text.substr(i, value_start - i));
      out += kHiddenSecret;
      i = ValueEnd(text, value_start);
      continue;
    }
    out.push_back(text[i++]);
  }
  return out;
}

std::u16string HideText(std::u16string_view text, std::u16string_view secret) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, secret)) {
      out += kHiddenSecret;
      i += secret.size();
      continue;
    }
    out.push_back(text[i++]);
  }
  return out;
}

// The value of a keyword as the driver sees it: braces removed, "}}" as "}".
std::u16string Unbraced(std::u16string_view value) {
  value = mirdane::TrimBlanks(value);
  if (value.size() < 2 || value.front() != u'{' || value.back() != u'}') {
    return std::u16string(value);
  }
  std::u16string out;
  for (std::size_t i = 1; i + 1 < value.size(); ++i) {
    out.push_back(value[i]);
    if (value[i] == u'}' && i + 2 < value.size() && value[i + 1] == u'}') ++i;
  }
  return out;
}

}  // namespace

void SecretScrubber::AddSecret(std::u16string_view secret) {
  if (secret.empty()) return;
  if (std::find(secrets_.begin(), secrets_.end(), secret) != secrets_.end()) return;
  secrets_.emplace_back(secret);
  // Longer secrets first, so that one secret inside another is hidden whole.
  std::sort(secrets_.begin(), secrets_.end(),
            [](const auto& a, const auto& b) { return a.size() > b.size(); });
}

std::vector<std::u16string> SecretScrubber::SecretsOf(std::u16string_view connection_string) {
  std::vector<std::u16string> found;
  for (std::size_t i = 0; i < connection_string.size(); ++i) {
    std::size_t value_start = 0;
    if (!PasswordKeyAt(connection_string, i, &value_start)) continue;
    const std::size_t end = ValueEnd(connection_string, value_start);
    const auto raw = connection_string.substr(value_start, end - value_start);
    found.emplace_back(mirdane::TrimBlanks(raw));
    found.emplace_back(Unbraced(raw));
    i = end;
  }
  return found;
}

void SecretScrubber::AddSecretsOf(std::u16string_view connection_string) {
  for (const auto& secret : SecretsOf(connection_string)) AddSecret(secret);
}

std::u16string MaskPasswords(std::u16string_view text) { return HideKeywordValues(text); }

std::u16string SecretScrubber::Scrub(std::u16string_view text) const {
  std::u16string out = HideKeywordValues(text);
  for (const auto& secret : secrets_) {
    if (mirdane::CodePointCount(secret) < kShortestScrubbedSecret) continue;
    out = HideText(out, secret);
  }
  return out;
}

}  // namespace dbAx::provider
