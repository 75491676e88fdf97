#include "dbax/provider/backends.h"

#include "dbax/provider/ado.h"
#include "dbax/provider/odbc/session.h"

#if defined(_WIN32)
#include "dbax/provider/ado/ado_session.h"
#endif
#if MIRDANE_WITH_STANDIN
#include "dbax/provider/sqlite/standin_session.h"
#endif

namespace dbAx::provider {
namespace {

bool NotInThisBuild(const std::u16string& what, Failure* failure) {
  *failure = Failure::Of(ado::adErrProviderNotFound, ado::adErrProviderNotFound,
                         what + u" is not available in this build of the provider.");
  return false;
}

}  // namespace

bool OpenSession(const Route& route, const std::u16string& connection_string,
                 const std::u16string& user, const std::u16string& password,
                 std::shared_ptr<Session>* session, Failure* failure) {
  switch (route.kind) {
    case BackendKind::StandIn:
#if MIRDANE_WITH_STANDIN
      return sqlite::OpenStandInSession(route.target, session, failure);
#else
      return NotInThisBuild(u"The embedded IBM i stand-in (sqlite:)", failure);
#endif
    case BackendKind::Odbc:
      return odbc::OpenOdbcSession(route, user, password, session, failure);
    case BackendKind::Ado:
#if defined(_WIN32)
      return adodb::OpenAdoSession(route.target, user, password, session, failure);
#else
      return NotInThisBuild(u"Microsoft ADO (ado:)", failure);
#endif
    case BackendKind::IbmI:
#if defined(_WIN32)
      // On Windows the IBM i is reached through ADO and IBMDA400, with the
      // release's connection string as it stands.
      return adodb::OpenAdoSession(connection_string, user, password, session, failure);
#else
      // Elsewhere through IBM's ODBC driver for that system.
      (void)connection_string;
      return odbc::OpenOdbcSession(route, user, password, session, failure);
#endif
  }
  return NotInThisBuild(u"This data source", failure);
}

}  // namespace dbAx::provider
