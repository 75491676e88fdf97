// The capture host's objects, reached by name through IDispatch, behind the
// portable host interfaces that the release and the setup use.
//
// The host's interface ids are not ours to rely on: every member is called
// by name. An interface id is asked for only where the host's objects are
// known to answer one (the row collection of a table field, the collection of
// capture value names, IEnumVARIANT). A host call that fails, raises an
// error, is missing or answers with a value of another kind comes back as a
// failing HRESULT, which the core treats as its failure path.
#pragma once

#include <oaidl.h>

#include <memory>

#include "host/host_objects.h"

namespace mirdane::component {

// Wrap a host object, or null when `object` is null.
std::shared_ptr<kfx::ReleaseData> WrapReleaseData(IDispatch* object);
std::shared_ptr<kfx::ReleaseSetupData> WrapReleaseSetupData(IDispatch* object);

}  // namespace mirdane::component
