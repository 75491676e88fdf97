// The release script as a COM object: coclass LorvenExportConnector, the
// dual interface IKfxReleaseScript over the release in release/.
#pragma once

#include "component/mirdane_interfaces.h"
#include "component/script_object.h"
#include "release/release_script.h"
#include "win32/com_ptr.h"

namespace mirdane::component {

class CReleaseScriptObject final
    : public ScriptObject<IKfxReleaseScript, &IID_IKfxReleaseScript> {
 public:
  explicit CReleaseScriptObject(IUnknown* outer) : ScriptObject(outer) {}

  // Every member answers S_OK (E_POINTER for a missing out-parameter); the
  // outcome of a script operation is in its KfxReturnValue.
  ::HRESULT STDMETHODCALLTYPE OpenScript(KfxReturnValue* result) override;
  ::HRESULT STDMETHODCALLTYPE ReleaseDoc(KfxReturnValue* result) override;
  ::HRESULT STDMETHODCALLTYPE CloseScript(KfxReturnValue* result) override;
  // The host's release data as it was handed over, or null.
  ::HRESULT STDMETHODCALLTYPE get_DocumentData(IReleaseData** data) override;
  // Holds the host's release data (any automation object) for the next release.
  ::HRESULT STDMETHODCALLTYPE putref_DocumentData(IReleaseData* data) override;

 protected:
  bool InvokeByHand(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                    ::HRESULT* answer) override;

 private:
  ::HRESULT HoldDocumentData(IUnknown* data);

  releaseScript script_;
  win32::ComPtr<IDispatch> documentData_;
};

}  // namespace mirdane::component
