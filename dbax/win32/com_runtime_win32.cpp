#include <objbase.h>

#include "dbax/com_runtime.h"

namespace dbAx {

mirdane::HRESULT InitializeComForThread() {
  return static_cast<mirdane::HRESULT>(::CoInitialize(nullptr));
}

void UninitializeComForThread() { ::CoUninitialize(); }

}  // namespace dbAx
