// The classes the module serves, with the class object of each.
#pragma once

#include <guiddef.h>

#include "component/class_factory.h"

namespace mirdane::component {

struct ClassEntry {
  const CLSID* clsid;
  ClassFactory* factory;
};

// The module's class table: the release script and the setup script.
const ClassEntry* ClassTableBegin();
const ClassEntry* ClassTableEnd();

}  // namespace mirdane::component
