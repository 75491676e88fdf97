// A statement run on an open connection with bound parameters: reading,
// changing or deleting the rows of one table that a few columns pick out.
// (Rows are inserted through CAxRecordset.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dbAx {

class CAxConnection;

// What a query read: its rows, each with the columns the query names in
// order, values as text (nullopt for NULL).
using CAxRows = std::vector<std::vector<std::optional<std::u16string>>>;

class CAxCommand {
 public:
  explicit CAxCommand(CAxConnection& connection) : connection_(connection) {}
  CAxCommand(const CAxCommand&) = delete;
  CAxCommand& operator=(const CAxCommand&) = delete;

  // Runs an UPDATE or DELETE with `parameters` for its ? markers, in order;
  // answers how many rows it changed. Throws code 5001 ("CAxCommand::Create")
  // when the command object cannot be made, code 0 ("CAxCommand::Execute")
  // with the provider's errors when the statement fails.
  std::int32_t Execute(const std::u16string& sql, const std::vector<std::u16string>& parameters);
  // Runs a SELECT the same way and answers every row it read.
  CAxRows Query(const std::u16string& sql, const std::vector<std::u16string>& parameters);

 private:
  CAxConnection& connection_;
};

}  // namespace dbAx
