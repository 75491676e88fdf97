#include "dbax/provider/backends.h"

#include "dbax/provider/ado.h"
#include "dbax/provider/odbc/session.h"

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

bool OpenSession(const Route& route, const std::u16string& user, const std::u16string& password,
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
    case BackendKind::IbmI:
#if defined(_WIN32)
      // On Windows the IBM i is reached through ADO and IBMDA400.
      return NotInThisBuild(u"A direct connection to the IBM i system '" + route.target + u"'",
                            failure);
#else
      // Elsewhere through IBM's ODBC driver for that system.
      return odbc::OpenOdbcSession(route, user, password, session, failure);
#endif
  }
  return NotInThisBuild(u"This data source", failure);
}

}  // namespace dbAx::provider
