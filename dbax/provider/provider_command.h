// The provider's Command object: runs a keyed statement (keyed_statement.h)
// on the session of its connection, with bound parameters.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbax/provider/ado.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/provider_connection.h"

namespace dbAx::provider {

class ProviderCommand final : public Command {
 public:
  HRESULT putref_ActiveConnection(const std::shared_ptr<Connection>& connection) override;
  HRESULT put_CommandText(const std::u16string& text) override;
  HRESULT Execute(std::int32_t* records_affected, const std::vector<Variant>& parameters,
                  std::int32_t options, std::shared_ptr<Recordset>* recordset) override;

 private:
  HRESULT Fail(HRESULT result, std::u16string description);

  std::shared_ptr<ProviderConnection> connection_;
  std::u16string text_;
};

// A forward-only, read-only recordset over rows already read, standing on its
// first row (at its end when there is none).
std::shared_ptr<Recordset> MakeResultRecordset(std::shared_ptr<ConnectionCore> connection,
                                               StatementResult result);

}  // namespace dbAx::provider
