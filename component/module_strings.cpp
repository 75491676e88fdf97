#include "component/module_strings.h"

#include <windows.h>

#include "component/module.h"

namespace mirdane::component {

std::optional<std::u16string> LoadModuleString(unsigned id) {
  // With a zero length LoadString hands out a pointer into the resource
  // itself: no buffer can be too short.
  const wchar_t* text = nullptr;
  const int length = ::LoadStringW(CmirdaneModule::Instance().ModuleHandle(), id,
                                   reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || !text) return std::nullopt;
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

}  // namespace mirdane::component
