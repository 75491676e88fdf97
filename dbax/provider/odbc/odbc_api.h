// The ODBC C API and the few helpers every ODBC file of the provider needs:
// text conversion at the API's edge and owners for its handles.
//
// Only the wide-character ("W") calls are used, so that text reaches the
// driver manager as UTF-16 on Windows and on unixODBC alike.
#pragma once

#if defined(_WIN32)
// odbc32's headers need the Windows types; nothing else of Windows is used.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace dbAx::provider::odbc {

// SQLWCHAR is a 16-bit unit on both platforms (wchar_t on Windows, unsigned
// short with unixODBC); the core's char16_t maps one to one.
using SqlText = std::basic_string<SQLWCHAR>;

inline SqlText ToSql(std::u16string_view text) {
  SqlText out;
  out.reserve(text.size());
  for (const char16_t c : text) out.push_back(static_cast<SQLWCHAR>(c));
  return out;
}

// Appends `text` to `out`, whose storage is reused.
inline void AppendSql(std::u16string_view text, SqlText* out) {
  for (const char16_t c : text) out->push_back(static_cast<SQLWCHAR>(c));
}

inline std::u16string FromSql(const SQLWCHAR* text, std::size_t length) {
  std::u16string out;
  out.reserve(length);
  for (std::size_t i = 0; i < length; ++i) out.push_back(static_cast<char16_t>(text[i]));
  return out;
}

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// An integer attribute value passed where the API takes a pointer.
inline SQLPOINTER IntegerAttribute(std::uintptr_t value) {
  return reinterpret_cast<SQLPOINTER>(value);
}

// Owns one ODBC handle of a given type and frees it when it goes.
template <SQLSMALLINT Type>
class Handle {
 public:
  Handle() = default;
  ~Handle() { Reset(); }
  Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  SQLHANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  // Allocates a new handle under `parent`, freeing any held one first.
  SQLRETURN Allocate(SQLHANDLE parent) {
    Reset();
    return SQLAllocHandle(Type, parent, &handle_);
  }
  // Gives the handle up without freeing it (the driver freed it already).
  void Abandon() { handle_ = nullptr; }
  void Reset() {
    if (handle_ != nullptr) SQLFreeHandle(Type, handle_);
    handle_ = nullptr;
  }

 private:
  SQLHANDLE handle_ = nullptr;
};

using EnvironmentHandle = Handle<SQL_HANDLE_ENV>;
using ConnectionHandle = Handle<SQL_HANDLE_DBC>;
using StatementHandle = Handle<SQL_HANDLE_STMT>;

}  // namespace dbAx::provider::odbc
