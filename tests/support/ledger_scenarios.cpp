#include "tests/support/ledger_scenarios.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/ledger_station.h"

namespace mirdane::test {
namespace {

constexpr char16_t kN1[] = u"260101000000001";
constexpr char16_t kN2[] = u"260101000000002";
constexpr char16_t kN3[] = u"260101000000003";

LedgerStation Station(const LedgerSystem& where, const std::u16string& id,
                      std::deque<std::u16string> draws = {}) {
  return LedgerStation(where.system, where.library, id, std::move(draws), where.user,
                       where.password);
}

std::unique_ptr<dbAx::provider::SchemaSession> Schema(const LedgerSystem& where) {
  return dbAx::provider::OpenSchemaSession(where.system, where.user, where.password);
}

// The ledger's rows as "document number state", in transaction order.
std::vector<std::string> LedgerRows(const LedgerSystem& where) {
  auto schema = Schema(where);
  const auto rows = schema->Query(u"SELECT LGDOC, LGABNV, LGSTAT FROM " +
                                  schema->QualifiedName(where.library, u"MIRDLEDGER") +
                                  u" ORDER BY LGABNV");
  std::vector<std::string> out;
  for (const auto& row : rows.rows) {
    out.push_back(Utf16ToUtf8(TrimBlanks(row.at(0).value_or(u""))) + " " +
                  Utf16ToUtf8(TransactionNumberText(row.at(1).value_or(u""))) + " " +
                  Utf16ToUtf8(TrimBlanks(row.at(2).value_or(u""))));
  }
  return out;
}

bool Logged(const LedgerStation& station, int line, const std::string& text) {
  for (const auto& entry : station.log()) {
    if (entry.line == line && entry.message.find(text) != std::string::npos) return true;
  }
  return false;
}

std::string Dump(const LedgerStation& station) {
  std::string out;
  for (const auto& entry : station.log()) out += std::to_string(entry.line) + " " + entry.message + "\n";
  return out;
}

}  // namespace

void CreateLedgerLibrary(const LedgerSystem& where) {
  auto schema = Schema(where);
  bridge::CreateBridgeTables(*schema, where.library);
  bridge::CreateLedgerTable(*schema, where.library);
}

void TwoStationsStartingOneDocumentOnlyOneWrites(const LedgerSystem& where) {
  auto a = Station(where, u"DOC-1");
  auto b = Station(where, u"DOC-1");
  LedgerEntry seenByA, seenByB;
  ASSERT_TRUE(a.Find(&seenByA));
  ASSERT_TRUE(b.Find(&seenByB));
  EXPECT_EQ(seenByA.state, LedgerEntry::State::kAbsent);
  std::u16string first = kN1, second = kN2;
  EXPECT_TRUE(a.Start(seenByA, &first)) << Dump(a);
  EXPECT_FALSE(b.Start(seenByB, &second));
  EXPECT_TRUE(Logged(b, 543, "Document DOC-1 is being released on another station: the release "
                             "ledger " + Utf16ToUtf8(where.library) + ".MIRDLEDGER holds it as "
                             "transaction 260101000000001. Nothing was written"))
      << Dump(b);
  EXPECT_EQ(LedgerRows(where), std::vector<std::string>{"DOC-1 260101000000001 S"});
}

void TwoStationsTakingOverOneHalfWrittenDocumentOnlyOneWrites(const LedgerSystem& where) {
  {
    auto crashed = Station(where, u"DOC-2");
    LedgerEntry entry;
    ASSERT_TRUE(crashed.Find(&entry));
    std::u16string number = kN1;
    ASSERT_TRUE(crashed.Start(entry, &number)) << Dump(crashed);
  }
  auto b = Station(where, u"DOC-2");
  auto c = Station(where, u"DOC-2");
  LedgerEntry seenByB, seenByC;
  ASSERT_TRUE(b.Find(&seenByB));
  ASSERT_TRUE(c.Find(&seenByC));
  EXPECT_EQ(seenByB.state, LedgerEntry::State::kStarted);
  EXPECT_EQ(seenByB.transaction, kN1);
  std::u16string forB = kN2, forC = kN3;
  EXPECT_TRUE(b.Start(seenByB, &forB)) << Dump(b);
  EXPECT_FALSE(c.Start(seenByC, &forC));
  EXPECT_TRUE(Logged(c, 543, "holds it as transaction 260101000000002")) << Dump(c);
  EXPECT_EQ(LedgerRows(where), std::vector<std::string>{"DOC-2 260101000000002 S"});
}

void ANumberAnotherDocumentHoldsIsDrawnAgain(const LedgerSystem& where) {
  auto x = Station(where, u"DOC-X");
  auto y = Station(where, u"DOC-Y", {kN2});
  LedgerEntry entry;
  std::u16string number = kN1;
  ASSERT_TRUE(x.Find(&entry));
  ASSERT_TRUE(x.Start(entry, &number));
  ASSERT_TRUE(y.Find(&entry));
  number = kN1;  // the same millisecond on another machine
  EXPECT_TRUE(y.Start(entry, &number)) << Dump(y);
  EXPECT_EQ(number, kN2);
  EXPECT_TRUE(y.log().empty()) << Dump(y);
  EXPECT_EQ(LedgerRows(where),
            (std::vector<std::string>{"DOC-X 260101000000001 S", "DOC-Y 260101000000002 S"}));
}

void TheStartedRowFollowsTheHeaderToItsNewNumber(const LedgerSystem& where) {
  auto other = Station(where, u"DOC-O");
  auto mine = Station(where, u"DOC-M", {kN3});
  LedgerEntry entry;
  std::u16string number = kN2;
  ASSERT_TRUE(other.Find(&entry));
  ASSERT_TRUE(other.Start(entry, &number));
  number = kN1;
  ASSERT_TRUE(mine.Find(&entry));
  ASSERT_TRUE(mine.Start(entry, &number));
  // The header was refused under 1; the next number drawn (2) is the other
  // document's in the ledger, so the one after (3) is taken.
  std::u16string next = kN2;
  EXPECT_TRUE(mine.Renumber(kN1, &next)) << Dump(mine);
  EXPECT_EQ(next, kN3);
  EXPECT_EQ(LedgerRows(where),
            (std::vector<std::string>{"DOC-O 260101000000002 S", "DOC-M 260101000000003 S"}));
  EXPECT_TRUE(mine.Complete(kN3)) << Dump(mine);
  EXPECT_EQ(LedgerRows(where).back(), "DOC-M 260101000000003 C");
}

void AStationOvertakenCannotComplete(const LedgerSystem& where) {
  auto a = Station(where, u"DOC-3");
  auto b = Station(where, u"DOC-3");
  LedgerEntry entry;
  std::u16string first = kN1, second = kN2;
  ASSERT_TRUE(a.Find(&entry));
  ASSERT_TRUE(a.Start(entry, &first));
  ASSERT_TRUE(b.Find(&entry));  // a looks stopped half-way to b
  ASSERT_TRUE(b.Start(entry, &second));
  EXPECT_FALSE(a.Complete(kN1));
  EXPECT_TRUE(Logged(a, 543, "holds it as transaction 260101000000002")) << Dump(a);
  EXPECT_TRUE(b.Complete(kN2)) << Dump(b);
  EXPECT_FALSE(b.Complete(kN2)) << "complete once";
  EXPECT_EQ(LedgerRows(where), std::vector<std::string>{"DOC-3 260101000000002 C"});
}

void DeletingATransactionTakesItsRowsOnly(const LedgerSystem& where) {
  auto schema = Schema(where);
  const auto header = schema->QualifiedName(where.library, u"UAGYCPP");
  const auto lines = schema->QualifiedName(where.library, u"UAG0CPP");
  for (const char16_t* number : {kN1, kN2}) {
    schema->Execute(u"INSERT INTO " + header + u" (GYABNV) VALUES (" + number + u")");
    for (const char16_t* line : {u"1", u"2"}) {
      schema->Execute(u"INSERT INTO " + lines + u" (G0ABNV, G0GMNB) VALUES (" + number + u", " +
                      line + u")");
    }
  }
  auto station = Station(where, u"DOC-4");
  EXPECT_TRUE(station.DeleteTransaction(kN1)) << Dump(station);
  EXPECT_TRUE(station.DeleteTransaction(kN1)) << "again: nothing left, no failure";
  const auto left = schema->Query(u"SELECT G0ABNV FROM " + lines);
  ASSERT_EQ(left.rows.size(), 2u);
  EXPECT_EQ(TransactionNumberText(*left.rows[0][0]), kN2);
  EXPECT_EQ(schema->Query(u"SELECT GYABNV FROM " + header).rows.size(), 1u);
}

void AMissingLedgerIsNamed(const LedgerSystem& where) {
  auto schema = Schema(where);
  schema->Execute(u"DROP TABLE " + schema->QualifiedName(where.library, u"MIRDLEDGER"));
  auto station = Station(where, u"DOC-5");
  LedgerEntry entry;
  EXPECT_FALSE(station.Find(&entry));
  EXPECT_TRUE(Logged(station, 540, "The release ledger " + Utf16ToUtf8(where.library) +
                                       ".MIRDLEDGER does not exist"))
      << Dump(station);
}

}  // namespace mirdane::test
