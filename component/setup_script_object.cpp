#include "component/setup_script_object.h"

#include "component/host_objects/dispatch_host_objects.h"
#include "component/module.h"
#include "component/type_info_dispatch.h"
#include "setup/ui/win32/required_field_dialog.h"
#include "setup/ui/win32/setup_sheet_window.h"

namespace mirdane::component {
namespace {

constexpr DISPID kSetupDataId = 0x60020004;

KfxReturnValue ToHost(kfx::KfxReturnValue value) { return static_cast<KfxReturnValue>(value); }

// The property sheet that RunUI shows inside the host; its required-field
// question goes through the task dialog front end.
std::shared_ptr<SetupSheet> CreateSetupSheet() {
  HINSTANCE module = CmirdaneModule::Instance().ModuleHandle();
  ui::OwnedRequiredFieldPrompt prompt = ui::TaskDialogRequiredFieldPrompt();
  return std::make_shared<ui::SetupSheetWindow>(module, LoadModuleString, std::move(prompt));
}

}  // namespace

CSetupScriptObject::CSetupScriptObject(IUnknown* outer)
    : ScriptObject(outer), script_(CreateSetupSheet(), LoadModuleString) {}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::OpenScript(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.OpenScript(&outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::RunUI(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    // The pages are drawn by comctl32 version 6, from this module's manifest.
    ScopedUiContext ui;
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.RunUI(&outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::CloseScript(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.CloseScript(&outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::ActionEvent(KfxActionValue action, BSTR info,
                                                            BSTR info2, KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.ActionEvent(static_cast<std::int32_t>(action), win32::Bstr::ToText(info),
                        win32::Bstr::ToText(info2), &outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::get_SetupData(IReleaseSetupData** data) {
  if (!data) return E_POINTER;
  *data = reinterpret_cast<IReleaseSetupData*>(setupData_.get());
  if (*data) (*data)->AddRef();
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CSetupScriptObject::putref_SetupData(IReleaseSetupData* data) {
  return Guard([&] { return HoldSetupData(data); });
}

::HRESULT CSetupScriptObject::HoldSetupData(IUnknown* data) {
  win32::ComPtr<IDispatch> dispatch;
  if (data) {
    if (const ::HRESULT r = data->QueryInterface(IID_IDispatch, dispatch.put_void()); FAILED(r)) {
      return r;
    }
  }
  // The same object handed over again keeps its wrapper (and its member ids).
  if (dispatch.get() == setupData_.get()) return S_OK;
  script_.putref_SetupData(WrapReleaseSetupData(dispatch.get()));
  setupData_ = std::move(dispatch);
  return S_OK;
}

bool CSetupScriptObject::InvokeByHand(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                      ::HRESULT* answer) {
  if (id != kSetupDataId) return false;
  if (IsObjectAssignment(flags, params)) {
    win32::ComPtr<IUnknown> object;
    *answer = AssignedObject(*params, &object);
    if (SUCCEEDED(*answer)) *answer = HoldSetupData(object.get());
    return true;
  }
  if (flags & DISPATCH_PROPERTYGET) {
    *answer = ReturnObject(setupData_.get(), params, result);
    return true;
  }
  *answer = DISP_E_MEMBERNOTFOUND;
  return true;
}

}  // namespace mirdane::component
