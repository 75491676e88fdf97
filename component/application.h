// The application object: what the module starts on the host's first call
// and stops before it lets itself be unloaded.
//
// Start-up starts the data-access library; nothing else is process-wide. It
// runs on the host's first call into the module (DllGetClassObject or the
// registration entry points), never in DllMain, and it leaves the caller's
// thread as it found it: no COM initialisation (the host's apartment, of
// either kind, is the one the module works in) and no change to the run-time
// library's locale, which every other module of the host shares.
//
// Stop closes the data-access library's connections and kept sessions. It
// talks to servers and may unload ODBC drivers, so it runs on an ordinary
// thread: from DllCanUnloadNow, when nothing holds the module any more and
// the host is about to free it. A module unloaded with the process does
// nothing at all: the system ends its sessions.
#pragma once

#include <optional>
#include <string>

namespace mirdane::component {

class CmirdaneApp {
 public:
  static CmirdaneApp& Instance();

  // Starts the application once; later calls do nothing until ExitInstance.
  // Never throws and never fails the caller: a failure to start the
  // data-access library is kept and reported by every release instead.
  bool InitInstance();
  // Stops what InitInstance started; the next InitInstance starts anew.
  // False when a connection could not be closed (the module should then stay).
  bool ExitInstance();

  // Why the data-access library could not be started, when it could not.
  std::optional<std::u16string> StartFailure() const;

 private:
  bool started_ = false;
  std::optional<std::u16string> startFailure_;
};

}  // namespace mirdane::component
