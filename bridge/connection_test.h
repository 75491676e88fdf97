// The General page's "Test Connection": the page's values tried against the
// system they name, reported in the words of `mirdane bridge check`. It only
// reads: nothing is created, changed or deleted on the server.
#pragma once

#include <string>
#include <vector>

namespace mirdane::bridge {

// What the General page holds when the button is pressed (not what is saved).
struct ConnectionTestSettings {
  std::u16string server;    // the server name: sqlite:DIR, odbc:..., or an IBM i system
  std::u16string userName;
  std::u16string password;
  std::u16string library;   // the API library, as typed
  bool releaseLedger = false;  // "Release each document only once" checked
};

struct ConnectionTestResult {
  enum class Outcome {
    kWorks,        // connected; the tables (and the ledger when it is needed) as the release needs them
    kWarnings,     // connected; differences a release survives
    kFails,        // connected; something a release would fail on
    kNoConnection  // the connection could not be opened (or the library name is no name)
  };
  Outcome outcome = Outcome::kNoConnection;
  std::u16string instruction;  // one sentence saying which
  std::u16string details;      // the check's lines, or the composed error; never the password
};

// Connects with `settings` on the calling thread, checks both bridge tables
// and, when the ledger is switched on, the ledger. Never throws: a failure
// to connect or to ask is the result. Ends within the driver's login
// timeout when the server does not answer.
ConnectionTestResult TestConnection(const ConnectionTestSettings& settings);

}  // namespace mirdane::bridge
