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
  // Columns no two rows may share, each a unique key of its own. The
  // header's transaction number is one: a station that draws a number another
  // station has stored is refused by the server and draws again.
  std::vector<std::u16string> uniqueKeys;
};

inline constexpr char16_t kHeaderTable[] = u"UAGYCPP";
inline constexpr char16_t kLineTable[] = u"UAG0CPP";

// Both tables, header first; in each the generated columns come first, then
// the catalogue's columns in slot order.
std::vector<BridgeTable> BridgeTables();

// The release ledger (release/ledger_table.h), every column written by the
// release, its document key and its transaction number unique keys.
BridgeTable LedgerTable();

// The CREATE TABLE statement for `table` under `qualified_name` (the library
// and table as the server must see them, SchemaSession::QualifiedName): every
// column NOT NULL with a default (blanks for CHAR, the empty text for
// VARCHAR, zero for numbers), and the unique keys. DB2 for i, PostgreSQL and
// SQLite all take it.
std::u16string CreateTableStatement(const std::u16string& qualified_name, const BridgeTable& table);

}  // namespace mirdane::bridge
