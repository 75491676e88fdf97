// What the host simulator does with a script of the registered COM server:
// create it by ProgID, and call its members that answer a KfxReturnValue.
#pragma once

#include <oaidl.h>

#include <string>

#include "win32/dispatch_call.h"

namespace mirdane::hostcom {

// "what: the system's text of `result`".
std::string DescribeFailure(const std::string& what, ::HRESULT result);

// Creates the script registered as `progId` into `script`; empty on success,
// else why not (not registered, or not creatable), for the administrator.
std::string CreateScript(const wchar_t* progId, win32::DispatchObject* script);

// Calls a script member that answers a KfxReturnValue, which goes into `outcome`.
::HRESULT CallScript(win32::DispatchObject& script, const wchar_t* name, LONG* outcome);

}  // namespace mirdane::hostcom
