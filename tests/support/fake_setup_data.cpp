#include "tests/support/fake_setup_data.h"

#include "base/text.h"

namespace mirdane::test {
namespace {

HRESULT Position(const FakeSetupData& data, const char* call, const Variant& key, std::size_t count,
                 std::size_t* index) {
  if (data.Fails(call)) return hr::kFail;
  if (key.type() != VarType::I4) return hr::kTypeMismatch;
  const auto position = *key.AsInteger();
  if (position < 1 || position > static_cast<std::int64_t>(count)) return hr::kBadIndex;
  *index = static_cast<std::size_t>(position - 1);
  return hr::kOk;
}

class Link final : public kfx::Link {
 public:
  explicit Link(FakeLink link) : link_(std::move(link)) {}
  HRESULT get_Source(std::u16string* out) override { *out = link_.source; return hr::kOk; }
  HRESULT get_SourceType(std::int32_t* out) override { *out = link_.sourceType; return hr::kOk; }
  HRESULT get_Destination(std::u16string* out) override { *out = link_.destination; return hr::kOk; }

 private:
  FakeLink link_;
};

class Links final : public kfx::Links {
 public:
  explicit Links(FakeSetupData& data) : data_(data) {}
  HRESULT get_Count(std::int32_t* count) override {
    if (data_.Fails("Links.Count")) return hr::kFail;
    *count = static_cast<std::int32_t>(data_.links.size());
    return hr::kOk;
  }
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::Link>* link) override {
    std::size_t index = 0;
    if (HRESULT r = Position(data_, "Links.Item", key, data_.links.size(), &index); r != hr::kOk) return r;
    *link = std::make_shared<Link>(data_.links[index]);
    return hr::kOk;
  }
  HRESULT RemoveAll() override {
    if (data_.Fails("Links.RemoveAll")) return hr::kFail;
    data_.Record("Links.RemoveAll");
    data_.links.clear();
    return hr::kOk;
  }
  HRESULT Add(const std::u16string& source, std::int32_t type, const std::u16string& destination) override {
    data_.Record("Links.Add " + Utf16ToUtf8(destination));
    if (data_.Fails("Links.Add")) return hr::kFail;
    data_.links.push_back({source, type, destination});
    return hr::kOk;
  }

 private:
  FakeSetupData& data_;
};

class Property final : public kfx::CustomProperty {
 public:
  explicit Property(std::u16string value) : value_(std::move(value)) {}
  HRESULT get_Value(std::u16string* out) override { *out = value_; return hr::kOk; }

 private:
  std::u16string value_;
};

class Properties final : public kfx::CustomProperties {
 public:
  explicit Properties(FakeSetupData& data) : data_(data) {}
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::CustomProperty>* out) override {
    if (!key.AsText()) return hr::kTypeMismatch;
    for (const auto& [name, value] : data_.properties) {
      if (name == *key.AsText()) {
        *out = std::make_shared<Property>(value);
        return hr::kOk;
      }
    }
    return hr::kBadIndex;
  }
  HRESULT Remove(const Variant& key) override {
    if (!key.AsText()) return hr::kTypeMismatch;
    data_.Record("CustomProperties.Remove " + Utf16ToUtf8(*key.AsText()));
    auto& all = data_.properties;
    for (auto it = all.begin(); it != all.end(); ++it) {
      if (it->first == *key.AsText()) {
        all.erase(it);
        return hr::kOk;
      }
    }
    return hr::kBadIndex;
  }
  HRESULT Add(const std::u16string& name, const std::u16string& value) override {
    data_.Record("CustomProperties.Add " + Utf16ToUtf8(name));
    if (data_.Fails("CustomProperties.Add")) return hr::kFail;
    for (const auto& property : data_.properties) {
      if (property.first == name) return hr::kInvalidArg;
    }
    data_.properties.emplace_back(name, value);
    return hr::kOk;
  }

 private:
  FakeSetupData& data_;
};

class Field final : public kfx::IndexField {
 public:
  explicit Field(std::u16string name) : name_(std::move(name)) {}
  HRESULT get_Name(std::u16string* out) override { *out = name_; return hr::kOk; }

 private:
  std::u16string name_;
};

class Fields final : public kfx::IndexFields {
 public:
  explicit Fields(FakeSetupData& data) : data_(data) {}
  HRESULT get_Count(std::int32_t* count) override {
    *count = static_cast<std::int32_t>(data_.indexFields.size());
    return hr::kOk;
  }
  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::IndexField>* out) override {
    std::size_t index = 0;
    if (HRESULT r = Position(data_, "IndexFields.Item", key, data_.indexFields.size(), &index); r != hr::kOk) {
      return r;
    }
    *out = std::make_shared<Field>(data_.indexFields[index]);
    return hr::kOk;
  }

 private:
  FakeSetupData& data_;
};

class Enumerator final : public kfx::EnumVariant {
 public:
  explicit Enumerator(std::vector<std::u16string> names) : names_(std::move(names)) {}
  HRESULT QueryInterface(const InterfaceId& iid, std::shared_ptr<Object>* out) override {
    if (iid != kInterfaceId) return Object::QueryInterface(iid, out);
    *out = shared_from_this();
    return hr::kOk;
  }
  HRESULT Next(Variant* element) override {
    if (next_ >= names_.size()) return hr::kFalse;
    *element = Variant::Text(names_[next_++]);
    return hr::kOk;
  }

 private:
  std::vector<std::u16string> names_;
  std::size_t next_ = 0;
};

class Names final : public kfx::VariableNames {
 public:
  Names(std::vector<std::u16string> names, bool alternate) : names_(std::move(names)), alternate_(alternate) {}
  HRESULT QueryInterface(const InterfaceId& iid, std::shared_ptr<Object>* out) override {
    if (iid != (alternate_ ? kAlternateInterfaceId : kInterfaceId)) return Object::QueryInterface(iid, out);
    *out = shared_from_this();
    return hr::kOk;
  }
  HRESULT get__NewEnum(std::shared_ptr<Object>* out) override {
    *out = std::make_shared<Enumerator>(names_);
    return hr::kOk;
  }

 private:
  std::vector<std::u16string> names_;
  bool alternate_;
};

}  // namespace

HRESULT FakeSetupData::Get(const char* call, const std::u16string& value, std::u16string* out) {
  if (Fails(call)) {
    *out = u"half-written";  // what a failing host may leave behind
    return hr::kFail;
  }
  *out = value;
  return hr::kOk;
}

HRESULT FakeSetupData::Put(const char* call, std::u16string& field, const std::u16string& value) {
  Record(call);
  field = value;
  return hr::kOk;
}

HRESULT FakeSetupData::get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* out) {
  if (Fails("get_CustomProperties")) return hr::kFail;
  *out = std::make_shared<Properties>(*this);
  return hr::kOk;
}

HRESULT FakeSetupData::get_Links(std::shared_ptr<kfx::Links>* out) {
  if (Fails("get_Links")) return hr::kFail;
  *out = std::make_shared<Links>(*this);
  return hr::kOk;
}

HRESULT FakeSetupData::get_IndexFields(std::shared_ptr<kfx::IndexFields>* out) {
  if (Fails("get_IndexFields")) return hr::kFail;
  *out = std::make_shared<Fields>(*this);
  return hr::kOk;
}

HRESULT FakeSetupData::get_BatchVariableNames(std::shared_ptr<Object>* out) {
  if (Fails("get_BatchVariableNames")) return hr::kFail;
  *out = std::make_shared<Names>(captureValues, alternateNamesInterface);
  return hr::kOk;
}

HRESULT FakeSetupData::Apply() {
  Record("Apply");
  return hr::kOk;
}

}  // namespace mirdane::test
