// What the General page shows and edits, without the page: read from the
// setup data when the page is first shown, written back when the sheet
// closes with OK.
#pragma once

#include <optional>
#include <string>

namespace mirdane {

class CSetupMappingModel;

struct GeneralSettings {
  std::u16string batchClassName;  // shown only
  std::u16string docClassName;    // shown only
  std::u16string name;            // the instance name the host lists the export under
  std::u16string connectString;   // the IBM i server
  std::u16string userName;
  std::u16string password;
  std::u16string apiLibrary;      // custom property serverAPILibrary
  // "Release each document only once": custom property releaseLedger = "1".
  // Empty leaves the property as it is stored.
  std::optional<bool> releaseLedger;

  // Reads every member from the model's setup data; a failed read leaves the
  // member empty. False, and nothing read, without a model or setup data.
  bool Load(const CSetupMappingModel* model);
  // Writes Name, ConnectString, UserName, Password and then serverAPILibrary,
  // exactly as they stand, failures ignored; then, when releaseLedger holds
  // a choice that differs from what is stored, releaseLedger = "1" for on,
  // and for off the property removed (a setup that never had it keeps its
  // bytes). False, and nothing written, without a model or setup data.
  bool Store(const CSetupMappingModel* model) const;
};

}  // namespace mirdane
