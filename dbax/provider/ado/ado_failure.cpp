#include "dbax/provider/ado/ado_failure.h"

#include <vector>

#include "win32/com_ptr.h"

namespace dbAx::provider::adodb {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;

// ADO's own description of its latest failure on `object`, when the object
// says that it reports through error information: otherwise whatever the
// thread's error information holds may be left over from another call.
std::u16string ErrorInfoDescription(IUnknown* object, REFIID iid) {
  if (!object) return {};
  ComPtr<ISupportErrorInfo> support;
  if (FAILED(object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) || !support ||
      support->InterfaceSupportsErrorInfo(iid) != S_OK) {
    return {};
  }
  ComPtr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) != S_OK || !info) return {};
  Bstr description;
  if (FAILED(info->GetDescription(description.put()))) return {};
  return description.Text();
}

std::vector<ProviderError> ProviderErrors(AdoConnection* connection) {
  std::vector<ProviderError> found;
  if (!connection) return found;
  ComPtr<AdoErrors> errors;
  AdoLong count = 0;
  if (FAILED(connection->get_Errors(errors.put())) || !errors ||
      FAILED(errors->get_Count(&count))) {
    return found;
  }
  for (AdoLong i = 0; i < count; ++i) {
    VARIANT index;
    ::VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    ComPtr<AdoError> error;
    if (FAILED(errors->get_Item(index, error.put())) || !error) continue;
    ProviderError entry;
    AdoLong number = 0;
    if (SUCCEEDED(error->get_Number(&number))) entry.number = number;
    Bstr description;
    if (SUCCEEDED(error->get_Description(description.put()))) {
      entry.description = description.Text();
    }
    found.push_back(std::move(entry));
  }
  // Unchecked: ADO starts a fresh collection at the provider's next error anyway.
  errors->Clear();
  return found;
}

}  // namespace

Failure FailureOf(HRESULT result, AdoConnection* connection, IUnknown* object, REFIID iid,
                  const char16_t* call, const std::u16string& what) {
  // The error information first: reading the Errors collection is a call of
  // its own and may replace it.
  const std::u16string own = ErrorInfoDescription(object, iid);
  Failure failure;
  failure.result = result;
  failure.errors = ProviderErrors(connection);
  if (!failure.errors.empty()) return failure;
  if (!own.empty()) {
    failure.errors.push_back({result, what + u": " + own});
  } else {
    failure.errors.push_back(
        {result, what + u"; ADO's " + call + u" failed without giving a reason."});
  }
  return failure;
}

}  // namespace dbAx::provider::adodb
