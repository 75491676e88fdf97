#include "setup/setup_strings.h"

namespace mirdane {
namespace {

struct StringEntry {
  unsigned id;
  const char16_t* text;
};

// A command link's text is its title, a line break and its note.
constexpr StringEntry kSetupStrings[] = {
    {kIdsSetupCaption, u"Lorven Setup"},
    {kIdsRequiredFieldTitle, u"Required field not Mapped"},
    {kIdsRequiredFieldQuestion,
     u"One or more fields that are marked as 'Required' have not been mapped. What would you "
     u"like to do?"},
    {kIdsMapRequiredFields,
     u"Map Required Fields\nReturn to the dialog and map the required fields, beginning with "
     u"'%1'."},
    {kIdsIgnoreRequirement,
     u"Ignore Requirement\nDo not map the Required fields and close this dialog immediately."},
};

}  // namespace

std::optional<std::u16string> LoadSetupString(unsigned id) {
  for (const auto& entry : kSetupStrings) {
    if (entry.id == id) return std::u16string(entry.text);
  }
  return std::nullopt;
}

}  // namespace mirdane
