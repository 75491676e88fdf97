#include "ui/taskdialog/common_buttons.h"

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

CommonButtonTable DefaultCommonButtons() {
  return {{
      {u"OK", resource_id::kStringOk, tdcbf::kOk, button_id::kOk},
      {u"&Yes", resource_id::kStringYes, tdcbf::kYes, button_id::kYes},
      {u"&No", resource_id::kStringNo, tdcbf::kNo, button_id::kNo},
      {u"&Retry", resource_id::kStringRetry, tdcbf::kRetry, button_id::kRetry},
      {u"Cancel", resource_id::kStringCancel, tdcbf::kCancel, button_id::kCancel},
      {u"&Close", resource_id::kStringClose, tdcbf::kClose, button_id::kClose},
  }};
}

void LoadCommonButtonTexts(CommonButtonTable& table, const StringSource& strings,
                           std::uintptr_t instance) {
  for (CommonButton& button : table) {
    std::u16string text;
    // A missing string keeps the default text.
    if (Succeeded(strings.FindString(instance, button.stringId, text)) && !text.empty())
      button.text = std::move(text);
  }
}

int CountCommonButtons(const CommonButtonTable& table, std::uint32_t commonButtons) {
  int count = 0;
  for (const CommonButton& button : table) {
    if ((commonButtons & button.flag) != 0) ++count;
  }
  return count;
}

const CommonButton* FindCommonButton(const CommonButtonTable& table, int id) {
  for (const CommonButton& button : table) {
    if (button.id == id) return &button;
  }
  return nullptr;
}

}  // namespace mirdane::taskdialog
