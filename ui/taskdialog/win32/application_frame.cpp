#include "ui/taskdialog/win32/application_frame.h"

namespace mirdane::taskdialog::win32 {

ApplicationFrame& ApplicationFrame::Current() {
  static ApplicationFrame frame;
  return frame;
}

void ApplicationFrame::EnableModeless(bool enable) {
  const bool wasEnabled = ModelessEnabled();
  if (enable) {
    if (modelessDisabled_ > 0) --modelessDisabled_;
  } else {
    ++modelessDisabled_;
  }
  if (listener_ && wasEnabled != ModelessEnabled()) listener_(ModelessEnabled());
}

void ApplicationFrame::SetModelessListener(std::function<void(bool)> listener) {
  listener_ = std::move(listener);
}

}  // namespace mirdane::taskdialog::win32
