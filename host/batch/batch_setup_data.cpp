#include "host/batch/batch_setup_data.h"

#include "host/batch/batch_setup_writer.h"
#include "host/batch/batch_values.h"

namespace mirdane::batch {
namespace {

using mirdane::HRESULT;
using mirdane::Variant;
using mirdane::VarType;
namespace hr = mirdane::hr;

HRESULT Give(const std::u16string& text, std::u16string* out) {
  if (!out) return hr::kPointer;
  *out = text;
  return hr::kOk;
}

// A position key as the host takes it: VT_I4, from 1 to `count`.
HRESULT Position(const Variant& key, std::size_t count, std::size_t* index) {
  if (key.type() != VarType::I4) return hr::kTypeMismatch;
  const auto position = *key.AsInteger();
  if (position < 1 || position > static_cast<std::int64_t>(count)) return hr::kBadIndex;
  *index = static_cast<std::size_t>(position - 1);
  return hr::kOk;
}

class BatchLink final : public kfx::Link {
 public:
  explicit BatchLink(LinkRecord link) : link_(std::move(link)) {}
  HRESULT get_Source(std::u16string* source) override { return Give(link_.source, source); }
  HRESULT get_SourceType(std::int32_t* type) override {
    if (!type) return hr::kPointer;
    *type = link_.sourceType;
    return hr::kOk;
  }
  HRESULT get_Destination(std::u16string* destination) override {
    return Give(link_.destination, destination);
  }

 private:
  LinkRecord link_;
};

class BatchLinks final : public kfx::Links {
 public:
  explicit BatchLinks(std::shared_ptr<std::vector<LinkRecord>> links) : links_(std::move(links)) {}

  HRESULT get_Count(std::int32_t* count) override {
    if (!count) return hr::kPointer;
    *count = static_cast<std::int32_t>(links_->size());
    return hr::kOk;
  }
  HRESULT get_Item(const Variant& position, std::shared_ptr<kfx::Link>* link) override {
    std::size_t index = 0;
    if (const HRESULT result = Position(position, links_->size(), &index); result != hr::kOk) return result;
    *link = std::make_shared<BatchLink>((*links_)[index]);
    return hr::kOk;
  }
  HRESULT RemoveAll() override {
    links_->clear();
    return hr::kOk;
  }
  HRESULT Add(const std::u16string& source, std::int32_t sourceType,
              const std::u16string& destination) override {
    // The batch file knows the four source types only; anything else could
    // not be read back.
    if (sourceType < kfx::KFX_REL_INDEXFIELD || sourceType > kfx::KFX_REL_BATCHFIELD) {
      return hr::kInvalidArg;
    }
    links_->push_back({source, sourceType, destination});
    return hr::kOk;
  }

 private:
  std::shared_ptr<std::vector<LinkRecord>> links_;
};

class BatchIndexField final : public kfx::IndexField {
 public:
  explicit BatchIndexField(std::u16string name) : name_(std::move(name)) {}
  HRESULT get_Name(std::u16string* name) override { return Give(name_, name); }

 private:
  std::u16string name_;
};

class BatchIndexFields final : public kfx::IndexFields {
 public:
  explicit BatchIndexFields(std::vector<std::u16string> names) : names_(std::move(names)) {}
  HRESULT get_Count(std::int32_t* count) override {
    if (!count) return hr::kPointer;
    *count = static_cast<std::int32_t>(names_.size());
    return hr::kOk;
  }
  HRESULT get_Item(const Variant& position, std::shared_ptr<kfx::IndexField>* field) override {
    std::size_t index = 0;
    if (const HRESULT result = Position(position, names_.size(), &index); result != hr::kOk) return result;
    *field = std::make_shared<BatchIndexField>(names_[index]);
    return hr::kOk;
  }

 private:
  std::vector<std::u16string> names_;
};

class BatchNameEnumerator final : public kfx::EnumVariant {
 public:
  explicit BatchNameEnumerator(std::vector<std::u16string> names) : names_(std::move(names)) {}
  HRESULT QueryInterface(const mirdane::InterfaceId& iid, std::shared_ptr<Object>* out) override {
    if (iid != kInterfaceId) return Object::QueryInterface(iid, out);
    *out = shared_from_this();
    return hr::kOk;
  }
  HRESULT Next(Variant* element) override {
    if (!element) return hr::kPointer;
    if (next_ >= names_.size()) return hr::kFalse;
    *element = Variant::Text(names_[next_++]);
    return hr::kOk;
  }

 private:
  std::vector<std::u16string> names_;
  std::size_t next_ = 0;
};

class BatchVariableNames final : public kfx::VariableNames {
 public:
  explicit BatchVariableNames(std::vector<std::u16string> names) : names_(std::move(names)) {}
  HRESULT QueryInterface(const mirdane::InterfaceId& iid, std::shared_ptr<Object>* out) override {
    if (iid != kInterfaceId) return Object::QueryInterface(iid, out);
    *out = shared_from_this();
    return hr::kOk;
  }
  HRESULT get__NewEnum(std::shared_ptr<Object>* enumerator) override {
    if (!enumerator) return hr::kPointer;
    *enumerator = std::make_shared<BatchNameEnumerator>(names_);
    return hr::kOk;
  }

 private:
  std::vector<std::u16string> names_;
};

}  // namespace

BatchSetupData::BatchSetupData(const BatchFile& batch)
    : path_(batch.path),
      batchClass_(batch.batchClass),
      documentClass_(batch.documentClass),
      setup_(batch.setup),
      properties_(std::make_shared<NamedTexts>(batch.setup.customProperties)),
      links_(std::make_shared<std::vector<LinkRecord>>(batch.setup.links)) {}

HRESULT BatchSetupData::get_BatchClassName(std::u16string* name) { return Give(batchClass_, name); }
HRESULT BatchSetupData::get_DocClassName(std::u16string* name) { return Give(documentClass_, name); }
HRESULT BatchSetupData::get_Name(std::u16string* name) { return Give(setup_.name, name); }
HRESULT BatchSetupData::get_ConnectString(std::u16string* text) { return Give(setup_.connectString, text); }
HRESULT BatchSetupData::get_UserName(std::u16string* text) { return Give(setup_.userName, text); }
HRESULT BatchSetupData::get_Password(std::u16string* text) { return Give(setup_.password, text); }

HRESULT BatchSetupData::put_Name(const std::u16string& name) {
  setup_.name = name;
  return hr::kOk;
}
HRESULT BatchSetupData::put_ConnectString(const std::u16string& text) {
  setup_.connectString = text;
  return hr::kOk;
}
HRESULT BatchSetupData::put_UserName(const std::u16string& text) {
  setup_.userName = text;
  return hr::kOk;
}
HRESULT BatchSetupData::put_Password(const std::u16string& text) {
  setup_.password = text;
  return hr::kOk;
}

HRESULT BatchSetupData::get_CustomProperties(std::shared_ptr<kfx::CustomProperties>* properties) {
  if (!properties) return hr::kPointer;
  *properties = MakeCustomProperties(properties_);
  return hr::kOk;
}

HRESULT BatchSetupData::get_Links(std::shared_ptr<kfx::Links>* links) {
  if (!links) return hr::kPointer;
  *links = std::make_shared<BatchLinks>(links_);
  return hr::kOk;
}

HRESULT BatchSetupData::get_IndexFields(std::shared_ptr<kfx::IndexFields>* fields) {
  if (!fields) return hr::kPointer;
  *fields = std::make_shared<BatchIndexFields>(setup_.indexFields);
  return hr::kOk;
}

HRESULT BatchSetupData::get_BatchVariableNames(std::shared_ptr<mirdane::Object>* names) {
  if (!names) return hr::kPointer;
  *names = std::make_shared<BatchVariableNames>(setup_.captureValues);
  return hr::kOk;
}

SetupRecord BatchSetupData::Current() const {
  SetupRecord current = setup_;
  current.customProperties = *properties_;
  current.links = *links_;
  return current;
}

HRESULT BatchSetupData::Apply() {
  try {
    WriteSetup(path_, Current());
    applyError_.clear();
    ++applyCount_;
    return hr::kOk;
  } catch (const std::exception& error) {
    applyError_ = error.what();
  } catch (...) {
    applyError_ = path_.string() + ": cannot be written";
  }
  return hr::kFail;
}

}  // namespace mirdane::batch
