// Stations meeting in the release ledger of the stand-in.
#include <gtest/gtest.h>

#include "tests/support/ledger_scenarios.h"
#include "tests/support/temp_dir.h"

namespace mirdane::test {
namespace {

class StandInLedger : public ::testing::Test {
 protected:
  void SetUp() override { CreateLedgerLibrary(where_); }

  TempDir dir_;
  LedgerSystem where_{dir_.StandInSource(), u"XA$LIB", u"", u""};
};

TEST_F(StandInLedger, TwoStationsStartingOneDocumentOnlyOneWrites) {
  TwoStationsStartingOneDocumentOnlyOneWrites(where_);
}
TEST_F(StandInLedger, TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites) {
  TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites(where_);
}
TEST_F(StandInLedger, ANumberAnotherDocumentHoldsIsDrawnAgain) {
  ANumberAnotherDocumentHoldsIsDrawnAgain(where_);
}
TEST_F(StandInLedger, TheStartedRowFollowsTheHeaderToItsNewNumber) {
  TheStartedRowFollowsTheHeaderToItsNewNumber(where_);
}
TEST_F(StandInLedger, AStationOvertakenCannotComplete) { AStationOvertakenCannotComplete(where_); }
TEST_F(StandInLedger, DeletingATransactionTakesItsRowsOnly) {
  DeletingATransactionTakesItsRowsOnly(where_);
}
TEST_F(StandInLedger, AMissingLedgerIsNamed) { AMissingLedgerIsNamed(where_); }

}  // namespace
}  // namespace mirdane::test
