#include "setup/setup_script.h"

#include "setup/setup_mapping_model.h"

namespace mirdane {
namespace {

// Actions 0 (KFX_REL_DOCCLASS_RENAME) to 13 (KFX_REL_END) are acknowledged;
// the unsigned comparison puts every negative action outside them too.
constexpr std::uint32_t kLastSupportedAction = kfx::KFX_REL_END;

}  // namespace

CppdSetupScript::CppdSetupScript(std::shared_ptr<SetupSheet> sheet, StringLoader strings)
    : sheet_(std::move(sheet)), strings_(std::move(strings)) {}

HRESULT CppdSetupScript::OpenScript(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  *result = kfx::KFX_REL_SUCCESS;
  return hr::kOk;
}

HRESULT CppdSetupScript::RunUI(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  // The host sets the setup data first; without it there is nothing to show
  // or to store, and the host hears of it instead of the script crashing.
  if (!setupData_ || !sheet_) {
    *result = kfx::KFX_REL_ERROR;
    return hr::kOk;
  }
  try {
    *result = RunSheet(*setupData_);
  } catch (...) {
    *result = kfx::KFX_REL_ERROR;  // nothing may escape towards the host
  }
  return hr::kOk;
}

kfx::KfxReturnValue CppdSetupScript::RunSheet(kfx::ReleaseSetupData& data) {
  std::optional<std::u16string> caption;
  if (strings_) caption = strings_(kIdsSetupCaption);

  // Built afresh on every run: what the pages show is always what is stored.
  CSetupMappingModel model(&data);
  model.BuildCatalogue();
  model.LoadLinks();              // a failed load shows the columns unmapped
  model.LoadCaptureValueNames();  // a failed load offers no capture values

  if (sheet_->Run(caption.value_or(u""), model) == SheetResult::kOk) {
    model.SaveLinks();  // a failed save leaves the stored links as they were
    data.Apply();       // unchecked: the host stores what it holds
  }
  return kfx::KFX_REL_SUCCESS;
}

HRESULT CppdSetupScript::CloseScript(kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  *result = kfx::KFX_REL_SUCCESS;
  return hr::kOk;
}

HRESULT CppdSetupScript::ActionEvent(std::int32_t action, const std::u16string&,
                                     const std::u16string&, kfx::KfxReturnValue* result) {
  if (!result) return hr::kPointer;
  *result = static_cast<std::uint32_t>(action) <= kLastSupportedAction ? kfx::KFX_REL_SUCCESS
                                                                        : kfx::KFX_REL_UNSUPPORTED;
  return hr::kOk;
}

HRESULT CppdSetupScript::get_SetupData(std::shared_ptr<kfx::ReleaseSetupData>* data) {
  if (!data) return hr::kPointer;
  *data = setupData_;
  return hr::kOk;
}

HRESULT CppdSetupScript::putref_SetupData(std::shared_ptr<kfx::ReleaseSetupData> data) {
  setupData_ = std::move(data);
  return hr::kOk;
}

}  // namespace mirdane
