// Schema work outside the release path: creating libraries and tables,
// describing them and reading their rows back, for the administrator's tools
// (`mirdane bridge create`, `show`, `check`). The release itself never uses it.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dbax/provider/sql_type.h"

namespace dbAx::provider {

// A failure of schema work; what() is UTF-8 and names what failed.
class SchemaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TableColumn {
  std::u16string name;
  SqlType type;
  bool nullable = true;
  std::optional<std::u16string> default_value;  // as the catalog states it
  // False when the server or its driver cannot say what type the column has
  // (SQLite keeps none for a column declared without one): `type` is then
  // only what the driver hands values over as.
  bool type_known = true;
};

struct QueryResult {
  std::vector<std::u16string> columns;
  std::vector<std::vector<std::optional<std::u16string>>> rows;  // nullopt for NULL
};

class SchemaSession {
 public:
  virtual ~SchemaSession() = default;

  virtual bool LibraryExists(const std::u16string& library) = 0;
  // Creates the library (schema); nothing happens when it exists.
  virtual void CreateLibrary(const std::u16string& library) = 0;
  virtual bool TableExists(const std::u16string& library, const std::u16string& table) = 0;
  // LIBRARY.TABLE as a statement must name it on this server: quoted, so that
  // '#', '@' and '$' in a name are read as part of it. Throws SchemaError for
  // a name that is not an SQL identifier.
  virtual std::u16string QualifiedName(const std::u16string& library,
                                       const std::u16string& table) = 0;
  // The columns of a table in their order; empty when there is no such table.
  virtual std::vector<TableColumn> DescribeTable(const std::u16string& library,
                                                 const std::u16string& table) = 0;
  // The unique keys of a table (unique indexes and constraints, the primary
  // key included), each as its columns in order; empty when it has none or
  // the server cannot tell.
  virtual std::vector<std::vector<std::u16string>> UniqueKeys(const std::u16string& library,
                                                             const std::u16string& table) = 0;
  // Runs a statement that returns no rows.
  virtual void Execute(const std::u16string& sql) = 0;
  // Runs a query and gives its rows as text.
  virtual QueryResult Query(const std::u16string& sql) = 0;
};

// Opens schema work on the system a data source names ("sqlite:DIR",
// "odbc:..."), the same routing the release uses. Throws SchemaError.
std::unique_ptr<SchemaSession> OpenSchemaSession(const std::u16string& data_source,
                                                 const std::u16string& user,
                                                 const std::u16string& password);

}  // namespace dbAx::provider
