#include "ui/taskdialog/stock_icons.h"

#include "ui/taskdialog/task_dialog_constants.h"

namespace mirdane::taskdialog {

unsigned StockIconResource(std::uintptr_t value) {
  switch (value) {
    case stock_icon::kWarning:
      return resource_id::kIconWarning;
    case stock_icon::kError:
      return resource_id::kIconError;
    case stock_icon::kInformation:
      return resource_id::kIconInformation;
    case stock_icon::kShield:
      return resource_id::kIconShield;
    default:
      return 0;
  }
}

unsigned MainIconSound(std::uintptr_t value, bool isHandle) {
  if (isHandle) return 0;
  switch (value) {
    case stock_icon::kError:
      return 0x10;
    case stock_icon::kWarning:
      return 0x30;
    case stock_icon::kInformation:
      return 0x40;
    default:
      return 0;
  }
}

}  // namespace mirdane::taskdialog
