#include "tests/support/fake_provider.h"

#include "base/text.h"

namespace mirdane::test {
namespace {

using mirdane::HRESULT;
using mirdane::Variant;
namespace ado = dbAx::provider::ado;

HRESULT Scripted(FakeScript& script, const std::string& who, const std::string& operation,
                 dbAx::provider::ErrorCollection* errors) {
  script.log.push_back(who + "." + operation);
  const auto found = script.fail.find(operation);
  if (found == script.fail.end()) return 0;
  if (errors && !script.errors.empty()) errors->Replace(script.errors);
  return found->second;
}

class FakeField final : public dbAx::provider::Field {
 public:
  FakeField(std::shared_ptr<FakeScript> script, std::string recordset, std::string column)
      : script_(std::move(script)), recordset_(std::move(recordset)), column_(std::move(column)) {}
  HRESULT get_Attributes(std::int32_t* attributes) override {
    *attributes = ado::adFldUpdatable;
    return 0;
  }
  HRESULT get_Type(std::int32_t* type) override {
    *type = ado::adChar;
    return 0;
  }
  HRESULT get_Precision(std::uint8_t* precision) override {
    *precision = 0;
    return 0;
  }
  HRESULT get_NumericScale(std::uint8_t* scale) override {
    *scale = 0;
    return 0;
  }
  HRESULT put_Value(const Variant&) override {
    return Scripted(*script_, recordset_, "Put:" + column_, nullptr);
  }
  HRESULT get_Value(Variant* value) override {
    *value = Variant::Null();
    return 0;
  }

 private:
  std::shared_ptr<FakeScript> script_;
  std::string recordset_;
  std::string column_;
};

class FakeFields final : public dbAx::provider::Fields {
 public:
  FakeFields(std::shared_ptr<FakeScript> script, std::string name)
      : script_(std::move(script)), name_(std::move(name)) {}
  HRESULT get_Item(const Variant& index, std::shared_ptr<dbAx::provider::Field>* field) override {
    const std::u16string* name = index.AsText();
    if (!name) return ado::adErrItemNotFound;
    const std::string who = mirdane::Utf16ToUtf8(*name);
    script_->log.push_back(name_ + ".Item:" + who);
    for (const auto& column : script_->columns) {
      if (column == *name) {
        *field = std::make_shared<FakeField>(script_, name_, who);
        return 0;
      }
    }
    return ado::adErrItemNotFound;
  }

 private:
  std::shared_ptr<FakeScript> script_;
  std::string name_;
};

class FakeRecordset final : public dbAx::provider::Recordset {
 public:
  FakeRecordset(std::shared_ptr<FakeScript> script, std::string name)
      : script_(std::move(script)), name_(std::move(name)) {}

  HRESULT put_Source(const std::u16string&) override { return Call("put_Source"); }
  HRESULT putref_ActiveConnection(const std::shared_ptr<dbAx::provider::Connection>& c) override {
    connection_ = std::dynamic_pointer_cast<FakeConnection>(c);
    return Call("putref_ActiveConnection");
  }
  HRESULT Open(const Variant&, const Variant&, std::int32_t, std::int32_t, std::int32_t) override {
    const HRESULT result = Call("Open");
    if (result >= 0) open_ = true;
    return result;
  }
  HRESULT get_Fields(std::shared_ptr<dbAx::provider::Fields>* fields) override {
    if (!script_->columns.empty()) *fields = std::make_shared<FakeFields>(script_, name_);
    return Call("get_Fields");
  }
  HRESULT put_CursorType(std::int32_t v) override { return Put("put_CursorType", cursor_type_, v); }
  HRESULT get_CursorType(std::int32_t* v) override { return Get("get_CursorType", cursor_type_, v); }
  HRESULT put_CacheSize(std::int32_t v) override { return Put("put_CacheSize", cache_size_, v); }
  HRESULT get_CacheSize(std::int32_t* v) override { return Get("get_CacheSize", cache_size_, v); }
  HRESULT put_CursorLocation(std::int32_t v) override {
    return Put("put_CursorLocation", cursor_location_, v);
  }
  HRESULT get_CursorLocation(std::int32_t* v) override {
    return Get("get_CursorLocation", cursor_location_, v);
  }
  HRESULT put_MarshalOptions(std::int32_t v) override { return Put("put_MarshalOptions", marshal_, v); }
  HRESULT get_MarshalOptions(std::int32_t* v) override { return Get("get_MarshalOptions", marshal_, v); }
  HRESULT Supports(std::int32_t options, bool* supported) override {
    *supported = options != ado::adResync || script_->supports_resync;
    return Call("Supports");
  }
  HRESULT AddNew(const Variant&, const Variant&) override { return Call("AddNew"); }
  HRESULT Update(const Variant&, const Variant&) override { return Call("Update"); }
  HRESULT get_EditMode(std::int32_t* mode) override {
    *mode = script_->edit_mode;
    return Call("get_EditMode");
  }
  HRESULT CancelUpdate() override { return Call("CancelUpdate"); }
  HRESULT Resync(std::int32_t, std::int32_t values) override {
    return Call("Resync" + std::to_string(values));
  }
  HRESULT get_State(std::int32_t* state) override {
    *state = open_ ? ado::adStateOpen : ado::adStateClosed;
    return Call("get_State");
  }
  HRESULT get_BOF(bool* bof) override { *bof = true; return 0; }
  HRESULT get_EOF(bool* eof) override { *eof = true; return 0; }
  HRESULT MoveFirst() override { return Call("MoveFirst"); }
  HRESULT MoveNext() override { return Call("MoveNext"); }
  HRESULT Close() override {
    const HRESULT result = Call("Close");
    if (result >= 0) open_ = false;
    return result;
  }

 private:
  HRESULT Call(const std::string& operation) {
    return Scripted(*script_, name_, operation, connection_ ? connection_->errors().get() : nullptr);
  }
  HRESULT Put(const std::string& operation, std::int32_t& slot, std::int32_t value) {
    const HRESULT result = Call(operation + "(" + std::to_string(value) + ")");
    if (result >= 0) slot = value;
    return result;
  }
  HRESULT Get(const std::string& operation, std::int32_t slot, std::int32_t* value) {
    *value = slot;
    return Call(operation);
  }

  std::shared_ptr<FakeScript> script_;
  std::string name_;
  std::shared_ptr<FakeConnection> connection_;
  bool open_ = false;
  std::int32_t cursor_type_ = 0, cache_size_ = 1, cursor_location_ = 2, marshal_ = 0;
};

}  // namespace

HRESULT FakeConnection::Call(const std::string& operation) {
  return Scripted(*script_, name_, operation, errors_.get());
}

HRESULT FakeConnection::put_CursorLocation(std::int32_t location) {
  const HRESULT result = Call("put_CursorLocation");
  if (result >= 0) cursor_location_ = location;
  return result;
}

HRESULT FakeConnection::get_CursorLocation(std::int32_t* location) {
  *location = cursor_location_;
  return Call("get_CursorLocation");
}

HRESULT FakeConnection::Open(const std::u16string& connection_string, const std::u16string&,
                             const std::u16string&, std::int32_t) {
  last_connection_string = connection_string;
  const HRESULT result = Call("Open");
  if (result >= 0) open_ = true;
  return result;
}

HRESULT FakeConnection::get_State(std::int32_t* state) {
  *state = open_ ? ado::adStateOpen : ado::adStateClosed;
  return Call("get_State");
}

HRESULT FakeConnection::Close() {
  const HRESULT result = Call("Close");
  if (result >= 0) open_ = false;
  return result;
}

HRESULT FakeConnection::get_Errors(std::shared_ptr<dbAx::provider::Errors>* errors) {
  *errors = errors_;
  return 0;
}

ScopedFakeProvider::ScopedFakeProvider()
    : factory_(dbAx::provider::ObjectFactory{
          [script = script_, connections = connections_](
              std::shared_ptr<dbAx::provider::Connection>* out) -> HRESULT {
            if (script->create_connection < 0) return script->create_connection;
            auto connection = std::make_shared<FakeConnection>(
                script, "c" + std::to_string(connections->size() + 1));
            connections->push_back(connection);
            *out = connection;
            return 0;
          },
          [script = script_](std::shared_ptr<dbAx::provider::Recordset>* out) -> HRESULT {
            if (script->create_recordset < 0) return script->create_recordset;
            *out = std::make_shared<FakeRecordset>(script, "r");
            return 0;
          },
          nullptr}) {}

void ScopedFakeProvider::SetErrors(std::size_t connection, std::vector<ProviderError> errors) {
  (*connections_)[connection]->errors()->Replace(std::move(errors));
}

}  // namespace mirdane::test
