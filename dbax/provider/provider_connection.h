// The provider's Connection object: routes its connection string to a backend
// and keeps the Errors collection that every object of the connection reports
// into.
#pragma once

#include <memory>
#include <optional>

#include "dbax/provider/ado.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/error_collection.h"
#include "dbax/provider/secret_scrubber.h"
#include "dbax/provider/session_pool.h"

namespace dbAx::provider {

// What a connection shares with the recordsets opened on it.
struct ConnectionCore {
  std::shared_ptr<ErrorCollection> errors = std::make_shared<ErrorCollection>();
  std::shared_ptr<Session> session;  // null while the connection is closed
  // The password of the latest Open, and any PWD= in its connection string.
  SecretScrubber secrets;
  // Where the session goes back to when the connection closes; none for a
  // backend that is not pooled here.
  std::optional<PoolKey> pool_key;
  // Whether any call on the connection or its recordsets failed since it
  // opened: such a session is never handed to another connection.
  bool failed = false;
  // Recordsets open on the connection: a session that one of them still
  // uses cannot serve another connection.
  int open_recordsets = 0;

  // Records a failure in the Errors collection, with every secret hidden,
  // and gives its HRESULT.
  HRESULT Fail(Failure failure);
  HRESULT Fail(HRESULT result, std::u16string description);
};

// The connection string read last is kept with its parts, as the release
// opens a connection per document with the same one. It may hold a password:
// AxLibTerm forgets it, as it closes the pool's sessions.
void ForgetConnectionStrings();
bool KeepsConnectionString();

class ProviderConnection final : public Connection {
 public:
  HRESULT put_CursorLocation(std::int32_t location) override;
  HRESULT get_CursorLocation(std::int32_t* location) override;
  HRESULT Open(const std::u16string& connection_string, const std::u16string& user,
               const std::u16string& password, std::int32_t options) override;
  HRESULT get_State(std::int32_t* state) override;
  HRESULT Close() override;
  HRESULT get_Errors(std::shared_ptr<Errors>* errors) override;

  const std::shared_ptr<ConnectionCore>& core() const { return core_; }

 private:
  std::int32_t cursor_location_ = ado::adUseServer;
  std::shared_ptr<ConnectionCore> core_ = std::make_shared<ConnectionCore>();
};

}  // namespace dbAx::provider
