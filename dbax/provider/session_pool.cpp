#include "dbax/provider/session_pool.h"

#include <algorithm>
#include <atomic>

namespace dbAx::provider {
namespace {

std::atomic<std::size_t> described{0};
std::atomic<bool> row_batches{true};
std::atomic<std::size_t> batches_stored{0};

}  // namespace

std::size_t SourcesDescribed() { return described.load(); }
void NoteSourceDescribed() { ++described; }
bool RowBatchesAllowed() { return row_batches.load(); }
void AllowRowBatches(bool allowed) { row_batches.store(allowed); }
std::size_t RowBatchesStored() { return batches_stored.load(); }
void NoteRowBatchStored() { ++batches_stored; }

SessionPool& SessionPool::Instance() {
  static SessionPool* const pool = new SessionPool;
  return *pool;
}

bool SessionPool::Pools(BackendKind kind) {
  switch (kind) {
    case BackendKind::StandIn:
    case BackendKind::Odbc:
      return true;
    case BackendKind::Ado:
      return false;
    case BackendKind::IbmI:
#if defined(_WIN32)
      return false;  // ADO with IBMDA400, pooled by the platform
#else
      return true;  // IBM's ODBC driver
#endif
  }
  return false;
}

SessionPool::Clock::time_point SessionPool::Now() const { return now_ ? now_() : Clock::now(); }

void SessionPool::SetClockForTesting(std::function<Clock::time_point()> now) {
  std::lock_guard lock(mutex_);
  now_ = std::move(now);
}

void SessionPool::CloseAll(std::vector<std::shared_ptr<Session>>& sessions) {
  for (auto& session : sessions) {
    Failure ignored;  // nobody is left to tell
    session->Close(&ignored);
  }
  sessions.clear();
}

void SessionPool::TakeExpired(std::vector<std::shared_ptr<Session>>* out) {
  const auto now = Now();
  for (auto it = idle_.begin(); it != idle_.end();) {
    if (now - it->since >= kIdleTimeout) {
      out->push_back(std::move(it->session));
      it = idle_.erase(it);
      ++statistics_.expired;
    } else {
      ++it;
    }
  }
}

std::shared_ptr<Session> SessionPool::Take(const PoolKey& key) {
  std::vector<std::shared_ptr<Session>> to_close;
  std::shared_ptr<Session> found;
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      TakeExpired(&to_close);
      // The most recently used first: it is the likeliest to be alive.
      const auto match = std::find_if(idle_.rbegin(), idle_.rend(),
                                      [&](const Idle& entry) { return entry.key == key; });
      if (match == idle_.rend()) break;
      found = std::move(match->session);
      idle_.erase(std::next(match).base());
    }
    // Checked outside the lock: it may ask the server.
    if (found->StillUsable()) {
      std::lock_guard lock(mutex_);
      ++statistics_.reused;
      break;
    }
    {
      std::lock_guard lock(mutex_);
      ++statistics_.discarded;
    }
    to_close.push_back(std::move(found));
    found.reset();
  }
  CloseAll(to_close);
  return found;
}

void SessionPool::Give(const PoolKey& key, std::shared_ptr<Session> session) {
  std::vector<std::shared_ptr<Session>> to_close;
  {
    std::lock_guard lock(mutex_);
    TakeExpired(&to_close);
    const auto same = std::count_if(idle_.begin(), idle_.end(),
                                    [&](const Idle& entry) { return entry.key == key; });
    // Over a limit the oldest idle session goes, of this key or of any.
    if (static_cast<std::size_t>(same) >= kMaxIdlePerKey) {
      const auto oldest = std::find_if(idle_.begin(), idle_.end(),
                                       [&](const Idle& entry) { return entry.key == key; });
      to_close.push_back(std::move(oldest->session));
      idle_.erase(oldest);
    } else if (idle_.size() >= kMaxIdle) {
      to_close.push_back(std::move(idle_.front().session));
      idle_.erase(idle_.begin());
    }
    idle_.push_back(Idle{key, std::move(session), Now()});
  }
  CloseAll(to_close);
}

void SessionPool::NoteDiscarded() {
  std::lock_guard lock(mutex_);
  ++statistics_.discarded;
}

void SessionPool::NoteOpened() {
  std::lock_guard lock(mutex_);
  ++statistics_.opened;
}

void SessionPool::CloseExpired() {
  std::vector<std::shared_ptr<Session>> to_close;
  {
    std::lock_guard lock(mutex_);
    TakeExpired(&to_close);
  }
  CloseAll(to_close);
}

void SessionPool::Clear() {
  std::vector<std::shared_ptr<Session>> to_close;
  {
    std::lock_guard lock(mutex_);
    for (auto& entry : idle_) to_close.push_back(std::move(entry.session));
    idle_.clear();
  }
  CloseAll(to_close);
}

PoolStatistics SessionPool::Statistics() const {
  std::lock_guard lock(mutex_);
  PoolStatistics statistics = statistics_;
  statistics.idle = idle_.size();
  return statistics;
}

}  // namespace dbAx::provider
