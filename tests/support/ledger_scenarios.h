// Two or three stations meeting in one release ledger, step by step: the
// same scenarios on every backend.
#pragma once

#include <string>

namespace mirdane::test {

struct LedgerSystem {
  std::u16string system;  // the server name, as a setup stores it
  std::u16string library;
  std::u16string user;
  std::u16string password;
};

// Creates the bridge tables and the ledger in the library.
void CreateLedgerLibrary(const LedgerSystem& where);

void TwoStationsStartingOneDocumentOnlyOneWrites(const LedgerSystem& where);
void TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites(const LedgerSystem& where);
void ANumberAnotherDocumentHoldsIsDrawnAgain(const LedgerSystem& where);
void TheStartedRowFollowsTheHeaderToItsNewNumber(const LedgerSystem& where);
void AStationOvertakenCannotComplete(const LedgerSystem& where);
void DeletingATransactionTakesItsRowsOnly(const LedgerSystem& where);
void AMissingLedgerIsNamed(const LedgerSystem& where);

}  // namespace mirdane::test
