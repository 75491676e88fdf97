// `mirdane bridge check`: the bridge tables of a library against the field
// catalogue, before the first batch is released into them.
#pragma once

#include <string>
#include <vector>

#include "bridge/bridge_schema.h"
#include "dbax/provider/schema_session.h"

namespace mirdane::bridge {

struct Difference {
  // True when a release would fail or lose values because of it; false when
  // the table only differs from the catalogue in a way a release survives.
  bool failing = false;
  std::string text;  // one line, naming the library, table and column
  // Not a difference: something the check could not compare (a column whose
  // type the driver cannot tell).
  bool note = false;

  // "error: <text>", "warning: <text>" or "note: <text>"
  std::string Line() const {
    return (note ? "note: " : failing ? "error: " : "warning: ") + text;
  }
};

// The differences of one table, as the database describes it, from what the
// catalogue and the release expect of it. `described` empty means the table
// does not exist. `standard` names what the types are measured against in
// the texts ("is CHAR(5), the catalogue has CHAR(10)").
std::vector<Difference> CompareTable(const std::u16string& library, const BridgeTable& expected,
                                     const std::vector<dbAx::provider::TableColumn>& described,
                                     const std::string& standard = "the catalogue has");

// Both tables of `library`, header first; a missing library is one
// difference. Throws SchemaError when the database cannot be asked.
std::vector<Difference> CheckBridgeTables(dbAx::provider::SchemaSession& session,
                                          const std::u16string& library);

struct LedgerCheck {
  bool exists = false;
  // How it differs from what the release needs; every difference is failing,
  // since a document class with the ledger on would be refused or written
  // twice.
  std::vector<Difference> differences;
};

// The release ledger of `library`, which must exist. Throws SchemaError.
LedgerCheck CheckLedgerTable(dbAx::provider::SchemaSession& session, const std::u16string& library);

struct CheckOptions {
  // Whether the release ledger is looked at at all.
  bool check_ledger = true;
  // The document class releases with the ledger (releaseLedger = 1): a
  // missing ledger fails the check, naming the command that creates it.
  bool ledger_required = false;
  // The system as the check reached it, for that command (masked there).
  std::u16string connect;
};

// Everything `mirdane bridge check` says of a library.
struct CheckReport {
  // The tables' differences, then the ledger's, then notes, in order.
  std::vector<Difference> findings;
  std::size_t differences = 0;  // findings that are not notes
  std::size_t failing = 0;      // of them, those that make a release fail
  // The closing lines: the ledger's state, then the tables' verdict.
  std::vector<std::string> summary;

  // Every line, as the command prints them.
  std::vector<std::string> Lines() const;
};

// Both bridge tables and, where the library exists, the release ledger.
// Throws SchemaError when the database cannot be asked.
CheckReport CheckLibrary(dbAx::provider::SchemaSession& session, const std::u16string& library,
                         const CheckOptions& options = {});

}  // namespace mirdane::bridge
