// The check that runs when the Data Mapping page is left: the first required
// column that is not mapped, and the texts of the dialog that asks whether to
// go back and map it or to ignore the requirement.
#pragma once

#include <functional>
#include <string>

#include "setup/mapping_page.h"
#include "setup/setup_strings.h"

namespace mirdane {

// The answers of the required-field dialog.
inline constexpr int kAnswerMapFields = 1;
inline constexpr int kAnswerIgnoreRequirement = 2;

// The dialog's texts; each command link's text is its title, a line break and its note.
struct RequiredFieldTexts {
  std::u16string title;
  std::u16string instruction;
  std::u16string mapFields;          // command link 541
  std::u16string ignoreRequirement;  // command link 542
};

// Shows the dialog and gives kAnswerMapFields or kAnswerIgnoreRequirement.
using RequiredFieldPrompt = std::function<int(const RequiredFieldTexts&)>;

// False when the row's column is required and nothing would be stored for it.
bool IsRequirementMet(const MappedRow& row);

// The first row in grid order whose requirement is not met, or null.
MappedRow* FindFirstUnmetRequirement(const MappingPage& page);

// The dialog's texts for a row shown as `shownName`; a missing string reads "???".
RequiredFieldTexts MakeRequiredFieldTexts(const std::u16string& shownName,
                                          const StringLoader& strings);

// Runs the check as the page is left: null when the page may go, else the
// unmet row that the page must select and stay on.
MappedRow* CheckRequiredFields(const MappingPage& page, const RequiredFieldPrompt& ask,
                               const StringLoader& strings);

}  // namespace mirdane
