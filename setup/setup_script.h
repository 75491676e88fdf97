// The setup script: what the host's Administration module drives to set up
// the export for a document class. It is handed the setup data, opened, asked
// to run its pages, and closed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/host_objects.h"
#include "setup/setup_sheet.h"
#include "setup/setup_strings.h"

namespace mirdane {

class CppdSetupScript {
 public:
  // A script that shows its pages through `sheet`; `strings` gives the caption.
  explicit CppdSetupScript(std::shared_ptr<SetupSheet> sheet, StringLoader strings = LoadSetupString);
  CppdSetupScript(const CppdSetupScript&) = delete;
  CppdSetupScript& operator=(const CppdSetupScript&) = delete;

  // Every member answers S_OK (E_POINTER for a null out-parameter); the
  // outcome is in `result`.

  // Nothing to prepare: answers KFX_REL_SUCCESS.
  HRESULT OpenScript(kfx::KfxReturnValue* result);
  // Shows the pages over the stored setup; on OK stores the links and applies.
  HRESULT RunUI(kfx::KfxReturnValue* result);
  // Nothing to close; the setup data stays held.
  HRESULT CloseScript(kfx::KfxReturnValue* result);
  // Acknowledges a batch-class change without changing any setting.
  HRESULT ActionEvent(std::int32_t action, const std::u16string& oldName,
                      const std::u16string& newName, kfx::KfxReturnValue* result);
  // The setup data held, or null.
  HRESULT get_SetupData(std::shared_ptr<kfx::ReleaseSetupData>* data);
  // Holds `data` in place of the setup data held before.
  HRESULT putref_SetupData(std::shared_ptr<kfx::ReleaseSetupData> data);

 private:
  kfx::KfxReturnValue RunSheet(kfx::ReleaseSetupData& data);

  std::shared_ptr<SetupSheet> sheet_;
  StringLoader strings_;
  std::shared_ptr<kfx::ReleaseSetupData> setupData_;
};

}  // namespace mirdane
