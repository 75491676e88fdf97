#include "dbax/provider/ado/ado_session.h"

#include <utility>

#include "dbax/provider/ado.h"
#include "dbax/provider/ado/ado_command.h"
#include "dbax/provider/ado/ado_failure.h"
#include "dbax/provider/ado/ado_interfaces.h"
#include "dbax/provider/ado/ado_table.h"
#include "dbax/provider/odbc/insert_source.h"
#include "win32/com_ptr.h"

namespace dbAx::provider::adodb {
namespace {

using mirdane::win32::Bstr;
using mirdane::win32::ComPtr;
using mirdane::win32::UniqueVariant;

Failure OutOfMemory() { return Failure::Of(E_OUTOFMEMORY, E_OUTOFMEMORY, u"Out of memory."); }

Failure NotCreated(HRESULT result, const char16_t* object) {
  std::u16string description =
      u"Microsoft ADO's " + std::u16string(object) + u" object could not be created";
  if (result == REGDB_E_CLASSNOTREG) description += u": ADO is not installed or not registered";
  return Failure::Of(result, result, description + u".");
}

class AdoSession final : public Session {
 public:
  explicit AdoSession(ComPtr<AdoConnection> connection) : connection_(std::move(connection)) {}

  ~AdoSession() override {
    // A session dropped without Close still lets go of the server.
    AdoLong state = ado::adStateClosed;
    if (SUCCEEDED(connection_->get_State(&state)) && state != ado::adStateClosed) {
      connection_->Close();  // unchecked: nothing can be reported from here
    }
  }
  AdoSession(const AdoSession&) = delete;
  AdoSession& operator=(const AdoSession&) = delete;

  bool OpenSource(const std::u16string& sql, std::unique_ptr<InsertTarget>* target,
                  Failure* failure) override {
    // As over ODBC, only the release's own query on checked names reaches the
    // server, rebuilt from those names.
    const odbc::InsertSource source = odbc::ParseInsertSource(sql);
    if (!source.valid) {
      *failure = Failure::Of(E_FAIL, E_FAIL, source.problem);
      return false;
    }
    // DB2 for i folds unquoted names to upper case; quoted, they keep it.
    const std::u16string table = source.QualifiedTable(IdentifierCase::Upper);

    ComPtr<AdoRecordset> recordset;
    HRESULT result = ::CoCreateInstance(kRecordsetClass, nullptr, CLSCTX_INPROC_SERVER,
                                        kRecordsetInterface, recordset.put_void());
    if (FAILED(result) || !recordset) {
      *failure = NotCreated(FAILED(result) ? result : E_POINTER, u"Recordset");
      return false;
    }
    // Client cursors: the pending row lives in ADO until Update sends it.
    result = recordset->put_CursorLocation(ado::adUseClient);
    if (FAILED(result)) {
      *failure = FailureOf(result, connection_.get(), recordset.get(), kRecordsetInterface,
                           u"Recordset.CursorLocation",
                           u"Client cursors could not be set for " + table);
      return false;
    }
    // Tuning only: a cache of one row. Wine's ADO does not implement it, and
    // a recordset works without.
    recordset->put_CacheSize(1);  // unchecked

    UniqueVariant query;
    query.get()->vt = VT_BSTR;
    query.get()->bstrVal = Bstr(source.DescribeQuery(IdentifierCase::Upper)).Detach();
    if (!query.get()->bstrVal) {
      *failure = OutOfMemory();
      return false;
    }
    UniqueVariant active_connection;
    active_connection.get()->vt = VT_DISPATCH;
    connection_.get()->AddRef();  // the variant owns a reference of its own
    active_connection.get()->pdispVal = connection_.get();
    result = recordset->Open(*query.get(), *active_connection.get(), ado::adOpenForwardOnly,
                             ado::adLockOptimistic, ado::adOptionUnspecified);
    if (FAILED(result)) {
      *failure = FailureOf(result, connection_.get(), recordset.get(), kRecordsetInterface,
                           u"Recordset.Open", table + u" could not be opened");
      return false;
    }
    // From here on the table closes the recordset, whatever happens.
    auto opened = std::make_unique<AdoTable>(connection_, recordset, table);
    // Tuning only, like the cache size: send modified fields only.
    recordset->put_MarshalOptions(ado::adMarshalModifiedOnly);  // unchecked
    if (!opened->Describe(failure)) return false;
    *target = std::move(opened);
    return true;
  }

  bool RunStatement(const KeyedStatement& statement, const std::vector<Variant>& parameters,
                    StatementResult* result, Failure* failure) override {
    return RunAdoStatement(connection_.get(), statement, parameters, result, failure);
  }

  bool Close(Failure* failure) override {
    const HRESULT result = connection_->Close();
    if (FAILED(result)) {
      *failure = FailureOf(result, connection_.get(), connection_.get(), kConnectionInterface,
                           u"Connection.Close", u"The connection could not be closed");
      return false;
    }
    return true;
  }

 private:
  ComPtr<AdoConnection> connection_;
};

}  // namespace

bool OpenAdoSession(const std::u16string& connection_string, const std::u16string& user,
                    const std::u16string& password, std::shared_ptr<Session>* session,
                    Failure* failure) {
  ComPtr<AdoConnection> connection;
  HRESULT result = ::CoCreateInstance(kConnectionClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kConnectionInterface, connection.put_void());
  if (FAILED(result) || !connection) {
    *failure = NotCreated(FAILED(result) ? result : E_POINTER, u"Connection");
    return false;
  }
  result = connection->put_CursorLocation(ado::adUseClient);
  if (FAILED(result)) {
    *failure = FailureOf(result, connection.get(), connection.get(), kConnectionInterface,
                         u"Connection.CursorLocation", u"Client cursors could not be set");
    return false;
  }
  Bstr text(connection_string), user_id(user), secret(password);
  if (!text.ok() || !user_id.ok() || !secret.ok()) {
    *failure = OutOfMemory();
    return false;
  }
  result = connection->Open(text.get(), user_id.get(), secret.get(), ado::adOptionUnspecified);
  if (FAILED(result)) {
    // The connection passes every description through its secret scrubber,
    // so the string may be named here even when it carries a password.
    *failure = FailureOf(result, connection.get(), connection.get(), kConnectionInterface,
                         u"Connection.Open",
                         u"ADO could not open the connection '" + connection_string + u"'");
    return false;
  }
  *session = std::make_shared<AdoSession>(std::move(connection));
  return true;
}

}  // namespace dbAx::provider::adodb
