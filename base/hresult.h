// HRESULT values of the platform, usable without any Windows header.
//
// The portable core keeps COM's calling shape (every call answers with an
// HRESULT), so it needs the type and the handful of values it passes. The
// names are not the platform's macros (S_OK, E_FAIL) so that Windows code can
// include these headers next to <windows.h>.
#pragma once

#include <cstdint>

namespace mirdane {

using HRESULT = std::int32_t;

namespace hr {

constexpr HRESULT FromBits(std::uint32_t bits) { return static_cast<HRESULT>(bits); }

inline constexpr HRESULT kOk = 0;                                // S_OK
inline constexpr HRESULT kFalse = 1;                             // S_FALSE
inline constexpr HRESULT kNotImplemented = FromBits(0x80004001); // E_NOTIMPL
inline constexpr HRESULT kNoInterface = FromBits(0x80004002);    // E_NOINTERFACE
inline constexpr HRESULT kPointer = FromBits(0x80004003);        // E_POINTER
inline constexpr HRESULT kAbort = FromBits(0x80004004);          // E_ABORT
inline constexpr HRESULT kFail = FromBits(0x80004005);           // E_FAIL
inline constexpr HRESULT kUnexpected = FromBits(0x8000FFFF);     // E_UNEXPECTED
inline constexpr HRESULT kAccessDenied = FromBits(0x80070005);   // E_ACCESSDENIED
inline constexpr HRESULT kOutOfMemory = FromBits(0x8007000E);    // E_OUTOFMEMORY
inline constexpr HRESULT kInvalidArg = FromBits(0x80070057);     // E_INVALIDARG
inline constexpr HRESULT kParamNotFound = FromBits(0x80020004);  // DISP_E_PARAMNOTFOUND
inline constexpr HRESULT kTypeMismatch = FromBits(0x80020005);   // DISP_E_TYPEMISMATCH
inline constexpr HRESULT kUnknownName = FromBits(0x80020006);    // DISP_E_UNKNOWNNAME
inline constexpr HRESULT kBadIndex = FromBits(0x8002000B);       // DISP_E_BADINDEX
inline constexpr HRESULT kClassNotRegistered = FromBits(0x80040154); // REGDB_E_CLASSNOTREG

}  // namespace hr

constexpr bool Failed(HRESULT result) { return result < 0; }
constexpr bool Succeeded(HRESULT result) { return result >= 0; }

}  // namespace mirdane
