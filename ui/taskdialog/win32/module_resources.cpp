#include "ui/taskdialog/win32/module_resources.h"

#include <utility>

#include "win32/kernel_handles.h"
#include "win32/result.h"

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
  std::optional<std::u16string> found =
      ::mirdane::win32::LoadResourceString(reinterpret_cast<HINSTANCE>(instance), id);
  if (!found) return ::mirdane::win32::LastErrorResult();
  text = std::move(*found);
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
