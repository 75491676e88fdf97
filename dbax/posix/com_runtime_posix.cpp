// There is no COM off Windows: the provider's objects need no initialisation.
#include "dbax/com_runtime.h"

namespace dbAx {

mirdane::HRESULT InitializeComForThread() { return mirdane::hr::kOk; }
void UninitializeComForThread() {}

}  // namespace dbAx
