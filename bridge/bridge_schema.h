// The two Infor XA bridge tables as the connector writes them: the columns of
// the field catalogue plus the columns the release generates itself (the
// transaction number that ties lines to their header, and the line number).
#pragma once

#include <string>
#include <vector>

namespace mirdane::bridge {

struct BridgeColumn {
  std::u16string name;      // "GYABNT"
  std::u16string sqlType;   // "CHAR(10)", "DECIMAL(15, 0)"
  bool generated = false;   // written by the release, not mapped in the setup
};

struct BridgeTable {
  std::u16string name;  // "UAGYCPP" or "UAG0CPP"
  std::vector<BridgeColumn> columns;
};

inline constexpr char16_t kHeaderTable[] = u"UAGYCPP";
inline constexpr char16_t kLineTable[] = u"UAG0CPP";

// Both tables, header first; in each the generated columns come first, then
// the catalogue's columns in slot order.
std::vector<BridgeTable> BridgeTables();

// The CREATE TABLE statement for `table` in `library`: every column NOT NULL
// with a default (blanks for text, zero for numbers). DB2 for i, PostgreSQL
// and SQLite all take it.
std::u16string CreateTableStatement(const std::u16string& library, const BridgeTable& table);

}  // namespace mirdane::bridge
