// bridge audit and the unique key of bridge check, on the stand-in.
#include <gtest/gtest.h>

#include "bridge/bridge_audit.h"
#include "bridge/bridge_check.h"
#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"
#include "tests/support/temp_dir.h"

namespace mirdane::bridge {
namespace {

class BridgeAudit : public ::testing::Test {
 protected:
  void SetUp() override {
    session_ = dbAx::provider::OpenSchemaSession(dir_.StandInSource(), u"", u"");
    CreateBridgeTables(*session_, u"XA#LIB");
  }
  void Header(const char16_t* number) {
    session_->Execute(u"INSERT INTO \"XA#LIB\".UAGYCPP (GYABNV) VALUES (" + std::u16string(number) + u")");
  }
  void Line(const char16_t* number, const char16_t* line) {
    session_->Execute(u"INSERT INTO \"XA#LIB\".UAG0CPP (G0ABNV, G0GMNB) VALUES (" +
                      std::u16string(number) + u", " + line + u")");
  }
  std::vector<std::string> Audit() {
    std::vector<std::string> lines;
    for (const auto& finding : AuditBridgeTables(*session_, u"XA#LIB")) {
      lines.push_back(std::string(finding.transaction.begin(), finding.transaction.end()) + ": " +
                      finding.text);
    }
    return lines;
  }

  test::TempDir dir_;
  std::unique_ptr<dbAx::provider::SchemaSession> session_;
};

TEST_F(BridgeAudit, WholeTransactionsGiveNoFindings) {
  EXPECT_TRUE(Audit().empty());
  Header(u"260101000000001");
  Line(u"260101000000001", u"1");
  Line(u"260101000000001", u"2");
  Header(u"260101000000002");
  Line(u"260101000000002", u"1");
  EXPECT_TRUE(Audit().empty());
}

TEST_F(BridgeAudit, HalfWrittenTransactionsAreListedByNumber) {
  Header(u"260101000000001");  // whole
  Line(u"260101000000001", u"1");
  Header(u"260101000000002");  // its lines never came
  Line(u"260101000000003", u"1");  // its header never came
  Line(u"260101000000003", u"2");
  Header(u"260101000000004");  // line 2 lost, line 3 twice
  for (const char16_t* n : {u"1", u"3", u"3", u"5"}) Line(u"260101000000004", n);
  Header(u"260101000000005");  // the first line lost
  Line(u"260101000000005", u"2");
  Header(u"260101000000006");  // numbered from 0: nothing missing or repeated
  Line(u"260101000000006", u"0");
  Line(u"260101000000006", u"1");
  EXPECT_EQ(Audit(), (std::vector<std::string>{
                         "260101000000002: header without lines",
                         "260101000000003: 2 lines without a header",
                         "260101000000004: line numbers missing: 2, 4; line numbers repeated: 3",
                         "260101000000005: line numbers missing: 1",
                         "260101000000006: line numbers below 1: 0",
                     }));
  // It changes nothing.
  EXPECT_EQ(Audit().size(), 5u);
  EXPECT_EQ(session_->Query(u"SELECT * FROM \"XA#LIB\".UAG0CPP").rows.size(), 10u);
}

TEST_F(BridgeAudit, MissingTablesAreRefused) {
  EXPECT_THROW(AuditBridgeTables(*session_, u"NOLIB"), dbAx::provider::SchemaError);
}

TEST_F(BridgeAudit, CheckWarnsOfAHeaderTableWithoutUniqueNumbers) {
  EXPECT_TRUE(CheckBridgeTables(*session_, u"XA#LIB").empty()) << "created with the key";
  EXPECT_EQ(session_->UniqueKeys(u"XA#LIB", u"UAGYCPP"),
            (std::vector<std::vector<std::u16string>>{{u"GYABNV"}}));

  BridgeTable unkeyed = BridgeTables()[0];
  unkeyed.uniqueKeys.clear();
  session_->CreateLibrary(u"OLD");
  session_->Execute(CreateTableStatement(session_->QualifiedName(u"OLD", u"UAGYCPP"), unkeyed));
  session_->Execute(CreateTableStatement(session_->QualifiedName(u"OLD", u"UAG0CPP"), BridgeTables()[1]));
  const auto differences = CheckBridgeTables(*session_, u"OLD");
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_FALSE(differences[0].failing);
  EXPECT_EQ(differences[0].Line(),
            "warning: OLD.UAGYCPP.GYABNV is not a unique key: two stations that draw the same "
            "transaction number would both store it");
}

TEST_F(BridgeAudit, TheHeaderRefusesASecondRowWithTheSameNumber) {
  Header(u"260101000000001");
  EXPECT_THROW(Header(u"260101000000001"), dbAx::provider::SchemaError);
}

}  // namespace
}  // namespace mirdane::bridge
