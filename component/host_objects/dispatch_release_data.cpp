// ReleaseData and the objects reached from it, called by name.
#include "component/host_objects/dispatch_host_objects.h"
#include "component/host_objects/dispatch_shared.h"

namespace mirdane::component {
namespace {

using win32::ComPtr;
using win32::DispatchArg;

class DispatchValue final : public kfx::Value, DispatchWrapper {
 public:
  explicit DispatchValue(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Destination(std::u16string* text) override { return Text(L"Destination", text); }
  HRESULT get_Value(std::u16string* text) override { return Text(L"Value", text); }
  HRESULT get_TableName(std::u16string* text) override { return Text(L"TableName", text); }
  HRESULT get_RowValues(const Variant& key, std::shared_ptr<Object>* rows) override {
    ComPtr<IDispatch> child;
    const HRESULT got = Child(L"RowValues", &key, &child);
    return WrapInterfaceSource(got, std::move(child), rows);
  }
};

class DispatchRowValues final : public kfx::RowValues, DispatchWrapper {
 public:
  explicit DispatchRowValues(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Count(std::int32_t* count) override { return Long(L"Count", count); }
  HRESULT get_Item(const Variant& row, std::shared_ptr<kfx::Value>* value) override {
    return ChildAs<DispatchValue>(L"Item", &row, value);
  }
};

class DispatchValues final : public kfx::Values, DispatchWrapper {
 public:
  explicit DispatchValues(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_Count(std::int32_t* count) override { return Long(L"Count", count); }
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::Value>* value) override {
    return ChildAs<DispatchValue>(L"Item", &key, value);
  }
};

class DispatchReleaseData final : public kfx::ReleaseData, DispatchWrapper {
 public:
  explicit DispatchReleaseData(ComPtr<IDispatch> object) : DispatchWrapper(std::move(object)) {}

  HRESULT get_KofaxPDFFileName(std::u16string* text) override {
    return Text(L"KofaxPDFFileName", text);
  }
  HRESULT get_ConnectString(std::u16string* text) override { return Text(L"ConnectString", text); }
  HRESULT get_UserName(std::u16string* text) override { return Text(L"UserName", text); }
  HRESULT get_Password(std::u16string* text) override { return Text(L"Password", text); }
  // A host without the member answers DISP_E_UNKNOWNNAME from GetIDsOfNames,
  // which the core takes as "not offered".
  HRESULT get_UniqueDocumentID(std::u16string* text) override {
    return Text(L"UniqueDocumentID", text);
  }
  HRESULT get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) override {
    ComPtr<IDispatch> child;
    const HRESULT got = Child(L"CustomProperties", nullptr, &child);
    return WrapCustomProperties(got, std::move(child), properties);
  }
  HRESULT get_Values(std::shared_ptr<kfx::Values>* values) override {
    return ChildAs<DispatchValues>(L"Values", nullptr, values);
  }
  HRESULT LogError(std::int32_t err1, std::int32_t err2, std::int32_t err3,
                   const std::u16string& message, const std::u16string& codeModule,
                   std::int32_t lineNumber) override {
    const auto a1 = DispatchArg::I4(err1), a2 = DispatchArg::I4(err2), a3 = DispatchArg::I4(err3);
    const auto text = DispatchArg::Text(message), module = DispatchArg::Text(codeModule);
    const auto line = DispatchArg::I4(lineNumber);
    return object_.Call(L"LogError", {&a1, &a2, &a3, &text, &module, &line}, nullptr);
  }
  HRESULT SendMessage(const std::u16string& message, std::int32_t errorNumber,
                      std::int32_t infoRet) override {
    const auto text = DispatchArg::Text(message);
    const auto number = DispatchArg::I4(errorNumber), info = DispatchArg::I4(infoRet);
    return object_.Call(L"SendMessage", {&text, &number, &info}, nullptr);
  }
};

}  // namespace

std::shared_ptr<Object> MakeRowValues(ComPtr<IDispatch> rows) {
  return std::make_shared<DispatchRowValues>(std::move(rows));
}

std::shared_ptr<kfx::ReleaseData> WrapReleaseData(IDispatch* object) {
  if (!object) return nullptr;
  return std::make_shared<DispatchReleaseData>(ComPtr<IDispatch>(object));
}

}  // namespace mirdane::component
