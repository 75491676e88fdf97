// The module whose resources the task dialog uses (the DLL or program that
// holds this code) and its string table.
#pragma once

#include <windows.h>

#include <string>

#include "ui/taskdialog/task_dialog_texts.h"
#include "win32/wide_text.h"

namespace mirdane::taskdialog::win32 {

// The module that holds the task dialog's code, icons and strings.
HINSTANCE ResourceInstance();

// The strings of a module's string table.
class ModuleStrings : public StringSource {
 public:
  ::mirdane::HRESULT FindString(std::uintptr_t instance, unsigned id,
                                std::u16string& text) const override;
};

// The process's executable file name with its extension.
std::u16string ExecutableFileName();

using ::mirdane::win32::Wide;

}  // namespace mirdane::taskdialog::win32
