#include "bridge/bridge_tool.h"

#include <algorithm>

#include "base/text.h"
#include "bridge/bridge_schema.h"

namespace mirdane::bridge {
namespace {

using dbAx::provider::QueryResult;
using dbAx::provider::SchemaError;
using dbAx::provider::SchemaSession;
using dbAx::provider::SqlType;
using dbAx::provider::TableColumn;

bool IsDefaultValue(const std::u16string& shown, const SqlType& type) {
  if (shown.empty()) return true;
  if (!type.IsDecimal() && type.kind != SqlType::Kind::Integer &&
      type.kind != SqlType::Kind::SmallInt && type.kind != SqlType::Kind::BigInt) {
    return false;
  }
  return shown.find_first_not_of(u"0.-") == std::u16string::npos;
}

std::u16string Shown(const std::optional<std::u16string>& value, const SqlType& type) {
  if (!value) return u"NULL";
  if (type.IsDecimal()) return FormatDecimal(*value, type.scale);
  if (type.IsText()) {
    // Trailing blanks are CHAR padding; leading ones belong to the value.
    const auto end = value->find_last_not_of(u' ');
    return end == std::u16string::npos ? u"" : value->substr(0, end + 1);
  }
  return *value;
}

std::string Pad(const std::u16string& text, std::size_t width) {
  std::string out = Utf16ToUtf8(text);
  const std::size_t length = CodePointCount(text);
  if (length < width) out.append(width - length, ' ');
  return out;
}

std::string RenderTable(const BridgeTable& table, const std::u16string& library,
                        const std::vector<TableColumn>& described, const QueryResult& rows,
                        const ShowOptions& options) {
  const std::size_t count = rows.columns.size();
  std::vector<SqlType> types(count);
  for (std::size_t i = 0; i < count; ++i) {
    for (const auto& column : described) {
      if (EqualsIgnoringAsciiCase(column.name, rows.columns[i])) types[i] = column.type;
    }
  }
  std::vector<std::vector<std::u16string>> cells;
  for (const auto& row : rows.rows) {
    auto& shown = cells.emplace_back();
    for (std::size_t i = 0; i < count; ++i) shown.push_back(Shown(row[i], types[i]));
  }
  std::vector<std::size_t> visible;
  for (std::size_t i = 0; i < count; ++i) {
    const bool only_defaults = std::all_of(cells.begin(), cells.end(), [&](const auto& row) {
      return IsDefaultValue(row[i], types[i]);
    });
    if (options.all_columns || !only_defaults || i == 0) visible.push_back(i);
  }

  std::string out = Utf16ToUtf8(library + u"." + table.name) + ": " +
                    std::to_string(rows.rows.size()) + (rows.rows.size() == 1 ? " row" : " rows");
  if (visible.size() < count && !rows.rows.empty()) {
    out += " (" + std::to_string(count - visible.size()) +
           " columns holding only blanks or zeros not shown; --all-columns shows them)";
  }
  out += "\n";
  if (rows.rows.empty()) return out;

  std::vector<std::size_t> widths;
  for (const std::size_t i : visible) {
    std::size_t width = CodePointCount(rows.columns[i]);
    for (const auto& row : cells) width = std::max(width, CodePointCount(row[i]));
    widths.push_back(width);
  }
  std::string header, rule;
  for (std::size_t k = 0; k < visible.size(); ++k) {
    if (k > 0) {
      header += " | ";
      rule += "-+-";
    }
    header += Pad(rows.columns[visible[k]], widths[k]);
    rule.append(widths[k], '-');
  }
  out += "  " + header + "\n  " + rule + "\n";
  for (const auto& row : cells) {
    std::string line;
    for (std::size_t k = 0; k < visible.size(); ++k) {
      if (k > 0) line += " | ";
      line += Pad(row[visible[k]], widths[k]);
    }
    out += "  " + line + "\n";
  }
  return out;
}

std::u16string OrderBy(const BridgeTable& table) {
  std::u16string order;
  for (const auto& column : table.columns) {
    if (!column.generated) continue;
    order += order.empty() ? u" ORDER BY " : u", ";
    order += column.name;
  }
  return order;
}

}  // namespace

std::u16string FormatDecimal(const std::u16string& stored, int scale) {
  if (stored.empty() || stored.find_first_not_of(u"+-0123456789.") != std::u16string::npos) {
    return stored;
  }
  std::u16string integer = stored;
  std::u16string fraction;
  if (const auto point = stored.find(u'.'); point != std::u16string::npos) {
    integer = stored.substr(0, point);
    fraction = stored.substr(point + 1);
  }
  if (integer.empty() || integer == u"-") integer += u"0";
  if (scale <= 0) return fraction.find_first_not_of(u'0') == std::u16string::npos ? integer : stored;
  const auto wanted = static_cast<std::size_t>(scale);
  if (fraction.size() < wanted) fraction.append(wanted - fraction.size(), u'0');
  return integer + u"." + fraction;
}

std::vector<std::string> CreateBridgeTables(SchemaSession& session, const std::u16string& library) {
  std::vector<std::string> report;
  if (!session.LibraryExists(library)) {
    session.CreateLibrary(library);
    report.push_back("library " + Utf16ToUtf8(library) + ": created");
  }
  for (const auto& table : BridgeTables()) {
    const std::string name = Utf16ToUtf8(library + u"." + table.name);
    if (session.TableExists(library, table.name)) {
      report.push_back(name + ": exists already, left unchanged");
      continue;
    }
    session.Execute(CreateTableStatement(session.QualifiedName(library, table.name), table));
    report.push_back(name + ": created with " + std::to_string(table.columns.size()) + " columns");
  }
  return report;
}

std::string CreateLedgerTable(SchemaSession& session, const std::u16string& library) {
  const BridgeTable table = LedgerTable();
  const std::string name = Utf16ToUtf8(library + u"." + table.name);
  if (session.TableExists(library, table.name)) return name + ": exists already, left unchanged";
  session.Execute(CreateTableStatement(session.QualifiedName(library, table.name), table));
  return name + ": the release ledger, created with " + std::to_string(table.columns.size()) +
         " columns";
}

std::string ShowBridgeTables(SchemaSession& session, const std::u16string& library,
                             const ShowOptions& options) {
  std::string out;
  for (const auto& table : BridgeTables()) {
    const auto described = session.DescribeTable(library, table.name);
    if (described.empty()) {
      throw SchemaError("table " + Utf16ToUtf8(library + u"." + table.name) +
                        " does not exist; create it with: mirdane bridge create");
    }
    const auto rows =
        session.Query(u"SELECT * FROM " + session.QualifiedName(library, table.name) + OrderBy(table));
    if (!out.empty()) out += "\n";
    out += RenderTable(table, library, described, rows, options);
  }
  return out;
}

}  // namespace mirdane::bridge
