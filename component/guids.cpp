// The one place where the ids of the module's type library are defined.
#include <windows.h>
#include <initguid.h>

#include "component/mirdane_interfaces.h"
