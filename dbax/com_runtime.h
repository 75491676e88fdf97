// COM for a thread that the program owns (its main thread), where the
// platform has COM. The library itself never calls these: a thread it is
// called on belongs to its caller.
#pragma once

#include "base/hresult.h"

namespace dbAx {

// The platform's plain (apartment) COM initialisation; S_FALSE when the thread
// was initialised already. Without COM it does nothing and answers S_OK.
mirdane::HRESULT InitializeComForThread();
// Ends one successful InitializeComForThread.
void UninitializeComForThread();

}  // namespace dbAx
