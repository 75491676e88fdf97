// The ODBC connection string for a route, with the user and password that the
// setup keeps apart from the server name.
#pragma once

#include <string>

#include "dbax/provider/routing.h"

namespace dbAx::provider::odbc {

// IBM's driver, through which a plain system name reaches the IBM i on Linux.
inline constexpr char16_t kIbmIDriver[] = u"IBM i Access ODBC Driver";

struct OdbcConnectionString {
  bool valid = false;
  std::u16string text;     // what SQLDriverConnect gets; holds the password
  std::u16string problem;  // why there is none, when there is none
};

// For BackendKind::Odbc the route's string as written; for BackendKind::IbmI
// "DRIVER={IBM i Access ODBC Driver};SYSTEM=<name>". A user or password given
// separately replaces any UID= or PWD= of the string.
OdbcConnectionString BuildConnectionString(const Route& route, const std::u16string& user,
                                           const std::u16string& password);

// The connection string without its PWD= and PASSWORD= properties, to name
// the data source in messages.
std::u16string WithoutPasswords(const std::u16string& connection_string);

}  // namespace dbAx::provider::odbc
