#include "base/text.h"
#include "dbax/provider/odbc/schema.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/secret_scrubber.h"

#if MIRDANE_WITH_STANDIN
#include "dbax/provider/sqlite/standin_schema.h"
#endif

namespace dbAx::provider {

std::unique_ptr<SchemaSession> OpenSchemaSession(const std::u16string& data_source,
                                                 const std::u16string& user,
                                                 const std::u16string& password) {
  const Route route = RouteOf(data_source);
  switch (route.kind) {
    case BackendKind::StandIn:
#if MIRDANE_WITH_STANDIN
      return sqlite::OpenStandInSchema(route.target);
#else
      throw SchemaError("the embedded IBM i stand-in (sqlite:) is not part of this build");
#endif
    case BackendKind::Odbc:
      return odbc::OpenOdbcSchema(route, user, password);
    case BackendKind::Ado:
      throw SchemaError(
          "the bridge tools do not work through ADO (ado:); use odbc:CONNECTION-STRING");
    case BackendKind::IbmI:
      // IBM's ODBC driver for that system, on Windows too: the release goes
      // through ADO there, but IBM i Access installs the ODBC driver beside
      // IBMDA400, and the schema work is written for ODBC's catalog calls.
      return odbc::OpenOdbcSchema(route, user, password);
  }
  throw SchemaError("no backend serves the data source '" +
                    mirdane::Utf16ToUtf8(MaskPasswords(data_source)) +
                    "': use sqlite:DIR for the embedded stand-in or odbc:CONNECTION-STRING");
}

}  // namespace dbAx::provider
