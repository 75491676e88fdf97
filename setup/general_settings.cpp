#include "setup/general_settings.h"

#include "setup/export_settings.h"
#include "setup/setup_mapping_model.h"

namespace mirdane {
namespace {

// The host's getters are unchecked; a failed one must not leave half a text
// or an earlier value behind.
template <typename Getter>
std::u16string ReadText(kfx::ReleaseSetupData& data, Getter getter) {
  std::u16string text;
  if ((data.*getter)(&text) != hr::kOk) text.clear();
  return text;
}

// Whether the setup data holds the ledger switched on, as the release reads it.
bool StoredLedgerSwitch(kfx::ReleaseSetupData& data) {
  std::u16string value;
  ReadCustomProperty(data, kReleaseLedger, &value, u"");
  return value == kReleaseLedgerOn;
}

}  // namespace

bool GeneralSettings::Load(const CSetupMappingModel* model) {
  kfx::ReleaseSetupData* data = model ? model->setupData() : nullptr;
  if (!data) return false;
  batchClassName = ReadText(*data, &kfx::ReleaseSetupData::get_BatchClassName);
  docClassName = ReadText(*data, &kfx::ReleaseSetupData::get_DocClassName);
  name = ReadText(*data, &kfx::ReleaseSetupData::get_Name);
  connectString = ReadText(*data, &kfx::ReleaseSetupData::get_ConnectString);
  userName = ReadText(*data, &kfx::ReleaseSetupData::get_UserName);
  password = ReadText(*data, &kfx::ReleaseSetupData::get_Password);
  ReadCustomProperty(*data, kServerApiLibrary, &apiLibrary, u"");
  releaseLedger = StoredLedgerSwitch(*data);
  return true;
}

bool GeneralSettings::Store(const CSetupMappingModel* model) const {
  kfx::ReleaseSetupData* data = model ? model->setupData() : nullptr;
  if (!data) return false;
  // Unchecked, in the host's order; nothing is stored for good before Apply.
  data->put_Name(name);
  data->put_ConnectString(connectString);
  data->put_UserName(userName);
  data->put_Password(password);
  WriteCustomProperty(*data, kServerApiLibrary, apiLibrary);
  // Only a change is written: an unchanged switch leaves the collection, and
  // so the stored setup, exactly as it was. Any value but "1" is off, as the
  // release reads it.
  if (releaseLedger && *releaseLedger != StoredLedgerSwitch(*data)) {
    if (*releaseLedger) WriteCustomProperty(*data, kReleaseLedger, kReleaseLedgerOn);
    else RemoveCustomProperty(*data, kReleaseLedger);
  }
  return true;
}

}  // namespace mirdane
