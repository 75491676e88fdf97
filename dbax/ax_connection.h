// One database connection of the data-access layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dbax/provider/ado.h"

namespace dbAx {

class CAxConnection {
 public:
  CAxConnection() = default;
  CAxConnection(const CAxConnection&) = delete;
  CAxConnection& operator=(const CAxConnection&) = delete;
  // Closes the connection if it is open, leaves the registry and releases the
  // provider object. Never throws, whatever closing does.
  virtual ~CAxConnection();

  // Creates the provider's connection object and registers this connection.
  // Throws code 5001 when the object cannot be created.
  void Create();
  // Sets the cursor location (1 to 3) unless `location` is -1, and answers the
  // location in effect. Throws 5006 for any other value, before touching the
  // provider.
  std::int32_t CursorLocation(std::int32_t location);
  // Opens the connection; an empty connection string reuses the last one given.
  void Open(const std::u16string& connectionString, const std::u16string& user,
            const std::u16string& password, std::int32_t options);
  // Whether the connection is open (and idle).
  bool _IsOpen();
  // Closes the connection; callers test whether it is open first.
  void Close();

  // The provider's connection object, for recordsets opened on this connection.
  const std::shared_ptr<provider::Connection>& AdoConnection() const { return adoConnection_; }
  // The connection string of the last Open that was given one.
  const std::u16string& connectionString() const { return connectionString_; }

 private:
  std::shared_ptr<provider::Connection> adoConnection_;
  std::u16string connectionString_;
};

}  // namespace dbAx
