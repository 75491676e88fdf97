#include "component/host_objects/dispatch_shared.h"

#include <oleauto.h>
#include "win32/interface_id.h"
#include "win32/result.h"

namespace mirdane::component {
namespace {

using win32::ToIid;

using win32::ComPtr;
using win32::DispatchArg;

class DispatchCustomProperty final : public kfx::CustomProperty, DispatchWrapper {
 public:
  explicit DispatchCustomProperty(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Value(std::u16string* text) override { return Text(L"Value", text); }
};

class DispatchCustomProperties final : public kfx::CustomProperties, DispatchWrapper {
 public:
  explicit DispatchCustomProperties(ComPtr<IDispatch> object)
      : DispatchWrapper(std::move(object)) {}

  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::CustomProperty>* property) override {
    return ChildAs<DispatchCustomProperty>(L"Item", &key, property);
  }
  HRESULT Remove(const Variant& key) override {
    const DispatchArg arg = ArgOf(key);
    return object_.Call(L"Remove", {&arg}, nullptr);
  }
  HRESULT Add(const std::u16string& name, const std::u16string& value) override {
    const auto a1 = DispatchArg::Text(name), a2 = DispatchArg::Text(value);
    win32::UniqueVariant added;  // the new property, which nobody needs
    return object_.Call(L"Add", {&a1, &a2}, &added);
  }
};

// IEnumVARIANT, one element at a time.
class ComEnumVariant final : public kfx::EnumVariant {
 public:
  explicit ComEnumVariant(ComPtr<IEnumVARIANT> elements) : elements_(std::move(elements)) {}

  HRESULT Next(Variant* element) override {
    if (!element) return E_POINTER;
    win32::UniqueVariant next;
    ULONG fetched = 0;
    const HRESULT result = elements_->Next(1, next.put(), &fetched);
    if (result != S_OK || fetched != 1) return FAILED(result) ? result : S_FALSE;
    std::u16string text;
    if (win32::TextOf(*next.get(), &text) == S_OK) {
      *element = Variant::Text(std::move(text));
    } else if (LONG number = 0; win32::LongOf(*next.get(), &number) == S_OK) {
      *element = Variant::I4(static_cast<std::int32_t>(number));
    } else {
      *element = Variant();
    }
    return S_OK;
  }

 private:
  ComPtr<IEnumVARIANT> elements_;
};

}  // namespace

HRESULT HostInterfaceSource::QueryInterface(const InterfaceId& iid,
                                            std::shared_ptr<Object>* out) {
  if (!out) return E_POINTER;
  out->reset();
  if (!object_) return E_POINTER;
  try {
    if (iid == kfx::EnumVariant::kInterfaceId) {
      ComPtr<IEnumVARIANT> elements;
      RETURN_IF_FAILED(object_.As(&elements));
      *out = MakeEnumVariant(std::move(elements));
      return S_OK;
    }
    const bool rows = iid == kfx::RowValues::kInterfaceId;
    const bool names = iid == kfx::VariableNames::kInterfaceId ||
                       iid == kfx::VariableNames::kAlternateInterfaceId;
    if (!rows && !names) return E_NOINTERFACE;
    // The host answers these ids with dual interfaces: the pointer it gives
    // is an IDispatch, called by name like everything else of the host.
    ComPtr<IDispatch> answered;
    RETURN_IF_FAILED(object_.As(ToIid(iid), &answered));
    if (!answered) return E_NOINTERFACE;
    *out = rows ? MakeRowValues(std::move(answered)) : MakeVariableNames(std::move(answered));
    return S_OK;
  }
  CATCH_RETURN();
}

HRESULT WrapInterfaceSource(HRESULT got, ComPtr<IDispatch> object, std::shared_ptr<Object>* out) {
  if (!out) return E_POINTER;
  out->reset();
  RETURN_IF_FAILED(got);
  ComPtr<IUnknown> unknown;
  RETURN_IF_FAILED(object.As(&unknown));
  try {
    *out = std::make_shared<HostInterfaceSource>(std::move(unknown));
  }
  CATCH_RETURN();
  return got;
}

HRESULT WrapCustomProperties(HRESULT got, ComPtr<IDispatch> object,
                             std::shared_ptr<kfx::CustomProperties>* out) {
  return WrapChild<DispatchCustomProperties>(got, std::move(object), out);
}

std::shared_ptr<Object> MakeEnumVariant(ComPtr<IEnumVARIANT> elements) {
  return std::make_shared<ComEnumVariant>(std::move(elements));
}

}  // namespace mirdane::component
