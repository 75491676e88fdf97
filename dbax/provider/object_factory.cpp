#include "dbax/provider/object_factory.h"

#include <mutex>
#include <new>

#include "dbax/provider/provider_command.h"
#include "dbax/provider/provider_connection.h"
#include "dbax/provider/provider_recordset.h"

namespace dbAx::provider {
namespace {

std::mutex factory_mutex;
std::shared_ptr<const ObjectFactory> installed_factory;

std::shared_ptr<const ObjectFactory> CurrentFactory() {
  std::lock_guard lock(factory_mutex);
  return installed_factory;
}

template <typename Interface, typename Implementation>
HRESULT CreateOwn(std::shared_ptr<Interface>* out) {
  try {
    *out = std::make_shared<Implementation>();
    return mirdane::hr::kOk;
  } catch (const std::bad_alloc&) {
    return mirdane::hr::kOutOfMemory;
  }
}

}  // namespace

ScopedObjectFactory::ScopedObjectFactory(ObjectFactory factory) {
  auto replacement = std::make_shared<const ObjectFactory>(std::move(factory));
  std::lock_guard lock(factory_mutex);
  previous_ = std::exchange(installed_factory, std::move(replacement));
}

ScopedObjectFactory::~ScopedObjectFactory() {
  std::lock_guard lock(factory_mutex);
  installed_factory = std::move(previous_);
}

HRESULT CreateConnection(std::shared_ptr<Connection>* connection) {
  if (!connection) return mirdane::hr::kPointer;
  connection->reset();
  if (auto factory = CurrentFactory(); factory && factory->create_connection) {
    return factory->create_connection(connection);
  }
  return CreateOwn<Connection, ProviderConnection>(connection);
}

HRESULT CreateRecordset(std::shared_ptr<Recordset>* recordset) {
  if (!recordset) return mirdane::hr::kPointer;
  recordset->reset();
  if (auto factory = CurrentFactory(); factory && factory->create_recordset) {
    return factory->create_recordset(recordset);
  }
  return CreateOwn<Recordset, ProviderRecordset>(recordset);
}

HRESULT CreateCommand(std::shared_ptr<Command>* command) {
  if (!command) return mirdane::hr::kPointer;
  command->reset();
  if (auto factory = CurrentFactory(); factory && factory->create_command) {
    return factory->create_command(command);
  }
  return CreateOwn<Command, ProviderCommand>(command);
}

}  // namespace dbAx::provider
