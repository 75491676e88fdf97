#include "host/batch/batch_values.h"

#include <unordered_map>

namespace mirdane::batch {
namespace {

using mirdane::HRESULT;
using mirdane::Variant;
using mirdane::VarType;
namespace hr = mirdane::hr;

class BatchValue;

class BatchRowValues final : public kfx::RowValues {
 public:
  explicit BatchRowValues(std::shared_ptr<const ResolvedValue> value) : value_(std::move(value)) {}

  HRESULT QueryInterface(const mirdane::InterfaceId& iid, std::shared_ptr<Object>* out) override {
    if (iid != kInterfaceId) return Object::QueryInterface(iid, out);
    *out = shared_from_this();
    return hr::kOk;
  }
  HRESULT get_Count(std::int32_t* count) override {
    *count = static_cast<std::int32_t>(value_->Rows().size());
    return hr::kOk;
  }
  HRESULT get_Item(const Variant& row, std::shared_ptr<kfx::Value>* value) override;

 private:
  std::shared_ptr<const ResolvedValue> value_;
};

// A field's value, or one row of a table field, which is a value of its own
// with the row's text.
class BatchValue final : public kfx::Value {
 public:
  explicit BatchValue(std::shared_ptr<const ResolvedValue> value) : value_(std::move(value)) {}
  BatchValue(std::shared_ptr<const ResolvedValue> table, std::size_t row)
      : value_(std::move(table)), row_(row) {}

  HRESULT get_Destination(std::u16string* destination) override {
    *destination = value_->destination;
    return hr::kOk;
  }
  HRESULT get_Value(std::u16string* text) override {
    *text = IsRow() ? value_->Rows()[row_] : value_->text;
    return hr::kOk;
  }
  HRESULT get_TableName(std::u16string* table) override {
    if (IsRow()) table->clear();
    else *table = value_->tableName;
    return hr::kOk;
  }
  HRESULT get_RowValues(const Variant& key, std::shared_ptr<Object>* rows) override {
    if (key.type() != VarType::Int) return hr::kTypeMismatch;
    if (IsRow() || value_->tableName.empty()) return hr::kFail;  // not a table field
    *rows = std::make_shared<BatchRowValues>(value_);
    return hr::kOk;
  }

 private:
  static constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);
  bool IsRow() const { return row_ != kNoRow; }

  // A row shares its table field's texts rather than copying them.
  std::shared_ptr<const ResolvedValue> value_;
  std::size_t row_ = kNoRow;
};

HRESULT BatchRowValues::get_Item(const Variant& row, std::shared_ptr<kfx::Value>* value) {
  if (row.type() != VarType::I4) return hr::kTypeMismatch;
  const auto index = *row.AsInteger();
  if (index < 1 || index > static_cast<std::int64_t>(value_->Rows().size())) return hr::kBadIndex;
  *value = std::make_shared<BatchValue>(value_, static_cast<std::size_t>(index - 1));
  return hr::kOk;
}

class BatchValues final : public kfx::Values {
 public:
  explicit BatchValues(std::vector<ResolvedValue> values) {
    for (auto& value : values) values_.push_back(std::make_shared<const ResolvedValue>(std::move(value)));
  }

  HRESULT get_Count(std::int32_t* count) override {
    *count = static_cast<std::int32_t>(values_.size());
    return hr::kOk;
  }

  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::Value>* value) override {
    if (key.type() == VarType::I4) {
      const auto index = *key.AsInteger();
      if (index < 1 || index > static_cast<std::int64_t>(values_.size())) return hr::kBadIndex;
      *value = std::make_shared<BatchValue>(values_[static_cast<std::size_t>(index - 1)]);
      return hr::kOk;
    }
    if (const auto* destination = key.AsText()) {
      for (const auto& candidate : values_) {
        if (candidate->destination == *destination) {
          *value = std::make_shared<BatchValue>(candidate);
          return hr::kOk;
        }
      }
      return hr::kBadIndex;
    }
    return hr::kTypeMismatch;
  }

 private:
  std::vector<std::shared_ptr<const ResolvedValue>> values_;
};

class BatchCustomProperty final : public kfx::CustomProperty {
 public:
  explicit BatchCustomProperty(std::u16string value) : value_(std::move(value)) {}
  HRESULT get_Value(std::u16string* value) override {
    *value = value_;
    return hr::kOk;
  }

 private:
  std::u16string value_;
};

class BatchCustomProperties final : public kfx::CustomProperties {
 public:
  explicit BatchCustomProperties(std::shared_ptr<NamedTexts> properties)
      : properties_(std::move(properties)) {}

  HRESULT get_Item(const Variant& key, std::shared_ptr<kfx::CustomProperty>* property) override {
    const auto* name = key.AsText();
    if (!name) return hr::kTypeMismatch;
    const auto* value = FindText(*properties_, *name);
    if (!value) return hr::kBadIndex;
    *property = std::make_shared<BatchCustomProperty>(*value);
    return hr::kOk;
  }

  HRESULT Remove(const Variant& key) override {
    const auto* name = key.AsText();
    if (!name) return hr::kTypeMismatch;
    for (auto it = properties_->begin(); it != properties_->end(); ++it) {
      if (it->first == *name) {
        properties_->erase(it);
        return hr::kOk;
      }
    }
    return hr::kBadIndex;
  }

  HRESULT Add(const std::u16string& name, const std::u16string& value) override {
    if (FindText(*properties_, name)) return hr::kInvalidArg;  // names are unique
    properties_->emplace_back(name, value);
    return hr::kOk;
  }

 private:
  std::shared_ptr<NamedTexts> properties_;
};

// Up to this many names are searched one by one: a table of them would
// cost more to build, once per document, than it saves.
constexpr std::size_t kNamesSearchedInTurn = 16;

// The first text of each name, looked up in constant time: a document may
// carry tens of thousands of fields and a setup as many links.
class TextIndex {
 public:
  explicit TextIndex(const NamedTexts& texts) : texts_(texts) {
    if (texts.size() <= kNamesSearchedInTurn) return;
    for (const auto& [name, text] : texts) index_.emplace(name, &text);
  }
  const std::u16string* Find(const std::u16string& name) const {
    if (texts_.size() <= kNamesSearchedInTurn) return FindText(texts_, name);
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : found->second;
  }

 private:
  const NamedTexts& texts_;
  std::unordered_map<std::u16string, const std::u16string*> index_;
};

// The first column of each name among the document's tables, with its table.
class ColumnIndex {
 public:
  explicit ColumnIndex(const DocumentRecord& document) : tables_(document.tables) {
    std::size_t columns = 0;
    for (const auto& table : tables_) columns += table.columns.size();
    searchedInTurn_ = columns <= kNamesSearchedInTurn;
    if (searchedInTurn_) return;
    for (const auto& table : tables_) {
      for (const auto& [name, rows] : table.columns) index_.emplace(name, Column{&table.name, &rows});
    }
  }
  const std::vector<std::u16string>* Find(const std::u16string& column, std::u16string* table) const {
    if (searchedInTurn_) {
      for (const auto& candidate : tables_) {
        for (const auto& [name, rows] : candidate.columns) {
          if (name != column) continue;
          *table = candidate.name;
          return &rows;
        }
      }
      return nullptr;
    }
    const auto found = index_.find(column);
    if (found == index_.end()) return nullptr;
    *table = *found->second.table;
    return found->second.rows;
  }

 private:
  struct Column {
    const std::u16string* table;
    const std::vector<std::u16string>* rows;
  };
  const std::vector<TableRecord>& tables_;
  bool searchedInTurn_ = false;
  std::unordered_map<std::u16string, Column> index_;
};

std::vector<ResolvedValue> Resolve(const SetupRecord& setup, const DocumentRecord& document,
                                   const std::shared_ptr<const DocumentRecord>& shared) {
  const TextIndex indexFields(document.indexFields);
  const TextIndex captureValues(document.captureValues);
  const TextIndex batchFields(document.batchFields);
  const ColumnIndex columns(document);
  std::vector<ResolvedValue> values;
  values.reserve(setup.links.size());
  for (const auto& link : setup.links) {
    ResolvedValue value;
    value.destination = link.destination;
    const TextIndex* texts = nullptr;
    switch (link.sourceType) {
      case kfx::KFX_REL_INDEXFIELD: {
        texts = &indexFields;
        if (const auto* rows = columns.Find(link.source, &value.tableName)) {
          // Shared, the texts stay in the document that `shared` keeps alive.
          if (shared) {
            value.documentRows = std::shared_ptr<const std::vector<std::u16string>>(shared, rows);
          } else {
            value.rows = *rows;
          }
        }
        break;
      }
      case kfx::KFX_REL_TEXTCONSTANT:
        value.text = link.source;
        break;
      case kfx::KFX_REL_VARIABLE:
        texts = &captureValues;
        break;
      case kfx::KFX_REL_BATCHFIELD:
        texts = &batchFields;
        break;
      default:
        break;
    }
    if (texts) {
      if (const auto* text = texts->Find(link.source)) value.text = *text;
    }
    values.push_back(std::move(value));
  }
  return values;
}

}  // namespace

std::vector<ResolvedValue> ResolveValues(const SetupRecord& setup, const DocumentRecord& document) {
  return Resolve(setup, document, nullptr);
}

std::vector<ResolvedValue> ResolveValues(const SetupRecord& setup,
                                         const std::shared_ptr<const DocumentRecord>& document) {
  return Resolve(setup, *document, document);
}

std::shared_ptr<kfx::Values> MakeValues(std::vector<ResolvedValue> values) {
  return std::make_shared<BatchValues>(std::move(values));
}

std::shared_ptr<kfx::CustomProperties> MakeCustomProperties(std::shared_ptr<NamedTexts> properties) {
  return std::make_shared<BatchCustomProperties>(std::move(properties));
}

}  // namespace mirdane::batch
