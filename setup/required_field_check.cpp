#include "setup/required_field_check.h"

#include <initializer_list>

namespace mirdane {
namespace {

constexpr char16_t kMissingString[] = u"???";

std::u16string Load(const StringLoader& strings, unsigned id) {
  std::optional<std::u16string> text;
  if (strings) text = strings(id);
  return text ? *text : std::u16string(kMissingString);
}

// Message formatting with numbered inserts: %1 to %99 take the inserts, %%
// gives a percent sign, %n a line break, %t a tab, %0 ends the text. Inserts
// are copied as they are, so a name holding "%1" is not expanded again. An
// insert number without an insert is left as written.
std::u16string FormatInserts(std::u16string_view text, std::initializer_list<std::u16string> inserts) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'%' || i + 1 >= text.size()) {
      out.push_back(c);
      continue;
    }
    const char16_t next = text[i + 1];
    if (next >= u'1' && next <= u'9') {
      std::size_t number = static_cast<std::size_t>(next - u'0');
      std::size_t end = i + 2;
      if (end < text.size() && text[end] >= u'0' && text[end] <= u'9') {
        number = number * 10 + static_cast<std::size_t>(text[end] - u'0');
        ++end;
      }
      if (number <= inserts.size()) out += *(inserts.begin() + (number - 1));
      else out.append(text.substr(i, end - i));
      i = end - 1;
      continue;
    }
    ++i;
    switch (next) {
      case u'0': return out;
      case u'n': out += u"\r\n"; break;
      case u't': out += u'\t'; break;
      case u'r': out += u'\r'; break;
      default: out.push_back(next); break;  // %% . ! and blank stand for themselves
    }
  }
  return out;
}

}  // namespace

bool IsRequirementMet(const MappedRow& row) {
  const XAFieldEntry* slot = row.entry();
  if (!slot || !slot->required) return true;
  if (slot->sourceType == kNotMapped) return false;
  // A mapping without a source is never stored as a link, so it cannot count
  // as mapped: an empty text constant, and likewise an index field or capture
  // value whose name came back empty.
  return !slot->source.empty();
}

MappedRow* FindFirstUnmetRequirement(const MappingPage& page) {
  for (const auto& group : page.groups()) {
    for (const auto& row : group.rows) {
      if (!IsRequirementMet(*row)) return row.get();
    }
  }
  return nullptr;
}

RequiredFieldTexts MakeRequiredFieldTexts(const std::u16string& shownName,
                                          const StringLoader& strings) {
  RequiredFieldTexts texts;
  texts.title = Load(strings, kIdsRequiredFieldTitle);
  texts.instruction = FormatInserts(Load(strings, kIdsRequiredFieldQuestion), {shownName});
  texts.mapFields = FormatInserts(Load(strings, kIdsMapRequiredFields), {shownName});
  texts.ignoreRequirement = Load(strings, kIdsIgnoreRequirement);
  return texts;
}

MappedRow* CheckRequiredFields(const MappingPage& page, const RequiredFieldPrompt& ask,
                               const StringLoader& strings) {
  MappedRow* unmet = FindFirstUnmetRequirement(page);
  if (!unmet) return nullptr;
  const int answer = ask ? ask(MakeRequiredFieldTexts(unmet->name(), strings)) : kAnswerMapFields;
  // Anything but the second command link, a dialog that could not be shown
  // included, keeps the administrator on the page.
  return answer == kAnswerIgnoreRequirement ? nullptr : unmet;
}

}  // namespace mirdane
