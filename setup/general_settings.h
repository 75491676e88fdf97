// What the General page shows and edits, without the page: read from the
// setup data when the page is first shown, written back when the sheet
// closes with OK.
#pragma once

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

  // Reads every member from the model's setup data; a failed read leaves the
  // member empty. False, and nothing read, without a model or setup data.
  bool Load(const CSetupMappingModel* model);
  // Writes Name, ConnectString, UserName, Password and then serverAPILibrary,
  // exactly as they stand, failures ignored. False, and nothing written,
  // without a model or setup data.
  bool Store(const CSetupMappingModel* model) const;
};

}  // namespace mirdane
