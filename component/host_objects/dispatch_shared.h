// Wrappers shared by the release side and the setup side of the host.
#pragma once

#include <unknwn.h>

#include <memory>

#include "component/host_objects/dispatch_wrapper.h"

namespace mirdane::component {

// An object the host handed out without saying what it is (the row
// collection of a table field, the capture value names, an enumerator): the
// core asks it for an interface id, which is passed on to the host's object.
class HostInterfaceSource final : public Object {
 public:
  explicit HostInterfaceSource(win32::ComPtr<IUnknown> object) : object_(std::move(object)) {}
  HRESULT QueryInterface(const InterfaceId& iid, std::shared_ptr<Object>* out) override;

 private:
  win32::ComPtr<IUnknown> object_;
};

// Fills `out` with a HostInterfaceSource over `object` when `got` succeeded.
HRESULT WrapInterfaceSource(HRESULT got, win32::ComPtr<IDispatch> object,
                            std::shared_ptr<Object>* out);

HRESULT WrapCustomProperties(HRESULT got, win32::ComPtr<IDispatch> object,
                             std::shared_ptr<kfx::CustomProperties>* out);

// The wrappers behind the interface ids that HostInterfaceSource answers.
std::shared_ptr<Object> MakeRowValues(win32::ComPtr<IDispatch> rows);
std::shared_ptr<Object> MakeVariableNames(win32::ComPtr<IDispatch> names);
std::shared_ptr<Object> MakeEnumVariant(win32::ComPtr<IEnumVARIANT> elements);

}  // namespace mirdane::component
