// The setup property sheet as the setup script sees it: the General page and
// the Data Mapping page over one model, run until OK or Cancel. The Windows
// property sheet and the command line's headless sheet implement it.
#pragma once

#include <string>

namespace mirdane {

class CSetupMappingModel;

enum class SheetResult {
  kOk,      // the pages have written the General values into the setup data
  kCancel,  // nothing was written
};

class SetupSheet {
 public:
  SetupSheet() = default;
  SetupSheet(const SetupSheet&) = delete;
  SetupSheet& operator=(const SetupSheet&) = delete;
  virtual ~SetupSheet() = default;

  // Shows the General page, then the Data Mapping page, over `model` under
  // `caption`, modally. On OK the General page has written its values; the
  // Data Mapping page refuses to close while a required column is unmapped,
  // unless the administrator chose to ignore it.
  virtual SheetResult Run(const std::u16string& caption, CSetupMappingModel& model) = 0;
};

}  // namespace mirdane
