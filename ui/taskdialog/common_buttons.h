// The six common buttons in the order of the button row.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/taskdialog/task_dialog_texts.h"

namespace mirdane::taskdialog {

struct CommonButton {
  std::u16string text;       // the default text, replaced from the string table
  unsigned stringId = 0;     // the module's string of the text
  std::uint32_t flag = 0;    // its bit in dwCommonButtons
  int id = 0;                // the id it closes the dialog with
};

using CommonButtonTable = std::array<CommonButton, 6>;

// The table with its default texts: OK, Yes, No, Retry, Cancel, Close.
CommonButtonTable DefaultCommonButtons();

// Replaces each text by the string of its id in `instance` where that string exists.
void LoadCommonButtonTexts(CommonButtonTable& table, const StringSource& strings,
                           std::uintptr_t instance);

// The number of rows whose flag `commonButtons` sets.
int CountCommonButtons(const CommonButtonTable& table, std::uint32_t commonButtons);

// The row of `table` that closes the dialog with `id`, or null.
const CommonButton* FindCommonButton(const CommonButtonTable& table, int id);

}  // namespace mirdane::taskdialog
