#include "bridge/bridge_schema.h"

#include "dbax/provider/sql_type.h"
#include "release/ledger_table.h"
#include "setup/setup_mapping_model.h"

namespace mirdane::bridge {

std::vector<BridgeTable> BridgeTables() {
  BridgeTable header{kHeaderTable, {{u"GYABNV", u"DECIMAL(15, 0)", true}}, {u"GYABNV"}};
  BridgeTable lines{kLineTable,
                    {{u"G0ABNV", u"DECIMAL(15, 0)", true}, {u"G0GMNB", u"DECIMAL(5, 0)", true}},
                    {}};
  CSetupMappingModel model;
  model.BuildCatalogue();
  for (const auto& slot : model.slots()) {
    const auto dot = slot.identifier.find(u'.');
    if (dot == std::u16string::npos) continue;
    const std::u16string table = slot.identifier.substr(0, dot);
    BridgeColumn column{slot.identifier.substr(dot + 1), slot.sqlType, false};
    if (table == kHeaderTable) header.columns.push_back(std::move(column));
    else if (table == kLineTable) lines.columns.push_back(std::move(column));
  }
  return {header, lines};
}

BridgeTable LedgerTable() {
  BridgeTable table{ledger::kTable, {}, {ledger::kKey, ledger::kTransaction}};
  for (const auto& column : ledger::kColumns) table.columns.push_back({column.name, column.sqlType, true});
  return table;
}

std::u16string CreateTableStatement(const std::u16string& qualified_name, const BridgeTable& table) {
  std::u16string sql = u"CREATE TABLE " + qualified_name + u" (";
  bool first = true;
  for (const auto& column : table.columns) {
    if (!first) sql += u", ";
    first = false;
    const auto type = dbAx::provider::ParseSqlType(column.sqlType);
    sql += column.name + u" " + column.sqlType + u" NOT NULL DEFAULT ";
    // A CHAR column's default is as many blanks as it is long, as DB2 pads it.
    if (type.kind == dbAx::provider::SqlType::Kind::VarChar) sql += u"''";
    else if (type.IsText()) sql += u"'" + std::u16string(static_cast<std::size_t>(type.length), u' ') + u"'";
    else sql += u"0";
  }
  for (const auto& key : table.uniqueKeys) sql += u", UNIQUE (" + key + u")";
  return sql + u")";
}

}  // namespace mirdane::bridge
