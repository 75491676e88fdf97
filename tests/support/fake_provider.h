// A scripted provider for the data-access layer's own tests: its objects log
// every call and fail the operations a test names, which no real database
// does on demand (a failing state query, a close that fails).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dbax/provider/ado.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/error_collection.h"
#include "dbax/provider/object_factory.h"

namespace mirdane::test {

using dbAx::provider::ProviderError;

struct FakeScript {
  std::vector<std::string> log;                 // "c1.Close", "r1.AddNew", ...
  std::map<std::string, mirdane::HRESULT> fail;  // operation name -> HRESULT it answers
  std::vector<ProviderError> errors;             // what a failing call leaves in the Errors
  mirdane::HRESULT create_connection = 0;
  mirdane::HRESULT create_recordset = 0;
  bool supports_resync = false;
  std::int32_t edit_mode = 0;
  // Text columns the recordsets' Fields hold; with none, Fields is null.
  // Lookups log "r.Item:NAME" and puts "r.Put:NAME".
  std::vector<std::u16string> columns;
};

class FakeConnection;

// Installs the fake for the lifetime of the object.
class ScopedFakeProvider {
 public:
  ScopedFakeProvider();
  FakeScript& script() { return *script_; }
  // The connections created so far, in order.
  const std::vector<std::shared_ptr<FakeConnection>>& connections() const { return *connections_; }
  // Puts errors into a connection's Errors collection, as a failed call would.
  void SetErrors(std::size_t connection, std::vector<ProviderError> errors);

 private:
  std::shared_ptr<FakeScript> script_ = std::make_shared<FakeScript>();
  std::shared_ptr<std::vector<std::shared_ptr<FakeConnection>>> connections_ =
      std::make_shared<std::vector<std::shared_ptr<FakeConnection>>>();
  dbAx::provider::ScopedObjectFactory factory_;
};

class FakeConnection final : public dbAx::provider::Connection {
 public:
  FakeConnection(std::shared_ptr<FakeScript> script, std::string name)
      : script_(std::move(script)), name_(std::move(name)) {}

  mirdane::HRESULT put_CursorLocation(std::int32_t location) override;
  mirdane::HRESULT get_CursorLocation(std::int32_t* location) override;
  mirdane::HRESULT Open(const std::u16string& connection_string, const std::u16string& user,
                        const std::u16string& password, std::int32_t options) override;
  mirdane::HRESULT get_State(std::int32_t* state) override;
  mirdane::HRESULT Close() override;
  mirdane::HRESULT get_Errors(std::shared_ptr<dbAx::provider::Errors>* errors) override;

  const std::shared_ptr<dbAx::provider::ErrorCollection>& errors() const { return errors_; }
  // Logs `operation` and answers its scripted result (S_OK unless it fails).
  mirdane::HRESULT Call(const std::string& operation);

  std::u16string last_connection_string;

 private:
  std::shared_ptr<FakeScript> script_;
  std::string name_;
  std::shared_ptr<dbAx::provider::ErrorCollection> errors_ =
      std::make_shared<dbAx::provider::ErrorCollection>();
  std::int32_t cursor_location_ = 2;
  bool open_ = false;
};

}  // namespace mirdane::test
