#include "dbax/connection_registry.h"

#include <algorithm>

namespace dbAx {

std::recursive_mutex& ConnectionRegistry::Mutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::vector<CAxConnection*>& ConnectionRegistry::Entries() {
  static std::vector<CAxConnection*> entries;
  return entries;
}

void ConnectionRegistry::Register(CAxConnection* connection) {
  std::lock_guard lock(Mutex());
  Entries().push_back(connection);
}

void ConnectionRegistry::Unregister(CAxConnection* connection) {
  std::lock_guard lock(Mutex());
  auto& entries = Entries();
  if (auto it = std::find(entries.begin(), entries.end(), connection); it != entries.end()) {
    entries.erase(it);
  }
}

void ConnectionRegistry::Clear() {
  std::lock_guard lock(Mutex());
  Entries().clear();
}

std::size_t ConnectionRegistry::Size() {
  std::lock_guard lock(Mutex());
  return Entries().size();
}

}  // namespace dbAx
