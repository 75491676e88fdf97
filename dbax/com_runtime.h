// COM initialisation of the calling thread, where the platform has COM.
#pragma once

#include "base/hresult.h"

namespace dbAx {

// The platform's plain (apartment) COM initialisation; S_FALSE when the thread
// was initialised already. Without COM it does nothing and answers S_OK.
mirdane::HRESULT InitializeComForThread();
void UninitializeComForThread();

}  // namespace dbAx
