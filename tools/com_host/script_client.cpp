#include "tools/com_host/script_client.h"

#include "base/system_message.h"
#include "base/text.h"
#include "win32/result.h"

namespace mirdane::hostcom {

std::string DescribeFailure(const std::string& what, ::HRESULT result) {
  return what + ": " + Utf16ToUtf8(HresultText(static_cast<HRESULT>(result)));
}

std::string CreateScript(const wchar_t* progId, win32::DispatchObject* script) {
  const std::string name = Utf16ToUtf8(reinterpret_cast<const char16_t*>(progId));
  CLSID clsid{};
  if (const ::HRESULT r = ::CLSIDFromProgID(progId, &clsid); FAILED(r)) {
    return DescribeFailure("the script " + name + " is not registered (regsvr32 mirdane.dll)", r);
  }
  win32::ComPtr<IDispatch> created;
  if (const ::HRESULT r = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                             created.put_void());
      FAILED(r)) {
    return DescribeFailure("the script " + name + " cannot be created", r);
  }
  *script = win32::DispatchObject(std::move(created));
  return {};
}

::HRESULT CallScript(win32::DispatchObject& script, const wchar_t* name, LONG* outcome) {
  win32::UniqueVariant result;
  const ::HRESULT answer = script.Call(name, {}, &result);
  RETURN_IF_FAILED(answer);
  if (FAILED(win32::LongOf(*result.get(), outcome))) return DISP_E_TYPEMISMATCH;
  return answer;
}

}  // namespace mirdane::hostcom
