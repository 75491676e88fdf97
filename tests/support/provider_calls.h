// Short hands for driving the provider's ADO-shaped objects in tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbax/provider/ado.h"

namespace mirdane::test {

using dbAx::provider::Connection;
using dbAx::provider::Field;
using dbAx::provider::Recordset;

// A connection opened with the release's connection string for `system`;
// the HRESULT of Open in `result`.
std::shared_ptr<Connection> OpenConnection(const std::u16string& system, const std::u16string& user,
                                           const std::u16string& password, HRESULT* result);
// A recordset opened on `sql` for inserting; the HRESULT of Open in `result`.
std::shared_ptr<Recordset> OpenInsert(const std::shared_ptr<Connection>& connection,
                                      const std::u16string& sql, HRESULT* result);
// The field of that name, or null.
std::shared_ptr<Field> FieldOf(const std::shared_ptr<Recordset>& recordset,
                               const std::u16string& name);
// Every field by ordinal as "type/attributes/precision/scale", in order.
std::vector<std::string> DescribeFields(const std::shared_ptr<Recordset>& recordset);
// Every description in the connection's Errors, one per line (UTF-8).
std::string ErrorsText(const std::shared_ptr<Connection>& connection);
// Adds one row with the given column values and stores it; the first failing
// HRESULT, or 0.
HRESULT InsertRow(const std::shared_ptr<Recordset>& recordset,
                  std::initializer_list<std::pair<const char16_t*, const char16_t*>> values);

}  // namespace mirdane::test
