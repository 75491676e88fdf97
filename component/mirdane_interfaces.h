// The module's own interfaces and ids, as the type library compiler writes
// them, with the platform headers they need.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "mirdane_h.h"  // generated from mirdane.idl
