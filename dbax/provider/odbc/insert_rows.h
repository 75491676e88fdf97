// Storing rows through a source's prepared INSERT: one row, or an array of
// rows in one execution (one round trip to the server where the driver sends
// arrays whole).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dbax/provider/odbc/session_state.h"

namespace dbAx::provider::odbc {

// The INSERT of the columns `key` (indexes into the shape's columns),
// prepared once per connection and kept with the shape.
const Statement* PreparedInsert(const std::shared_ptr<Link>& link, OdbcShape& shape,
                                const std::vector<std::size_t>& key, Failure* failure);

// Buffers the row path binds from, reused from row to row.
struct RowBuffers {
  std::vector<std::size_t> key;
  std::vector<SqlText> texts;
  std::vector<SQLLEN> lengths;
};

// Stores one row; it commits by itself unless a transaction is open.
bool InsertOneRow(const std::shared_ptr<Link>& link, OdbcShape& shape, const RowValues& values,
                  RowBuffers* buffers, Failure* failure);

// One row of an array: its values (nullopt for NULL) in the order of the
// array's columns.
using RowTexts = std::vector<std::optional<std::u16string>>;

enum class ArrayResult {
  kAllStored,  // the driver says of every row that it was stored
  kNotAll,     // some row failed, or the driver did not say of each row
  kRefused,    // the driver takes no array of parameters: nothing ran
};

// Executes the INSERT of the columns `key` once for all of `rows`, with a
// row status array.
ArrayResult InsertRowArray(const std::shared_ptr<Link>& link, OdbcShape& shape,
                           const std::vector<std::size_t>& key, const std::vector<RowTexts>& rows,
                           Failure* failure);

}  // namespace dbAx::provider::odbc
