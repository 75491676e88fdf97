#include "ui/taskdialog/task_dialog_config.h"

#include <cstring>

namespace mirdane::taskdialog {

TaskDialogButton ButtonAt(const TaskDialogButton* array, std::size_t index) {
  TaskDialogButton button;
  std::memcpy(&button, reinterpret_cast<const unsigned char*>(array) + index * sizeof(button),
              sizeof(button));
  return button;
}

std::vector<TaskDialogButton> ReadButtons(const TaskDialogButton* array, std::uint32_t count) {
  std::vector<TaskDialogButton> buttons;
  if (array == nullptr) return buttons;
  buttons.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) buttons.push_back(ButtonAt(array, i));
  return buttons;
}

}  // namespace mirdane::taskdialog
