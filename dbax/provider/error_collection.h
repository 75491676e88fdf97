// A connection's Errors collection.
#pragma once

#include <mutex>
#include <vector>

#include "dbax/provider/ado.h"
#include "dbax/provider/backend.h"

namespace dbAx::provider {

class ErrorCollection final : public Errors {
 public:
  HRESULT get_Count(std::int32_t* count) override;
  HRESULT get_Item(const Variant& index, std::shared_ptr<Error>* error) override;
  HRESULT Clear() override;

  // Puts the errors of the latest failing operation in place of any earlier
  // ones, as ADO does.
  void Replace(std::vector<ProviderError> errors);

 private:
  // The data-access layer may read a connection's errors from another thread
  // while composing a message, so the list is guarded.
  std::mutex mutex_;
  std::vector<ProviderError> errors_;
};

}  // namespace dbAx::provider
