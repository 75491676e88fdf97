// Writing a registry script into the registry, and taking it out again.
#pragma once

#include <windows.h>

#include "component/registrar/registry_script.h"

namespace mirdane::component {

// Creates every key and value of `script`. ForceRemove keys are replaced
// whole; Delete keys are removed. Stops at the first failure.
HRESULT WriteRegistryScript(const RegistryScript& script);

// Removes what `script` wrote: ForceRemove keys whole, other keys once their
// listed subkeys are gone and nothing else is left under them; NoRemove keys
// stay. Keys that are already missing are no failure.
HRESULT RemoveRegistryScript(const RegistryScript& script);

}  // namespace mirdane::component
