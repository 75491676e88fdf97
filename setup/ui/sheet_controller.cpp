#include "setup/ui/sheet_controller.h"

namespace mirdane::ui {

bool SheetController::Activate(int index) {
  SheetPage& page = *pages_[static_cast<std::size_t>(index)];
  if (!page.IsCreated() && !page.CreatePage()) return false;
  if (!page.OnSetActive()) return false;
  page.ShowPage(true);
  current_ = index;
  return true;
}

bool SheetController::Start(int first) {
  if (first < 0 || first >= pageCount()) return false;
  return Activate(first);
}

bool SheetController::SelectPage(int index) {
  if (index < 0 || index >= pageCount()) return false;
  if (index == current_) return true;
  const int previous = current_;
  if (previous >= 0) {
    SheetPage& leaving = *pages_[static_cast<std::size_t>(previous)];
    if (!leaving.OnKillActive()) return false;
    leaving.ShowPage(false);
    current_ = -1;
  }
  if (Activate(index)) return true;
  // The new page would not come up: the one that was left comes back.
  if (previous >= 0) Activate(previous);
  return false;
}

bool SheetController::PressOk() {
  if (current_ >= 0 && !pages_[static_cast<std::size_t>(current_)]->OnKillActive()) return false;
  for (SheetPage* page : pages_) {
    if (page->IsCreated()) page->OnOK();
  }
  return true;
}

}  // namespace mirdane::ui
