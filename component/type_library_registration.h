// The registration of the module's type library, limited to the library's
// own key.
//
// The library also describes interfaces that belong to the host (the two
// script interfaces every connector implements, and the host's objects).
// The platform's RegisterTypeLib would point their HKCR\Interface keys at
// this module's library, in both registry views, and UnRegisterTypeLib would
// delete them, breaking every other connector of the host. So only
// HKCR\TypeLib\{LIBID}\1.0 is written here: with the library's name, its
// FLAGS and HELPDIR, and the module's path under 0\win32 or 0\win64. Nothing
// calls these interfaces across apartments through this module's library, so
// no Interface key is needed, and none is ever written or removed.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace mirdane::component {

// Writes the library's key for the platform the library was built for.
HRESULT RegisterTypeLibrary(ITypeLib* library, const std::u16string& modulePath);

// Removes that platform's entry; the version key goes with the last
// platform, the library's key with its last version. A library that is not
// registered is no failure.
HRESULT UnregisterTypeLibrary(REFGUID library, WORD major, WORD minor, LCID locale,
                              SYSKIND kind);

// Whether the library is registered for `kind` (win32 or win64).
bool IsTypeLibraryRegistered(REFGUID library, WORD major, WORD minor, LCID locale, SYSKIND kind);

}  // namespace mirdane::component
