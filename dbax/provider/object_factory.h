// Where the data-access layer's Connection, Recordset and Command objects
// come from.
//
// In production the provider's own objects are created (or, on Windows, ADO's
// classes). Tests put a factory of their own in place, the way COM lets a
// class be registered for a process, to reach failures that no real database
// produces on demand.
#pragma once

#include <functional>
#include <memory>

#include "dbax/provider/ado.h"

namespace dbAx::provider {

struct ObjectFactory {
  std::function<HRESULT(std::shared_ptr<Connection>*)> create_connection;
  std::function<HRESULT(std::shared_ptr<Recordset>*)> create_recordset;
  std::function<HRESULT(std::shared_ptr<Command>*)> create_command;
};

// Puts `factory` in place for as long as the object lives; the previous one
// comes back afterwards.
class ScopedObjectFactory {
 public:
  explicit ScopedObjectFactory(ObjectFactory factory);
  ~ScopedObjectFactory();
  ScopedObjectFactory(const ScopedObjectFactory&) = delete;
  ScopedObjectFactory& operator=(const ScopedObjectFactory&) = delete;

 private:
  std::shared_ptr<const ObjectFactory> previous_;
};

}  // namespace dbAx::provider
