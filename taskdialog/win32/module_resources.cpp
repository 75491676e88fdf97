#include "taskdialog/win32/module_resources.h"

#include "taskdialog/win32/win32_handles.h"

namespace mirdane::taskdialog::win32 {

HINSTANCE ResourceInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ResourceInstance), &module);
  return module;
}

::mirdane::HRESULT ModuleStrings::FindString(std::uintptr_t instance, unsigned id,
                                             std::u16string& text) const {
  const wchar_t* resource = nullptr;
  SetLastError(0);
  // With a length of 0 the platform gives a pointer to the string in the
  // module instead of a copy; the string is not terminated there.
  const int length = LoadStringW(reinterpret_cast<HINSTANCE>(instance), id,
                                 reinterpret_cast<LPWSTR>(&resource), 0);
  if (length <= 0 || resource == nullptr) {
    if (GetLastError() == 0) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return LastErrorResult();
  }
  text.assign(reinterpret_cast<const char16_t*>(resource), static_cast<std::size_t>(length));
  return 0;
}

std::u16string ExecutableFileName() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string full(reinterpret_cast<const char16_t*>(path), length);
  const std::size_t slash = full.find_last_of(u"\\/");
  return slash == std::u16string::npos ? full : full.substr(slash + 1);
}

}  // namespace mirdane::taskdialog::win32
