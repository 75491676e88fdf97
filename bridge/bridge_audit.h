// bridge audit: transactions left half-written. The release has no database
// transaction (each row commits by itself), so a process killed or a server
// lost in the middle of a document leaves a header with only some of its
// lines, or lines whose header was never stored. The audit finds them; it
// changes nothing.
#pragma once

#include <string>
#include <vector>

#include "dbax/provider/schema_session.h"

namespace mirdane::bridge {

struct AuditFinding {
  std::u16string transaction;  // the transaction number
  std::string text;            // one line: what is wrong with it
};

// Headers without lines, lines without a header, transactions whose line
// numbers are not 1 to N without gaps or repeats, and, when the library has
// a release ledger, releases it holds as started and never completed; in
// transaction order. Throws SchemaError.
std::vector<AuditFinding> AuditBridgeTables(dbAx::provider::SchemaSession& session,
                                            const std::u16string& library);

}  // namespace mirdane::bridge
