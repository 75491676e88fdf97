// Sessions kept open between the connections that use them.
//
// The release opens and closes one connection per document. Connecting costs
// far more than a document's rows (a sign-on, and across a network to the
// IBM i much more), so the provider keeps a closed connection's session, as
// the platform's session pooling does for OLE DB providers, and hands it to
// the next connection that names the same data source, user and password.
// ADO pools its own sessions, so only the stand-in and ODBC sessions come here.
//
// A session is given back only when nothing failed on its connection; one
// handed out again is first checked to be usable (the server still answers,
// the files are still the ones opened). Idle sessions are closed once they
// have lain unused for kIdleTimeout, when the pool is next used, and all of
// them at AxLibTerm.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dbax/provider/backend.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider {

struct PoolKey {
  BackendKind kind = BackendKind::IbmI;
  std::u16string source;  // the route's target
  std::u16string user;
  std::u16string password;

  bool operator==(const PoolKey&) const = default;
};

// What the pool has done since the process started; for tests and benchmarks.
struct PoolStatistics {
  std::size_t opened = 0;     // sessions opened for pooled routes
  std::size_t reused = 0;     // sessions handed out again
  std::size_t discarded = 0;  // sessions closed instead of kept: failed, or unusable when taken
  std::size_t expired = 0;    // idle sessions closed for lying unused too long
  std::size_t idle = 0;       // sessions waiting now
};

class SessionPool {
 public:
  using Clock = std::chrono::steady_clock;

  // How long a session may lie unused before it is closed.
  static constexpr std::chrono::seconds kIdleTimeout{60};
  // Idle sessions kept per key and in all; one release uses one at a time.
  static constexpr std::size_t kMaxIdlePerKey = 4;
  static constexpr std::size_t kMaxIdle = 32;

  // The process's pool. It is never destroyed: sessions left in it when the
  // process ends without AxLibTerm are ended by the system, not by static
  // destructors that might run after the drivers' own.
  static SessionPool& Instance();

  // Whether sessions of this backend are pooled here.
  static bool Pools(BackendKind kind);

  // An idle session for `key` that is still usable, or null.
  std::shared_ptr<Session> Take(const PoolKey& key);
  // Keeps a session whose connection closed with nothing failed.
  void Give(const PoolKey& key, std::shared_ptr<Session> session);
  // Counts a session opened for a pooled route, and one closed instead of kept.
  void NoteOpened();
  void NoteDiscarded();
  // Closes the sessions idle for longer than the timeout.
  void CloseExpired();
  // Closes every idle session.
  void Clear();

  PoolStatistics Statistics() const;

  // Tests replace the clock to make sessions expire without waiting.
  void SetClockForTesting(std::function<Clock::time_point()> now);

 private:
  struct Idle {
    PoolKey key;
    std::shared_ptr<Session> session;
    Clock::time_point since;
  };

  Clock::time_point Now() const;
  // Moves the expired sessions out, to be closed outside the lock.
  void TakeExpired(std::vector<std::shared_ptr<Session>>* out);
  static void CloseAll(std::vector<std::shared_ptr<Session>>& sessions);

  mutable std::mutex mutex_;
  std::vector<Idle> idle_;  // the most recently given last
  PoolStatistics statistics_;
  std::function<Clock::time_point()> now_;
};

}  // namespace dbAx::provider
