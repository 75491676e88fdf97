// The application object: what runs when the module is loaded into a process
// and when it is unloaded.
//
// Start-up initialises COM on the starting thread, sets the run-time
// library's locale from the user's language and country and the system's
// ANSI code page, and starts the data-access library. It does not run inside
// DllMain, where COM must not be initialised (the loader lock is held), but
// on the host's first call into the module: DllGetClassObject or the
// registration entry points, on the thread that loaded the module.
#pragma once

#include <optional>
#include <string>

namespace mirdane::component {

class CmirdaneApp {
 public:
  static CmirdaneApp& Instance();

  // Starts the application once per process; later calls do nothing. Never
  // throws and never fails the caller: a failure to start the data-access
  // library is kept and reported by every release instead.
  bool InitInstance();
  // Stops what InitInstance started, on the thread that started it.
  int ExitInstance();

  // Why the data-access library could not be started, when it could not.
  std::optional<std::u16string> StartFailure() const;

 private:
  bool started_ = false;
  bool comInitialised_ = false;
  unsigned long startThread_ = 0;
  std::optional<std::u16string> startFailure_;
};

}  // namespace mirdane::component
