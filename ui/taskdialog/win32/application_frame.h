// What a modal window asks of the application around it: its main window,
// the switch that tells it modeless windows are disabled, and the help
// prompt context. (The owner a modal window gets: win32/modal_owner.h.)
#pragma once

#include <windows.h>

#include <functional>

namespace mirdane::taskdialog::win32 {

// The framework's message that asks a window for the address of its help prompt context.
inline constexpr UINT kHelpPromptAddressMessage = 0x376;

class ApplicationFrame {
 public:
  // The frame of this module.
  static ApplicationFrame& Current();

  HWND MainWindow() const { return mainWindow_; }
  void SetMainWindow(HWND window) { mainWindow_ = window; }

  // Told before and after a modal window; counts, so that nested ones pair up.
  void EnableModeless(bool enable);
  bool ModelessEnabled() const { return modelessDisabled_ == 0; }
  // Called with the new state whenever the switch changes.
  void SetModelessListener(std::function<void(bool enabled)> listener);

  DWORD* PromptContext() { return &promptContext_; }

 private:
  HWND mainWindow_ = nullptr;
  int modelessDisabled_ = 0;
  std::function<void(bool)> listener_;
  DWORD promptContext_ = 0;
};

}  // namespace mirdane::taskdialog::win32
