// ReleaseData and its values as automation objects.
#include "tools/com_host/automation_host.h"
#include "tools/com_host/automation_members.h"
#include "tools/com_host/automation_shared.h"
#include "win32/interface_id.h"

namespace mirdane::hostcom {
namespace {

using win32::ToIid;

class AutomationValue final : public AutomationObject {
 public:
  explicit AutomationValue(std::shared_ptr<kfx::Value> value) {
    AddGetter(L"Value", 0, TextGetter(value, &kfx::Value::get_Value));
    AddGetter(L"Destination", 1, TextGetter(value, &kfx::Value::get_Destination));
    AddGetter(L"TableName", 2, TextGetter(value, &kfx::Value::get_TableName));
    AddGetter(L"RowValues", 3, [value](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<Object> rows;
      if (const ::HRESULT r = value->get_RowValues(args[0], &rows); r != S_OK) return r;
      std::shared_ptr<kfx::RowValues> typed;
      if (const ::HRESULT r = QueryInterfaceAs(rows, &typed); r != S_OK) return r;
      return ReturnObject(MakeRowValues(std::move(typed)), result);
    });
  }
};

// The row collection of a table field: answers its interface id with itself.
class AutomationRowValues final : public AutomationObject {
 public:
  explicit AutomationRowValues(std::shared_ptr<kfx::RowValues> rows) {
    AddGetter(L"Count", 1, LongGetter(rows, &kfx::RowValues::get_Count));
    AddGetter(L"Item", 0, [rows](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::Value> row;
      const ::HRESULT got = rows->get_Item(args[0], &row);
      return ReturnWrapped<AutomationValue>(got, row, result);
    });
  }

 protected:
  bool QueryOther(REFIID iid, void** object) override {
    if (!IsEqualIID(iid, ToIid(kfx::RowValues::kInterfaceId))) return false;
    *object = static_cast<IDispatch*>(this);
    return true;
  }
};

class AutomationValues final : public AutomationObject {
 public:
  explicit AutomationValues(std::shared_ptr<kfx::Values> values) {
    AddGetter(L"Count", 1, LongGetter(values, &kfx::Values::get_Count));
    AddGetter(L"Item", 0, [values](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::Value> value;
      const ::HRESULT got = values->get_Item(args[0], &value);
      return ReturnWrapped<AutomationValue>(got, value, result);
    });
  }
};

class AutomationReleaseData final : public AutomationObject {
 public:
  explicit AutomationReleaseData(std::shared_ptr<kfx::ReleaseData> data) {
    using kfx::ReleaseData;
    AddGetter(L"ConnectString", 2, TextGetter(data, &ReleaseData::get_ConnectString));
    AddGetter(L"UserName", 3, TextGetter(data, &ReleaseData::get_UserName));
    AddGetter(L"Password", 4, TextGetter(data, &ReleaseData::get_Password));
    AddGetter(L"KofaxPDFFileName", 5, TextGetter(data, &ReleaseData::get_KofaxPDFFileName));
    // Only a document that has the identity offers the member, so that the
    // connector meets both kinds of host by name.
    if (std::u16string id; data->get_UniqueDocumentID(&id) != mirdane::hr::kUnknownName) {
      AddGetter(L"UniqueDocumentID", 17, TextGetter(data, &ReleaseData::get_UniqueDocumentID));
    }
    AddGetter(L"CustomProperties", 8, [data](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::CustomProperties> properties;
      const ::HRESULT got = data->get_CustomProperties(&properties);
      if (got != S_OK) return got;
      return ReturnObject(MakeCustomProperties(std::move(properties)), result);
    });
    AddGetter(L"Values", 9, [data](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::Values> values;
      const ::HRESULT got = data->get_Values(&values);
      return ReturnWrapped<AutomationValues>(got, values, result);
    });
    AddMethod(L"LogError", 15, [data](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      std::int32_t e1 = 0, e2 = 0, e3 = 0, line = 0;
      const auto* message = TextArg(args, 3);
      const auto* module = TextArg(args, 4);
      if (args.size() != 6) return DISP_E_BADPARAMCOUNT;
      if (!LongArg(args, 0, &e1) || !LongArg(args, 1, &e2) || !LongArg(args, 2, &e3) ||
          !message || !module || !LongArg(args, 5, &line)) {
        return DISP_E_TYPEMISMATCH;
      }
      return data->LogError(e1, e2, e3, *message, *module, line);
    });
    AddMethod(L"SendMessage", 16, [data](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      std::int32_t number = 0, info = 0;
      const auto* message = TextArg(args, 0);
      if (args.size() != 3) return DISP_E_BADPARAMCOUNT;
      if (!message || !LongArg(args, 1, &number) || !LongArg(args, 2, &info)) {
        return DISP_E_TYPEMISMATCH;
      }
      return data->SendMessage(*message, number, info);
    });
  }
};

}  // namespace

IDispatch* MakeRowValues(std::shared_ptr<kfx::RowValues> rows) {
  return new (std::nothrow) AutomationRowValues(std::move(rows));
}

IDispatch* ExposeReleaseData(std::shared_ptr<kfx::ReleaseData> data) {
  if (!data) return nullptr;
  return new (std::nothrow) AutomationReleaseData(std::move(data));
}

}  // namespace mirdane::hostcom
