#include "component/release_script_object.h"

#include "component/application.h"
#include "component/type_info_dispatch.h"
#include "component/host_objects/dispatch_host_objects.h"
#include "release/report_to_host.h"

namespace mirdane::component {
namespace {

constexpr DISPID kDocumentDataId = 0x60030003;

KfxReturnValue ToHost(kfx::KfxReturnValue value) { return static_cast<KfxReturnValue>(value); }

}  // namespace

::HRESULT STDMETHODCALLTYPE CReleaseScriptObject::OpenScript(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.OpenScript(&outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;  // the outcome travels in *result
}

::HRESULT STDMETHODCALLTYPE CReleaseScriptObject::ReleaseDoc(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    // A data-access library that could not start fails every document with
    // the reason, rather than the module failing to load into the host.
    if (const auto failure = CmirdaneApp::Instance().StartFailure()) {
      std::shared_ptr<kfx::ReleaseData> data;
      script_.get_DocumentData(&data);
      if (data) {
        ScopedReportTarget reports(data.get());
        Report(messages::kErrorInReleaseDoc, {*failure});
      }
      return S_OK;
    }
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.ReleaseDoc(&outcome);
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CReleaseScriptObject::CloseScript(KfxReturnValue* result) {
  if (!result) return E_POINTER;
  *result = ::KFX_REL_ERROR;
  Guard([&] {
    kfx::KfxReturnValue outcome = kfx::KFX_REL_ERROR;
    script_.CloseScript(&outcome);
    documentData_.reset();
    *result = ToHost(outcome);
    return S_OK;
  });
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CReleaseScriptObject::get_DocumentData(IReleaseData** data) {
  if (!data) return E_POINTER;
  // The host's own object goes back, as it was handed in.
  *data = reinterpret_cast<IReleaseData*>(documentData_.get());
  if (*data) (*data)->AddRef();
  return S_OK;
}

::HRESULT STDMETHODCALLTYPE CReleaseScriptObject::putref_DocumentData(IReleaseData* data) {
  return Guard([&] { return HoldDocumentData(data); });
}

::HRESULT CReleaseScriptObject::HoldDocumentData(IUnknown* data) {
  win32::ComPtr<IDispatch> dispatch;
  if (data) {
    if (const ::HRESULT r = data->QueryInterface(IID_IDispatch, dispatch.put_void()); FAILED(r)) {
      return r;
    }
  }
  auto wrapped = WrapReleaseData(dispatch.get());
  script_.putref_DocumentData(std::move(wrapped));
  documentData_ = std::move(dispatch);
  return S_OK;
}

bool CReleaseScriptObject::InvokeByHand(DISPID id, WORD flags, DISPPARAMS* params,
                                        VARIANT* result, ::HRESULT* answer) {
  if (id != kDocumentDataId) return false;
  if (IsObjectAssignment(flags, params)) {
    win32::ComPtr<IUnknown> object;
    *answer = AssignedObject(*params, &object);
    if (SUCCEEDED(*answer)) *answer = HoldDocumentData(object.get());
    return true;
  }
  if (flags & DISPATCH_PROPERTYGET) {
    *answer = ReturnObject(documentData_.get(), params, result);
    return true;
  }
  *answer = DISP_E_MEMBERNOTFOUND;
  return true;
}

}  // namespace mirdane::component
