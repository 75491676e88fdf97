#include "dbax/provider/provider_connection.h"

#include <mutex>
#include <optional>
#include <vector>

#include "dbax/provider/backends.h"
#include "dbax/provider/routing.h"

namespace dbAx::provider {

using mirdane::hr::kOk;
using mirdane::hr::kPointer;

HRESULT ConnectionCore::Fail(Failure failure) {
  failed = true;
  // Whatever a backend or driver echoes, the password never reaches a message.
  for (auto& error : failure.errors) error.description = secrets.Scrub(error.description);
  errors->Replace(std::move(failure.errors));
  return failure.result;
}

HRESULT ConnectionCore::Fail(HRESULT result, std::u16string description) {
  return Fail(Failure::Of(result, result, std::move(description)));
}

HRESULT ProviderConnection::put_CursorLocation(std::int32_t location) {
  if (location != ado::adUseServer && location != ado::adUseClient) {
    return core_->Fail(ado::adErrInvalidArgument,
                       u"Arguments are of the wrong type, are out of acceptable range, or are in "
                       u"conflict with one another.");
  }
  cursor_location_ = location;
  return kOk;
}

HRESULT ProviderConnection::get_CursorLocation(std::int32_t* location) {
  if (!location) return kPointer;
  *location = cursor_location_;
  return kOk;
}

namespace {

// What a connection string gives a connection.
struct ConnectionStringParts {
  std::vector<std::u16string> secrets;  // SecretScrubber::SecretsOf
  std::u16string data_source;
};

struct ReadConnectionString {
  std::u16string text;
  ConnectionStringParts parts;
};

// The connection string read last, with its parts. Never destroyed, as the
// pool is not: connections may close while the module's statics are being
// torn down.
std::mutex& ReadMutex() {
  static auto* const mutex = new std::mutex;
  return *mutex;
}
std::optional<ReadConnectionString>& LastRead() {
  static auto* const last = new std::optional<ReadConnectionString>;
  return *last;
}

// The parts of `connection_string`, read once for a run of connections with
// the same one: the release opens one per document, always with the same
// string.
ConnectionStringParts PartsOf(const std::u16string& connection_string) {
  std::lock_guard lock(ReadMutex());
  auto& last = LastRead();
  if (!last || last->text != connection_string) {
    last = ReadConnectionString{connection_string,
                                {SecretScrubber::SecretsOf(connection_string),
                                 DataSourceOf(connection_string)}};
  }
  return last->parts;
}

}  // namespace

void ForgetConnectionStrings() {
  std::lock_guard lock(ReadMutex());
  LastRead().reset();
}

bool KeepsConnectionString() {
  std::lock_guard lock(ReadMutex());
  return LastRead().has_value();
}

HRESULT ProviderConnection::Open(const std::u16string& connection_string,
                                 const std::u16string& user, const std::u16string& password,
                                 std::int32_t /*options*/) {
  if (core_->session) {
    return core_->Fail(ado::adErrObjectOpen, ado::kObjectOpenText);
  }
  const ConnectionStringParts parts = PartsOf(connection_string);
  core_->secrets = SecretScrubber();
  core_->secrets.AddSecret(password);
  for (const auto& secret : parts.secrets) core_->secrets.AddSecret(secret);
  const std::u16string& data_source = parts.data_source;
  if (data_source.empty()) {
    return core_->Fail(mirdane::hr::kFail,
                       u"The connection string names no data source (the IBM i system): '" +
                           connection_string + u"'.");
  }
  const Route route = RouteOf(data_source);
  core_->failed = false;
  core_->pool_key.reset();
  auto& pool = SessionPool::Instance();
  if (SessionPool::Pools(route.kind)) {
    PoolKey key{route.kind, route.target, user, password};
    if (auto kept = pool.Take(key)) {
      core_->session = std::move(kept);
      core_->pool_key = std::move(key);
      return kOk;
    }
    core_->pool_key = std::move(key);
  }
  Failure failure;
  std::shared_ptr<Session> session;
  if (!OpenSession(route, connection_string, user, password, &session, &failure)) {
    core_->pool_key.reset();
    return core_->Fail(std::move(failure));
  }
  if (core_->pool_key) pool.NoteOpened();
  core_->session = std::move(session);
  return kOk;
}

HRESULT ProviderConnection::get_State(std::int32_t* state) {
  if (!state) return kPointer;
  *state = core_->session ? ado::adStateOpen : ado::adStateClosed;
  return kOk;
}

HRESULT ProviderConnection::Close() {
  if (!core_->session) {
    return core_->Fail(ado::adErrObjectClosed, ado::kObjectClosedText);
  }
  auto session = std::move(core_->session);
  core_->session.reset();
  // What the session held back for its next statement is committed now, so
  // that closing keeps every row stored, pooled or not.
  Failure unsettled;
  if (!session->Settle(&unsettled)) {
    if (core_->pool_key) SessionPool::Instance().NoteDiscarded();
    core_->pool_key.reset();
    Failure ignored;
    session->Close(&ignored);
    return core_->Fail(std::move(unsettled));
  }
  if (auto key = std::move(core_->pool_key)) {
    core_->pool_key.reset();
    if (!core_->failed && core_->open_recordsets == 0) {
      SessionPool::Instance().Give(*key, std::move(session));
      return kOk;
    }
    // Something failed on it, or a recordset still holds it: it is not
    // handed to anyone else, but closed here.
    SessionPool::Instance().NoteDiscarded();
  }
  Failure failure;
  if (!session->Close(&failure)) return core_->Fail(std::move(failure));
  return kOk;
}

HRESULT ProviderConnection::get_Errors(std::shared_ptr<Errors>* errors) {
  if (!errors) return kPointer;
  *errors = core_->errors;
  return kOk;
}

}  // namespace dbAx::provider
