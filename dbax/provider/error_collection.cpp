#include "dbax/provider/error_collection.h"

namespace dbAx::provider {
namespace {

class ErrorEntry final : public Error {
 public:
  explicit ErrorEntry(ProviderError error) : error_(std::move(error)) {}

  HRESULT get_Number(std::int32_t* number) override {
    if (!number) return mirdane::hr::kPointer;
    *number = error_.number;
    return mirdane::hr::kOk;
  }
  HRESULT get_Description(std::u16string* description) override {
    if (!description) return mirdane::hr::kPointer;
    *description = error_.description;
    return mirdane::hr::kOk;
  }

 private:
  ProviderError error_;
};

}  // namespace

HRESULT ErrorCollection::get_Count(std::int32_t* count) {
  if (!count) return mirdane::hr::kPointer;
  std::lock_guard lock(mutex_);
  *count = static_cast<std::int32_t>(errors_.size());
  return mirdane::hr::kOk;
}

HRESULT ErrorCollection::get_Item(const Variant& index, std::shared_ptr<Error>* error) {
  if (!error) return mirdane::hr::kPointer;
  const auto position = index.AsInteger();
  std::lock_guard lock(mutex_);
  if (!position || *position < 0 || static_cast<std::size_t>(*position) >= errors_.size()) {
    return ado::adErrItemNotFound;
  }
  *error = std::make_shared<ErrorEntry>(errors_[static_cast<std::size_t>(*position)]);
  return mirdane::hr::kOk;
}

HRESULT ErrorCollection::Clear() {
  std::lock_guard lock(mutex_);
  errors_.clear();
  return mirdane::hr::kOk;
}

void ErrorCollection::Replace(std::vector<ProviderError> errors) {
  std::lock_guard lock(mutex_);
  errors_ = std::move(errors);
}

}  // namespace dbAx::provider
