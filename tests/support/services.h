// The servers that the test run starts (scripts/test-services.sh): a
// PostgreSQL cluster on loopback and the ODBC files naming it and SQLite's
// ODBC driver. Tests that need them fail, never skip, when they are missing.
#pragma once

#include <filesystem>
#include <string>

namespace mirdane::test {

class Services {
 public:
  // Reads services.env from the test run's services directory and points
  // unixODBC at its ODBC files. Fails the test when the services are not set up.
  static const Services& Get();

  // "odbc:DSN=mirdane_pg": the PostgreSQL database of the test role.
  std::u16string PgSource() const;
  // "odbc:DSN=mirdane_sqlite;Database=FILE": a SQLite database of its own.
  std::u16string SqliteSource(const std::filesystem::path& file) const;
  std::u16string user() const;
  std::u16string password() const;
  // Stops or starts the PostgreSQL server, keeping its data.
  void StopPostgres() const;
  void StartPostgres() const;

  // A library (schema) name no other test uses.
  static std::u16string UniqueLibrary();

 private:
  std::filesystem::path directory_;
  std::string port_, user_, password_, pg_dsn_, sqlite_dsn_;
};

}  // namespace mirdane::test
