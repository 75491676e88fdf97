// ReleaseSetupData and the objects reached from it, called by name.
#include "component/host_objects/dispatch_host_objects.h"
#include "component/host_objects/dispatch_shared.h"
#include "win32/result.h"

namespace mirdane::component {
namespace {

using win32::ComPtr;
using win32::DispatchArg;

class DispatchLink final : public kfx::Link, DispatchWrapper {
 public:
  explicit DispatchLink(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Source(std::u16string* text) override { return Text(L"Source", text); }
  HRESULT get_SourceType(std::int32_t* type) override { return Long(L"SourceType", type); }
  HRESULT get_Destination(std::u16string* text) override { return Text(L"Destination", text); }
};

class DispatchLinks final : public kfx::Links, DispatchWrapper {
 public:
  explicit DispatchLinks(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Count(std::int32_t* count) override { return Long(L"Count", count); }
  HRESULT get_Item(const Variant& position, std::shared_ptr<kfx::Link>* link) override {
    return ChildAs<DispatchLink>(L"Item", &position, link);
  }
  HRESULT RemoveAll() override { return object_.Call(L"RemoveAll", {}, nullptr); }
  HRESULT Add(const std::u16string& source, std::int32_t sourceType,
              const std::u16string& destination) override {
    const auto a1 = DispatchArg::Text(source), a2 = DispatchArg::I4(sourceType);
    const auto a3 = DispatchArg::Text(destination);
    win32::UniqueVariant added;
    return object_.Call(L"Add", {&a1, &a2, &a3}, &added);
  }
};

class DispatchIndexField final : public kfx::IndexField, DispatchWrapper {
 public:
  explicit DispatchIndexField(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Name(std::u16string* name) override { return Text(L"Name", name); }
};

class DispatchIndexFields final : public kfx::IndexFields, DispatchWrapper {
 public:
  explicit DispatchIndexFields(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Count(std::int32_t* count) override { return Long(L"Count", count); }
  HRESULT get_Item(const Variant& position, std::shared_ptr<kfx::IndexField>* field) override {
    return ChildAs<DispatchIndexField>(L"Item", &position, field);
  }
};

class DispatchVariableNames final : public kfx::VariableNames, DispatchWrapper {
 public:
  explicit DispatchVariableNames(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get__NewEnum(std::shared_ptr<Object>* enumerator) override {
    if (!enumerator) return E_POINTER;
    enumerator->reset();
    win32::UniqueVariant value;
    HRESULT got = object_.Enumerator(&value);
    RETURN_IF_FAILED(got);
    IUnknown* unknown = nullptr;
    if (value.get()->vt == VT_UNKNOWN) unknown = value.get()->punkVal;
    if (value.get()->vt == VT_DISPATCH) unknown = value.get()->pdispVal;
    if (!unknown) return DISP_E_TYPEMISMATCH;
    try {
      *enumerator = std::make_shared<HostInterfaceSource>(ComPtr<IUnknown>(unknown));
    }
    CATCH_RETURN();
    return S_OK;
  }
};

class DispatchSetupData final : public kfx::ReleaseSetupData, DispatchWrapper {
 public:
  explicit DispatchSetupData(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_BatchClassName(std::u16string* t) override { return Text(L"BatchClassName", t); }
  HRESULT get_DocClassName(std::u16string* t) override { return Text(L"DocClassName", t); }
  HRESULT get_Name(std::u16string* t) override { return Text(L"Name", t); }
  HRESULT put_Name(const std::u16string& t) override { return PutText(L"Name", t); }
  HRESULT get_ConnectString(std::u16string* t) override { return Text(L"ConnectString", t); }
  HRESULT put_ConnectString(const std::u16string& t) override {
    return PutText(L"ConnectString", t);
  }
  HRESULT get_UserName(std::u16string* t) override { return Text(L"UserName", t); }
  HRESULT put_UserName(const std::u16string& t) override { return PutText(L"UserName", t); }
  HRESULT get_Password(std::u16string* t) override { return Text(L"Password", t); }
  HRESULT put_Password(const std::u16string& t) override { return PutText(L"Password", t); }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) override {
    ComPtr<IDispatch> child;
    const HRESULT got = Child(L"CustomProperties", nullptr, &child);
    return WrapCustomProperties(got, std::move(child), properties);
  }
  HRESULT get_Links(std::shared_ptr<kfx::Links>* links) override {
    return ChildAs<DispatchLinks>(L"Links", nullptr, links);
  }
  HRESULT get_IndexFields(std::shared_ptr<kfx::IndexFields>* fields) override {
    return ChildAs<DispatchIndexFields>(L"IndexFields", nullptr, fields);
  }
  HRESULT get_BatchVariableNames(std::shared_ptr<Object>* names) override {
    ComPtr<IDispatch> child;
    const HRESULT got = Child(L"BatchVariableNames", nullptr, &child);
    return WrapInterfaceSource(got, std::move(child), names);
  }
  HRESULT Apply() override { return object_.Call(L"Apply", {}, nullptr); }

 private:
  HRESULT PutText(const wchar_t* name, const std::u16string& text) {
    return object_.Put(name, DispatchArg::Text(text));
  }
};

}  // namespace

std::shared_ptr<Object> MakeVariableNames(ComPtr<IDispatch> names) {
  return std::make_shared<DispatchVariableNames>(std::move(names));
}

std::shared_ptr<kfx::ReleaseSetupData> WrapReleaseSetupData(IDispatch* object) {
  if (!object) return nullptr;
  return std::make_shared<DispatchSetupData>(ComPtr<IDispatch>(object));
}

}  // namespace mirdane::component
