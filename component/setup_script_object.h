// The setup script as a COM object: coclass CppdSetupScript, the dual
// interface IKfxReleaseSetupScript over the setup in setup/.
#pragma once

#include "component/mirdane_interfaces.h"
#include "component/script_object.h"
#include "setup/setup_script.h"
#include "win32/com_ptr.h"

namespace mirdane::component {

class CSetupScriptObject final
    : public ScriptObject<IKfxReleaseSetupScript, &IID_IKfxReleaseSetupScript> {
 public:
  explicit CSetupScriptObject(IUnknown* outer);

  // Every member answers S_OK (E_POINTER for a missing out-parameter); the
  // outcome of a script operation is in its KfxReturnValue.
  ::HRESULT STDMETHODCALLTYPE OpenScript(KfxReturnValue* result) override;
  ::HRESULT STDMETHODCALLTYPE RunUI(KfxReturnValue* result) override;
  ::HRESULT STDMETHODCALLTYPE CloseScript(KfxReturnValue* result) override;
  ::HRESULT STDMETHODCALLTYPE ActionEvent(KfxActionValue action, BSTR info, BSTR info2,
                                          KfxReturnValue* result) override;
  // The host's setup data as it was handed over, or null.
  ::HRESULT STDMETHODCALLTYPE get_SetupData(IReleaseSetupData** data) override;
  // Holds the host's setup data (any automation object).
  ::HRESULT STDMETHODCALLTYPE putref_SetupData(IReleaseSetupData* data) override;

 protected:
  bool InvokeByHand(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    ::HRESULT* answer) override;

 private:
  ::HRESULT HoldSetupData(IUnknown* data);

  CppdSetupScript script_;
  win32::ComPtr<IDispatch> setupData_;
};

}  // namespace mirdane::component
