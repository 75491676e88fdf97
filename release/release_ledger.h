// The release ledger at work: what the release asks of it and tells it about
// one document (ledger_table.h describes the table).
//
// With the ledger on, a document's release runs: Find; when complete, stop;
// when started, DeleteTransaction of the half-written one; Start; the bridge
// rows; Complete. A process killed anywhere in between leaves a started row
// that names every bridge row stored so far, so the next release of the
// document removes them before writing anew.
#pragma once

#include <functional>
#include <string>

#include "release/document_key.h"

namespace dbAx {
class CAxConnection;
}

namespace mirdane {

struct LedgerEntry {
  enum class State { kAbsent, kStarted, kComplete };
  State state = State::kAbsent;
  std::u16string transaction;  // the row's transaction number, 15 digits
};

class ReleaseLedger {
 public:
  // Works on the ledger of `library` over the open `connection`; `draw`
  // gives the next transaction number when one is taken.
  ReleaseLedger(dbAx::CAxConnection& connection, std::u16string library, DocumentKey key,
                std::function<std::u16string()> draw);

  // Looks the document up. False after a reported failure, among them a
  // ledger that does not exist and a row that cannot be understood.
  bool Find(LedgerEntry* entry);
  // Deletes the bridge rows of `transaction`: its lines, then its header.
  // False after a reported failure.
  bool DeleteTransaction(const std::u16string& transaction);
  // Records that the release starts with transaction `*number`: a new
  // started row when `found` is absent, else the started row taken over from
  // its earlier number. A number another document holds in the ledger is
  // replaced by the next one drawn. False after a reported failure, also
  // when another station holds the document.
  bool Start(const LedgerEntry& found, std::u16string* number);
  // Moves the started row from transaction `from` to `*number` before the
  // header is stored under it (drawing again while another document holds
  // the number). False after a reported failure.
  bool Renumber(const std::u16string& from, std::u16string* number);
  // Marks the release of transaction `number` complete. False after a
  // reported failure; the row then stays started.
  bool Complete(const std::u16string& number);

  const DocumentKey& key() const { return key_; }
  // LIBRARY.MIRDLEDGER
  std::u16string QualifiedName() const;

 private:
  enum class Stored { kYes, kDuplicate, kFailed };

  bool Read(LedgerEntry* entry);
  Stored Insert(const std::u16string& number, std::u16string* refusal);
  bool ReportHeldElsewhere(const std::u16string& fallback);
  std::u16string Table(const char16_t* name) const;

  dbAx::CAxConnection& connection_;
  std::u16string library_;
  DocumentKey key_;
  std::function<std::u16string()> draw_;
};

// Whether the document class releases with the ledger: releaseLedger = "1".
bool ReleaseLedgerSwitchedOn(kfx::ReleaseData& data);

// A transaction number read back from a DECIMAL column, as the 15 digits it
// was written with ("260305070409045" from " 260305070409045.0").
std::u16string TransactionNumberText(const std::u16string& stored);

}  // namespace mirdane
