#include "base/object.h"

namespace mirdane {

HRESULT Object::QueryInterface(const InterfaceId&, std::shared_ptr<Object>* out) {
  if (out) out->reset();
  return hr::kNoInterface;
}

}  // namespace mirdane
