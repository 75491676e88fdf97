// The platform's IID for an interface id of the portable core.
#pragma once

#include <guiddef.h>

#include <cstddef>

#include "base/object.h"

namespace mirdane::win32 {

inline IID ToIid(const InterfaceId& id) {
  IID iid;
  iid.Data1 = id.data1;
  iid.Data2 = id.data2;
  iid.Data3 = id.data3;
  for (std::size_t i = 0; i < 8; ++i) iid.Data4[i] = id.data4[i];
  return iid;
}

}  // namespace mirdane::win32
