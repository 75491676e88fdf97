#include "bridge/bridge_check.h"

#include <algorithm>

#include "base/text.h"
#include "dbax/provider/secret_scrubber.h"
#include "release/ledger_table.h"

namespace mirdane::bridge {
namespace {

using dbAx::provider::ParseSqlType;
using dbAx::provider::SqlType;
using dbAx::provider::TableColumn;
using Kind = SqlType::Kind;

// Types that hold the same values and differ only in encoding or storage:
// a CHAR reported as a wide CHAR (PostgreSQL's Unicode driver), a DECIMAL
// reported as NUMERIC (PostgreSQL has one type for both).
enum class Family { FixedText, VaryingText, Decimal, Integer, Other };

Family FamilyOf(const SqlType& type) {
  switch (type.kind) {
    case Kind::Char:
    case Kind::Graphic: return Family::FixedText;
    case Kind::VarChar:
    case Kind::VarGraphic: return Family::VaryingText;
    case Kind::Decimal:
    case Kind::Numeric: return Family::Decimal;
    case Kind::SmallInt:
    case Kind::Integer:
    case Kind::BigInt: return Family::Integer;
    default: return Family::Other;
  }
}

// The decimal digits an integer column holds whatever their value.
int IntegerDigits(Kind kind) {
  switch (kind) {
    case Kind::SmallInt: return 4;
    case Kind::Integer: return 9;
    case Kind::BigInt: return 18;
    default: return 0;
  }
}

std::string Name(const std::u16string& library, const BridgeTable& table,
                 const std::u16string& column) {
  return Utf16ToUtf8(library + u"." + table.name + u"." + column);
}

// A type as the catalogue writes it. Wide and narrow texts are shown alike:
// PostgreSQL's Unicode driver reports every CHAR column as a wide one.
std::string Shown(SqlType type) {
  if (type.kind == Kind::Graphic) type.kind = Kind::Char;
  if (type.kind == Kind::VarGraphic) type.kind = Kind::VarChar;
  return Utf16ToUtf8(type.Canonical());
}

// How the column `actual` stands to the catalogue type `wanted`; nothing
// when they hold the same values.
std::optional<Difference> CompareType(const std::string& name, const SqlType& wanted,
                                      const SqlType& actual, const std::string& standard) {
  const std::string is = name + " is " + Shown(actual) + ", " + standard + " " + Shown(wanted);
  const Family want = FamilyOf(wanted), have = FamilyOf(actual);
  if (want == Family::VaryingText && have == Family::VaryingText) {
    if (actual.length < wanted.length) {
      return Difference{true, is + ": texts longer than " + std::to_string(actual.length) +
                                  " characters are refused"};
    }
    if (actual.length > wanted.length) return Difference{false, is};
    return std::nullopt;
  }
  if (want == Family::FixedText && (have == Family::FixedText || have == Family::VaryingText)) {
    if (actual.length < wanted.length) {
      return Difference{true, is + ": texts longer than " + std::to_string(actual.length) +
                                  " characters are refused"};
    }
    if (actual.length > wanted.length || have != want) return Difference{false, is};
    return std::nullopt;
  }
  if (want == Family::Decimal && have == Family::Decimal) {
    const int want_integer = wanted.precision - wanted.scale;
    const int have_integer = actual.precision - actual.scale;
    if (have_integer < want_integer) {
      return Difference{true, is + ": numbers of more than " + std::to_string(have_integer) +
                                  " integer digits are refused"};
    }
    if (actual.scale < wanted.scale) {
      return Difference{true, is + ": fraction digits beyond " + std::to_string(actual.scale) +
                                  " are lost"};
    }
    if (have_integer > want_integer || actual.scale > wanted.scale) return Difference{false, is};
    return std::nullopt;
  }
  if (want == Family::Decimal && have == Family::Integer && wanted.scale == 0) {
    if (IntegerDigits(actual.kind) < wanted.precision) {
      return Difference{true, is + ": numbers of " + std::to_string(wanted.precision) +
                                  " digits do not fit"};
    }
    return Difference{false, is};
  }
  return Difference{true, is};
}

bool HasDefault(const TableColumn& column) {
  return column.nullable || column.default_value.has_value();
}

// The unique keys of `table` that the database does not hold as keys of
// their own.
std::vector<std::u16string> MissingUniqueKeys(dbAx::provider::SchemaSession& session,
                                              const std::u16string& library,
                                              const BridgeTable& table) {
  std::vector<std::u16string> missing;
  if (table.uniqueKeys.empty()) return missing;
  const auto keys = session.UniqueKeys(library, table.name);
  for (const auto& column : table.uniqueKeys) {
    const bool keyed = std::any_of(keys.begin(), keys.end(), [&](const auto& key) {
      return key.size() == 1 && EqualsIgnoringAsciiCase(key[0], column);
    });
    if (!keyed) missing.push_back(column);
  }
  return missing;
}

}  // namespace

std::vector<Difference> CompareTable(const std::u16string& library, const BridgeTable& expected,
                                     const std::vector<TableColumn>& described,
                                     const std::string& standard) {
  std::vector<Difference> differences;
  if (described.empty()) {
    differences.push_back(
        {true, Utf16ToUtf8(library + u"." + expected.name) +
                   " does not exist (mirdane bridge create makes it)"});
    return differences;
  }
  for (const auto& column : expected.columns) {
    const std::string name = Name(library, expected, column.name);
    const SqlType wanted = ParseSqlType(column.sqlType);
    const auto found = std::find_if(described.begin(), described.end(), [&](const auto& d) {
      return EqualsIgnoringAsciiCase(d.name, column.name);
    });
    if (found == described.end()) {
      differences.push_back(
          {true, name + " (" + Shown(wanted) + ") is missing: " +
                     (column.generated ? "the release writes it into every row"
                                       : "values mapped to it would be dropped without a word")});
      continue;
    }
    if (!found->type_known) {
      // SQLite keeps no type for a column declared without one: any value
      // goes in, so there is nothing to compare, and no difference to claim.
      differences.push_back({false, name + " has no type the database can tell; it was not "
                                           "compared with " + Shown(wanted), true});
    } else if (auto difference = CompareType(name, wanted, found->type, standard)) {
      differences.push_back(std::move(*difference));
    }
    if (!column.generated && !HasDefault(*found)) {
      differences.push_back({false, name + " is NOT NULL without a default: a document that does "
                                           "not map it is refused"});
    }
  }
  for (const auto& column : described) {
    const bool known = std::any_of(expected.columns.begin(), expected.columns.end(),
                                   [&](const auto& c) {
                                     return EqualsIgnoringAsciiCase(c.name, column.name);
                                   });
    if (!known && !HasDefault(column)) {
      differences.push_back({true, Name(library, expected, column.name) + " (" +
                                       Shown(column.type) +
                                       ") is not in the catalogue and is NOT NULL without a "
                                       "default: every row is refused"});
    }
  }
  return differences;
}

std::vector<Difference> CheckBridgeTables(dbAx::provider::SchemaSession& session,
                                          const std::u16string& library) {
  if (!session.LibraryExists(library)) {
    return {{true, "library " + Utf16ToUtf8(library) +
                       " does not exist (mirdane bridge create makes it and its tables)"}};
  }
  std::vector<Difference> differences;
  for (const auto& table : BridgeTables()) {
    const auto described = session.DescribeTable(library, table.name);
    auto found = CompareTable(library, table, described);
    differences.insert(differences.end(), std::make_move_iterator(found.begin()),
                       std::make_move_iterator(found.end()));
    if (described.empty()) continue;
    for (const auto& column : MissingUniqueKeys(session, library, table)) {
      differences.push_back(
          {false, Utf16ToUtf8(library + u"." + table.name + u"." + column) +
                      " is not a unique key: two stations that draw the same transaction number "
                      "would both store it"});
    }
  }
  return differences;
}

LedgerCheck CheckLedgerTable(dbAx::provider::SchemaSession& session, const std::u16string& library) {
  const BridgeTable expected = LedgerTable();
  LedgerCheck check;
  const auto described = session.DescribeTable(library, expected.name);
  check.exists = !described.empty();
  if (!check.exists) return check;
  check.differences = CompareTable(library, expected, described, "the release needs");
  for (auto& difference : check.differences) difference.failing = !difference.note;
  for (const auto& column : MissingUniqueKeys(session, library, expected)) {
    const bool document = column == ledger::kKey;
    check.differences.push_back(
        {true, Utf16ToUtf8(library + u"." + expected.name + u"." + column) +
                   " is not a unique key: " +
                   (document ? "two stations releasing one document at once would both write it"
                             : "two documents could hold one transaction number, and releasing "
                               "one again would delete the other's rows")});
  }
  return check;
}

CheckReport CheckLibrary(dbAx::provider::SchemaSession& session, const std::u16string& library,
                         const CheckOptions& options) {
  CheckReport report;
  report.findings = CheckBridgeTables(session, library);
  const std::string name = Utf16ToUtf8(library);
  // The ledger only where the library is there to hold it.
  std::optional<LedgerCheck> ledger;
  if (options.check_ledger && session.LibraryExists(library)) {
    ledger = CheckLedgerTable(session, library);
  }
  if (ledger) {
    report.findings.insert(report.findings.end(), ledger->differences.begin(),
                           ledger->differences.end());
  }
  const std::string table = name + "." + Utf16ToUtf8(ledger::kTable);
  if (ledger && !ledger->exists && options.ledger_required) {
    // Every document of the class would fail with the release's own message.
    std::string command = "mirdane bridge create --ledger --library " + name + " --connect ";
    command += options.connect.empty()
                   ? std::string("<server name>")
                   : Utf16ToUtf8(dbAx::provider::MaskPasswords(options.connect));
    report.findings.push_back(
        {true, table + " does not exist, and documents released with releaseLedger = 1 need "
                       "it. Create it with: " + command});
  }
  // Notes after the differences, so that what matters comes first.
  std::stable_partition(report.findings.begin(), report.findings.end(),
                        [](const Difference& finding) { return !finding.note; });
  for (const auto& finding : report.findings) {
    if (finding.note) continue;
    ++report.differences;
    if (finding.failing) ++report.failing;
  }
  if (ledger && !ledger->exists && !options.ledger_required) {
    report.summary.push_back(name + ": no release ledger (" + table +
                             "); document classes released with releaseLedger = 1 need it: "
                             "mirdane bridge create --ledger makes it");
  } else if (ledger && ledger->exists &&
             std::none_of(ledger->differences.begin(), ledger->differences.end(),
                          [](const Difference& difference) { return !difference.note; })) {
    report.summary.push_back(name + ": the release ledger " + table + " is well formed");
  }
  if (report.differences == 0) {
    report.summary.push_back(name + ": both bridge tables match the field catalogue");
  } else {
    report.summary.push_back(name + ": " + std::to_string(report.differences) +
                             (report.differences == 1 ? " difference, " : " differences, ") +
                             std::to_string(report.failing) + " of them would make a release fail");
  }
  return report;
}

std::vector<std::string> CheckReport::Lines() const {
  std::vector<std::string> lines;
  for (const auto& finding : findings) lines.push_back(finding.Line());
  lines.insert(lines.end(), summary.begin(), summary.end());
  return lines;
}

}  // namespace mirdane::bridge
