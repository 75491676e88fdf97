// The process-wide list of the connections that exist, in creation order.
//
// Message composition reads the provider errors from it, and library shutdown
// closes whatever is still open. The connector's classes are registered for
// both threading models, so the list and the library's initialised flag are
// guarded; the lock is recursive because closing a connection during shutdown
// may raise an exception whose composition walks the list again.
#pragma once

#include <mutex>
#include <vector>

namespace dbAx {

class CAxConnection;

class ConnectionRegistry {
 public:
  static void Register(CAxConnection* connection);
  // Removes the first entry that refers to `connection`, if any.
  static void Unregister(CAxConnection* connection);
  static void Clear();

  // Calls `visit` for each connection in registration order, under the lock,
  // until it answers false.
  template <typename Visit>
  static void Walk(Visit visit) {
    std::lock_guard lock(Mutex());
    for (std::size_t i = 0; i < Entries().size(); ++i) {
      if (!visit(Entries()[i])) break;
    }
  }

  static std::size_t Size();
  static std::recursive_mutex& Mutex();

 private:
  static std::vector<CAxConnection*>& Entries();
};

}  // namespace dbAx
