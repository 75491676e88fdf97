// The ODBC data source that the Wine suite's run script sets up: a SQLite
// database behind SQLite's ODBC driver, reached by Wine's odbc32 through
// unixODBC. Its name comes from MIRDANE_ADO_DSN.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "dbax/provider/schema_session.h"

namespace mirdane::test {

// The data source's name; the test fails when the run script did not set it.
std::u16string WineDataSourceName();

// Drops and re-creates the bridge tables of library MAIN, and a small table
// MAIN.T (C CHAR(10), D DECIMAL(7, 2), I INTEGER), through ODBC.
void ResetTables(const std::u16string& data_source_name);

// The number of rows of MAIN.<table>, read through ODBC.
std::size_t CountRows(const std::u16string& data_source_name, const std::u16string& table);

}  // namespace mirdane::test
