// Where a connection string leads: which backend serves its data source.
//
// The release always connects with "Provider=IBMDA400;Data source=%s;Force
// Translate=0", the data source being the server name of the setup. That name
// picks the backend:
//   sqlite:DIR    the embedded IBM i stand-in (DIR holds one file per library)
//   odbc:STRING   ODBC with that connection string
//   ado:STRING    Microsoft ADO with STRING, a whole OLE DB connection string
//                 of its own (Windows only)
//   anything else the IBM i itself: ADO with IBMDA400 on Windows, IBM's ODBC
//                 driver elsewhere
#pragma once

#include <string>

namespace dbAx::provider {

enum class BackendKind { StandIn, Odbc, Ado, IbmI };

struct Route {
  BackendKind kind = BackendKind::IbmI;
  std::u16string target;  // the directory, the ODBC or OLE DB string, or the system name
};

// The value of the "Data source" property of an OLE DB connection string.
//
// An ODBC connection string given as the data source carries semicolons of its
// own ("odbc:DSN=xa;UID=u"), so the value runs on across semicolons until a
// property that belongs to the OLE DB string itself ("Force Translate", ...).
// Braces in ODBC values ({...;...}) are kept whole. An OLE DB string given as
// the data source ("ado:Provider=MSDASQL;Data Source=xa") consists of OLE DB
// properties only, so its value runs on to the end, leaving out only a last
// "Force Translate", which belongs to the release's own string.
std::u16string DataSourceOf(const std::u16string& connection_string);

// The backend for a data source.
Route RouteOf(const std::u16string& data_source);

}  // namespace dbAx::provider
