#include "dbax/ax_library.h"

#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/connection_registry.h"
#include "dbax/provider/provider_connection.h"
#include "dbax/provider/session_pool.h"

namespace dbAx {
namespace {

// Guarded by the registry's lock, like the registry itself.
bool initialised = false;

}  // namespace

void AxLibInit() {
  std::lock_guard lock(ConnectionRegistry::Mutex());
  if (initialised) return;
  // COM is the business of whoever owns the calling thread: inside a host
  // the thread is the host's, and its apartment (of either kind) serves.
  ConnectionRegistry::Clear();
  initialised = true;
}

void AxLibTerm() {
  std::lock_guard lock(ConnectionRegistry::Mutex());
  if (!initialised) return;
  // The open connections give their sessions back to the pool as they close;
  // the pool is emptied after them, however closing them goes.
  auto& pool = provider::SessionPool::Instance();
  try {
    ConnectionRegistry::Walk([](CAxConnection* connection) {
      if (connection->_IsOpen()) connection->Close();
      return true;
    });
  } catch (...) {
    pool.Clear();
    provider::ForgetConnectionStrings();
    throw;
  }
  ConnectionRegistry::Clear();
  pool.Clear();
  provider::ForgetConnectionStrings();
  initialised = false;
}

bool AxLibIsInitialised() {
  std::lock_guard lock(ConnectionRegistry::Mutex());
  return initialised;
}

}  // namespace dbAx
