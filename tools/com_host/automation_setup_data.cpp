// ReleaseSetupData and its collections as automation objects.
#include <new>

#include "tools/com_host/automation_host.h"
#include "tools/com_host/automation_members.h"
#include "tools/com_host/automation_shared.h"
#include "win32/interface_id.h"

namespace mirdane::hostcom {
namespace {

using win32::ToIid;

class AutomationCustomProperty final : public AutomationObject {
 public:
  explicit AutomationCustomProperty(std::shared_ptr<kfx::CustomProperty> property) {
    AddGetter(L"Value", 0, TextGetter(property, &kfx::CustomProperty::get_Value));
  }
};

class AutomationCustomProperties final : public AutomationObject {
 public:
  explicit AutomationCustomProperties(std::shared_ptr<kfx::CustomProperties> properties) {
    AddGetter(L"Item", 0, [properties](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::CustomProperty> property;
      const ::HRESULT got = properties->get_Item(args[0], &property);
      return ReturnWrapped<AutomationCustomProperty>(got, property, result);
    });
    AddMethod(L"Add", 2, [properties](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      const auto* name = TextArg(args, 0);
      const auto* value = TextArg(args, 1);
      if (args.size() != 2) return DISP_E_BADPARAMCOUNT;
      if (!name || !value) return DISP_E_TYPEMISMATCH;
      if (const ::HRESULT r = properties->Add(*name, *value); r != S_OK) return r;
      std::shared_ptr<kfx::CustomProperty> added;
      const ::HRESULT got = properties->get_Item(Variant::Text(*name), &added);
      return ReturnWrapped<AutomationCustomProperty>(got, added, result);
    });
    AddMethod(L"Remove", 3, [properties](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      return properties->Remove(args[0]);
    });
  }
};

class AutomationLink final : public AutomationObject {
 public:
  explicit AutomationLink(std::shared_ptr<kfx::Link> link) {
    AddGetter(L"Destination", 0, TextGetter(link, &kfx::Link::get_Destination));
    AddGetter(L"Source", 1, TextGetter(link, &kfx::Link::get_Source));
    AddGetter(L"SourceType", 2, LongGetter(link, &kfx::Link::get_SourceType));
  }
};

class AutomationLinks final : public AutomationObject {
 public:
  explicit AutomationLinks(std::shared_ptr<kfx::Links> links) {
    AddGetter(L"Count", 1, LongGetter(links, &kfx::Links::get_Count));
    AddGetter(L"Item", 0, [links](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::Link> link;
      const ::HRESULT got = links->get_Item(args[0], &link);
      return ReturnWrapped<AutomationLink>(got, link, result);
    });
    AddMethod(L"RemoveAll", 4, [links](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      return links->RemoveAll();
    });
    AddMethod(L"Add", 2, [links](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      const auto* source = TextArg(args, 0);
      const auto* destination = TextArg(args, 2);
      std::int32_t type = 0;
      if (args.size() != 3) return DISP_E_BADPARAMCOUNT;
      if (!source || !LongArg(args, 1, &type) || !destination) return DISP_E_TYPEMISMATCH;
      if (const ::HRESULT r = links->Add(*source, type, *destination); r != S_OK) return r;
      std::int32_t count = 0;
      links->get_Count(&count);
      std::shared_ptr<kfx::Link> added;
      const ::HRESULT got = links->get_Item(Variant::I4(count), &added);
      return ReturnWrapped<AutomationLink>(got, added, result);
    });
  }
};

class AutomationIndexField final : public AutomationObject {
 public:
  explicit AutomationIndexField(std::shared_ptr<kfx::IndexField> field) {
    AddGetter(L"Name", 0, TextGetter(field, &kfx::IndexField::get_Name));
  }
};

class AutomationIndexFields final : public AutomationObject {
 public:
  explicit AutomationIndexFields(std::shared_ptr<kfx::IndexFields> fields) {
    AddGetter(L"Count", 1, LongGetter(fields, &kfx::IndexFields::get_Count));
    AddGetter(L"Item", 0, [fields](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::IndexField> field;
      const ::HRESULT got = fields->get_Item(args[0], &field);
      return ReturnWrapped<AutomationIndexField>(got, field, result);
    });
  }
};

// IEnumVARIANT over the host's enumerator of capture value names.
class NameEnumerator final : public IEnumVARIANT {
 public:
  explicit NameEnumerator(std::shared_ptr<kfx::EnumVariant> elements)
      : elements_(std::move(elements)) {}

  ::HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumVARIANT)) {
      return E_NOINTERFACE;
    }
    *object = static_cast<IEnumVARIANT*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  ::HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    try {
      for (; given < wanted; ++given) {
        Variant element;
        if (elements_->Next(&element) != S_OK) break;
        ::VariantInit(&out[given]);
        const auto* text = element.AsText();
        if (const ::HRESULT r = ReturnText(text ? *text : std::u16string(), &out[given]);
            FAILED(r)) {
          break;
        }
      }
    } catch (...) {
    }
    if (fetched) *fetched = given;
    return given == wanted ? S_OK : S_FALSE;
  }
  ::HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    for (ULONG i = 0; i < count; ++i) {
      Variant element;
      if (elements_->Next(&element) != S_OK) return S_FALSE;
    }
    return S_OK;
  }
  ::HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  ::HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
    if (copy) *copy = nullptr;
    return E_NOTIMPL;
  }

 private:
  virtual ~NameEnumerator() = default;
  LONG references_ = 1;
  std::shared_ptr<kfx::EnumVariant> elements_;
};

// The capture value names: answers the collection ids the host's does.
class AutomationVariableNames final : public AutomationObject {
 public:
  explicit AutomationVariableNames(std::shared_ptr<Object> names) : names_(std::move(names)) {
    AddGetter(L"_NewEnum", DISPID_NEWENUM, [this](const std::vector<Variant>& args,
                                                  VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<Object> collection;
      if (names_->QueryInterface(kfx::VariableNames::kInterfaceId, &collection) != S_OK &&
          names_->QueryInterface(kfx::VariableNames::kAlternateInterfaceId, &collection) != S_OK) {
        return E_NOINTERFACE;
      }
      auto typed = std::dynamic_pointer_cast<kfx::VariableNames>(collection);
      if (!typed) return E_NOINTERFACE;
      std::shared_ptr<Object> enumerator;
      if (const ::HRESULT r = typed->get__NewEnum(&enumerator); r != S_OK) return r;
      std::shared_ptr<kfx::EnumVariant> elements;
      if (const ::HRESULT r = QueryInterfaceAs(enumerator, &elements); r != S_OK) return r;
      auto* com = new (std::nothrow) NameEnumerator(std::move(elements));
      if (!com) return E_OUTOFMEMORY;
      result->vt = VT_UNKNOWN;
      result->punkVal = com;
      return S_OK;
    });
  }

 protected:
  bool QueryOther(REFIID iid, void** object) override {
    for (const auto& id : {kfx::VariableNames::kInterfaceId,
                           kfx::VariableNames::kAlternateInterfaceId}) {
      if (!IsEqualIID(iid, ToIid(id))) continue;
      std::shared_ptr<Object> answered;
      if (names_->QueryInterface(id, &answered) != S_OK) return false;
      *object = static_cast<IDispatch*>(this);
      return true;
    }
    return false;
  }

 private:
  std::shared_ptr<Object> names_;
};

class AutomationSetupData final : public AutomationObject {
 public:
  explicit AutomationSetupData(std::shared_ptr<kfx::ReleaseSetupData> data) {
    using kfx::ReleaseSetupData;
    AddGetter(L"BatchClassName", 1, TextGetter(data, &ReleaseSetupData::get_BatchClassName));
    AddGetter(L"DocClassName", 2, TextGetter(data, &ReleaseSetupData::get_DocClassName));
    AddGetter(L"Name", 3, TextGetter(data, &ReleaseSetupData::get_Name));
    AddPutter(L"Name", 3, TextPutter(data, &ReleaseSetupData::put_Name));
    AddGetter(L"ConnectString", 4, TextGetter(data, &ReleaseSetupData::get_ConnectString));
    AddPutter(L"ConnectString", 4, TextPutter(data, &ReleaseSetupData::put_ConnectString));
    AddGetter(L"UserName", 5, TextGetter(data, &ReleaseSetupData::get_UserName));
    AddPutter(L"UserName", 5, TextPutter(data, &ReleaseSetupData::put_UserName));
    AddGetter(L"Password", 6, TextGetter(data, &ReleaseSetupData::get_Password));
    AddPutter(L"Password", 6, TextPutter(data, &ReleaseSetupData::put_Password));
    AddGetter(L"CustomProperties", 7, [data](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::CustomProperties> properties;
      if (const ::HRESULT r = data->get_CustomProperties(&properties); r != S_OK) return r;
      return ReturnObject(MakeCustomProperties(std::move(properties)), result);
    });
    AddGetter(L"Links", 8, [data](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::Links> links;
      const ::HRESULT got = data->get_Links(&links);
      return ReturnWrapped<AutomationLinks>(got, links, result);
    });
    AddGetter(L"IndexFields", 9, [data](const std::vector<Variant>& args, VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<kfx::IndexFields> fields;
      const ::HRESULT got = data->get_IndexFields(&fields);
      return ReturnWrapped<AutomationIndexFields>(got, fields, result);
    });
    AddGetter(L"BatchVariableNames", 11, [data](const std::vector<Variant>& args,
                                                VARIANT* result) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      std::shared_ptr<Object> names;
      const ::HRESULT got = data->get_BatchVariableNames(&names);
      return ReturnWrapped<AutomationVariableNames>(got, names, result);
    });
    AddMethod(L"Apply", 12, [data](const std::vector<Variant>& args, VARIANT*) -> ::HRESULT {
      if (!args.empty()) return DISP_E_BADPARAMCOUNT;
      return data->Apply();
    });
  }
};

}  // namespace

IDispatch* MakeCustomProperties(std::shared_ptr<kfx::CustomProperties> properties) {
  if (!properties) return nullptr;
  return new (std::nothrow) AutomationCustomProperties(std::move(properties));
}

IDispatch* ExposeReleaseSetupData(std::shared_ptr<kfx::ReleaseSetupData> data) {
  if (!data) return nullptr;
  return new (std::nothrow) AutomationSetupData(std::move(data));
}

}  // namespace mirdane::hostcom
