#include "bridge/bridge_audit.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "bridge/bridge_schema.h"
#include "release/ledger_table.h"

namespace mirdane::bridge {
namespace {

using dbAx::provider::QueryResult;
using dbAx::provider::SchemaError;

// A stored number as the audit prints it: "260305070409045", whether the
// server gave "260305070409045" or "260305070409045.0".
std::u16string Number(const std::optional<std::u16string>& value) {
  if (!value) return u"NULL";
  std::u16string text(TrimBlanks(*value));
  if (const auto dot = text.find(u'.'); dot != std::u16string::npos &&
      text.find_first_not_of(u'0', dot + 1) == std::u16string::npos) {
    text.erase(dot);
  }
  return text;
}

std::string Join(const std::vector<long long>& numbers) {
  std::string out;
  for (const long long n : numbers) out += (out.empty() ? "" : ", ") + std::to_string(n);
  return out;
}

// Line numbers 1..N each once: what is missing and what is repeated.
std::string DescribeLineNumbers(std::vector<long long> numbers) {
  std::sort(numbers.begin(), numbers.end());
  std::vector<long long> missing, repeated;
  long long expected = 1;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0 && numbers[i] == numbers[i - 1]) {
      if (repeated.empty() || repeated.back() != numbers[i]) repeated.push_back(numbers[i]);
      continue;
    }
    // A few missing numbers are listed; a run of them is not spelled out.
    for (; expected < numbers[i] && missing.size() < 20; ++expected) missing.push_back(expected);
    expected = numbers[i] + 1;
  }
  std::string text;
  if (!missing.empty()) text += "line numbers missing: " + Join(missing);
  if (!repeated.empty()) text += std::string(text.empty() ? "" : "; ") + "line numbers repeated: " + Join(repeated);
  if (!numbers.empty() && numbers.front() < 1) {
    text += std::string(text.empty() ? "" : "; ") + "line numbers below 1: " + std::to_string(numbers.front());
  }
  return text;
}

}  // namespace

std::vector<AuditFinding> AuditBridgeTables(dbAx::provider::SchemaSession& session,
                                            const std::u16string& library) {
  if (!session.LibraryExists(library)) {
    throw SchemaError("library " + Utf16ToUtf8(library) + " does not exist");
  }
  for (const char16_t* table : {kHeaderTable, kLineTable}) {
    if (!session.TableExists(library, table)) {
      throw SchemaError("table " + Utf16ToUtf8(library + u"." + table) + " does not exist");
    }
  }
  const std::u16string header = session.QualifiedName(library, kHeaderTable);
  const std::u16string lines = session.QualifiedName(library, kLineTable);

  std::map<std::u16string, std::vector<AuditFinding>> found;  // ordered by transaction
  const QueryResult bare = session.Query(
      u"SELECT H.GYABNV FROM " + header + u" H WHERE NOT EXISTS (SELECT 1 FROM " + lines +
      u" L WHERE L.G0ABNV = H.GYABNV)");
  for (const auto& row : bare.rows) {
    const auto number = Number(row.at(0));
    found[number].push_back({number, "header without lines"});
  }
  const QueryResult orphans = session.Query(
      u"SELECT L.G0ABNV, COUNT(*) FROM " + lines + u" L WHERE NOT EXISTS (SELECT 1 FROM " +
      header + u" H WHERE H.GYABNV = L.G0ABNV) GROUP BY L.G0ABNV");
  for (const auto& row : orphans.rows) {
    const auto number = Number(row.at(0));
    const std::string count = Utf16ToUtf8(Number(row.at(1)));
    found[number].push_back({number, count + (count == "1" ? " line" : " lines") + " without a header"});
  }
  // Only the lines of transactions whose numbers cannot be 1..N are read.
  const QueryResult suspicious = session.Query(
      u"SELECT L.G0ABNV, L.G0GMNB FROM " + lines + u" L WHERE L.G0ABNV IN (SELECT G0ABNV FROM " +
      lines + u" GROUP BY G0ABNV HAVING MIN(G0GMNB) <> 1 OR MAX(G0GMNB) <> COUNT(*) OR "
      u"COUNT(DISTINCT G0GMNB) <> COUNT(*))");
  std::map<std::u16string, std::vector<long long>> numbers;
  for (const auto& row : suspicious.rows) {
    const std::string line = Utf16ToUtf8(Number(row.at(1)));
    long long value = 0;
    try {
      value = std::stoll(line);
    } catch (const std::exception&) {
      throw SchemaError("the line number '" + line + "' of " + Utf16ToUtf8(library) +
                        ".UAG0CPP is not a number");
    }
    numbers[Number(row.at(0))].push_back(value);
  }
  for (const auto& [number, values] : numbers) {
    found[number].push_back({number, DescribeLineNumbers(values)});
  }

  // Releases the ledger saw start and never complete: their rows, if any,
  // are among the findings above, and the next release of the document
  // replaces them.
  if (session.TableExists(library, ledger::kTable)) {
    const QueryResult started = session.Query(
        u"SELECT " + std::u16string(ledger::kTransaction) + u", " + ledger::kDocument + u", " +
        ledger::kStartedAt + u" FROM " + session.QualifiedName(library, ledger::kTable) +
        u" WHERE " + ledger::kState + u" = '" + ledger::kStarted + u"'");
    for (const auto& row : started.rows) {
      const auto number = Number(row.at(0));
      const std::string document = row.at(1) ? Utf16ToUtf8(TrimBlanks(*row.at(1))) : "";
      const std::string at = row.at(2) ? Utf16ToUtf8(TrimBlanks(*row.at(2))) : "";
      found[number].push_back(
          {number, "release of document '" + document + "' started " + at +
                       " UTC and not completed (release ledger " +
                       Utf16ToUtf8(ledger::kTable) +
                       "); releasing the document again replaces it"});
    }
  }

  std::vector<AuditFinding> findings;
  for (auto& [number, list] : found) {
    for (auto& finding : list) findings.push_back(std::move(finding));
  }
  return findings;
}

}  // namespace mirdane::bridge
