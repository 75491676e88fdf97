// The setup sheet without windows: the General page's fields and the Data
// Mapping page's choices come from a list of edits (the command line's), made
// through the same page logic and menu commands as the Windows sheet, and the
// sheet is closed with OK from the Data Mapping page.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup/general_settings.h"
#include "setup/required_field_check.h"
#include "setup/setup_sheet.h"

namespace mirdane {

struct HeadlessEdits {
  // General page fields to change; the others keep what the setup holds.
  std::optional<std::u16string> name;
  std::optional<std::u16string> connectString;
  std::optional<std::u16string> userName;
  std::optional<std::u16string> password;
  std::optional<std::u16string> apiLibrary;
  // The General page's "Release each document only once" checked or not
  // (custom property releaseLedger "1", or removed); unchanged when not given.
  std::optional<bool> releaseLedger;
  // Column (identifier, or a caption naming one column) and mapping
  // (index:NAME, value:NAME, const:TEXT or none), applied in order.
  std::vector<std::pair<std::u16string, std::u16string>> mappings;
  bool ignoreRequired = false;     // answer the required-field dialog with "Ignore Requirement"
  bool displayFieldNames = false;  // rows named by identifier, as with "Display Field Names"
};

class HeadlessSetupSheet final : public SetupSheet {
 public:
  explicit HeadlessSetupSheet(HeadlessEdits edits, StringLoader strings = LoadSetupString);

  // Makes the edits; OK when all could be made and the required-field check
  // let the page go, Cancel otherwise.
  SheetResult Run(const std::u16string& caption, CSetupMappingModel& model) override;

  // Why the edits could not be made (an unknown column or source); empty otherwise.
  const std::u16string& refusal() const { return refusal_; }
  // The required-field dialog's texts, when the check found an unmapped column.
  const std::optional<RequiredFieldTexts>& requiredField() const { return requiredField_; }
  // Whether the sheet stayed open on an unmapped required column (and so was cancelled).
  bool stoppedAtRequiredField() const { return stoppedAtRequiredField_; }
  // The first required column left unmapped, "UAGYCPP.GYH6CD (Transaction type)"; empty when none.
  const std::u16string& unmappedColumn() const { return unmappedColumn_; }

 private:
  bool ApplyMapping(MappingPage& page, const std::u16string& column, const std::u16string& mapping);
  MappedRow* FindColumn(MappingPage& page, const std::u16string& column);

  HeadlessEdits edits_;
  StringLoader strings_;
  std::u16string refusal_;
  std::optional<RequiredFieldTexts> requiredField_;
  bool stoppedAtRequiredField_ = false;
  std::u16string unmappedColumn_;
};

}  // namespace mirdane
