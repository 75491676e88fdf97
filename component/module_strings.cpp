#include "component/module_strings.h"

#include <windows.h>

#include "component/module.h"
#include "win32/wide_text.h"

namespace mirdane::component {

std::optional<std::u16string> LoadModuleString(unsigned id) {
  return win32::LoadResourceString(CmirdaneModule::Instance().ModuleHandle(), id);
}

}  // namespace mirdane::component
