#include "bridge/bridge_schema.h"

#include "dbax/provider/sql_type.h"
#include "setup/setup_mapping_model.h"

namespace mirdane::bridge {

std::vector<BridgeTable> BridgeTables() {
  BridgeTable header{kHeaderTable, {{u"GYABNV", u"DECIMAL(15, 0)", true}}, u"GYABNV"};
  BridgeTable lines{kLineTable,
                    {{u"G0ABNV", u"DECIMAL(15, 0)", true}, {u"G0GMNB", u"DECIMAL(5, 0)", true}},
                    u""};
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

std::u16string CreateTableStatement(const std::u16string& qualified_name, const BridgeTable& table) {
  std::u16string sql = u"CREATE TABLE " + qualified_name + u" (";
  bool first = true;
  for (const auto& column : table.columns) {
    if (!first) sql += u", ";
    first = false;
    const auto type = dbAx::provider::ParseSqlType(column.sqlType);
    sql += column.name + u" " + column.sqlType + u" NOT NULL DEFAULT ";
    // A CHAR column's default is as many blanks as it is long, as DB2 pads it.
    if (type.IsText()) sql += u"'" + std::u16string(static_cast<std::size_t>(type.length), u' ') + u"'";
    else sql += u"0";
  }
  if (!table.uniqueKey.empty()) sql += u", UNIQUE (" + table.uniqueKey + u")";
  return sql + u")";
}

}  // namespace mirdane::bridge
