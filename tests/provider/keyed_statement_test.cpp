// Commands other than inserts: the statements taken, and how the stand-in
// runs them through CAxCommand.
#include <gtest/gtest.h>

#include "base/text.h"
#include "dbax/ax_command.h"
#include "dbax/ax_connection.h"
#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"
#include "dbax/provider/ado.h"
#include "dbax/provider/keyed_statement.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/temp_dir.h"

namespace dbAx::provider {
namespace {

using mirdane::test::TempDir;

std::u16string Rendered(const std::u16string& sql) {
  const auto parsed = ParseKeyedStatement(sql);
  EXPECT_TRUE(parsed.valid) << mirdane::Utf16ToUtf8(parsed.problem);
  return parsed.statement.Text(u"Q(" + parsed.statement.library + u"." + parsed.statement.table + u")",
                               [](const std::u16string& name) { return u"<" + name + u">"; });
}

TEST(KeyedStatement, TheThreeFormsAreRebuiltFromTheirNames) {
  EXPECT_EQ(Rendered(u"select a, B from lib.t where k = ?"),
            u"SELECT <a>, <B> FROM Q(lib.t) WHERE <k> = ?");
  EXPECT_EQ(Rendered(u"  UPDATE  X#L.T$  SET A=?,B = ?\nWHERE K=? and J = ?  "),
            u"UPDATE Q(X#L.T$) SET <A> = ?, <B> = ? WHERE <K> = ? AND <J> = ?");
  EXPECT_EQ(Rendered(u"DELETE FROM L.T WHERE K = ?"), u"DELETE FROM Q(L.T) WHERE <K> = ?");

  const auto update = ParseKeyedStatement(u"UPDATE L.T SET A = ?, B = ? WHERE K = ? AND J = ?");
  EXPECT_EQ(update.statement.ParameterColumns(),
            (std::vector<std::u16string>{u"A", u"B", u"K", u"J"}));
  EXPECT_EQ(ParseKeyedStatement(u"SELECT A FROM L.T WHERE K = ?").statement.ParameterColumns(),
            std::vector<std::u16string>{u"K"});
}

TEST(KeyedStatement, AnythingElseIsRefusedWithTheReason) {
  const std::pair<const char16_t*, const char*> refused[] = {
      {u"SELECT * FROM L.T WHERE K = ?", "the column name '*'"},
      {u"SELECT A FROM T WHERE K = ?", "expected ."},
      {u"SELECT A FROM L.T", "expected WHERE"},
      {u"SELECT A FROM L.T WHERE K = 'x'", "expected ?"},
      {u"SELECT A FROM L.T WHERE K = ? OR 1 = 1", "expected the end of the statement at 'OR'"},
      {u"DELETE FROM L.T WHERE K = ?; DROP TABLE L.T", "expected the end"},
      {u"DELETE FROM \"L\".T WHERE K = ?", "the library name '\"L\"'"},
      {u"UPDATE L.T SET A = 1 WHERE K = ?", "expected ?"},
      {u"INSERT INTO L.T (A) VALUES (?)", "expected SELECT, UPDATE or DELETE"},
      {u"DELETE FROM L.1T WHERE K = ?", "the table name '1T'"},
      {u"", "expected SELECT"},
  };
  for (const auto& [sql, why] : refused) {
    const auto parsed = ParseKeyedStatement(sql);
    EXPECT_FALSE(parsed.valid) << mirdane::Utf16ToUtf8(sql);
    EXPECT_NE(mirdane::Utf16ToUtf8(parsed.problem).find(why), std::string::npos)
        << mirdane::Utf16ToUtf8(parsed.problem);
  }
}

class StandInCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    auto schema = OpenSchemaSession(dir_.StandInSource(), u"", u"");
    schema->CreateLibrary(u"XALIB");
    schema->Execute(u"CREATE TABLE XALIB.T (K CHAR(4) NOT NULL DEFAULT '    ', "
                    u"D DECIMAL(15, 0) NOT NULL DEFAULT 0, V VARCHAR(9), UNIQUE (K), UNIQUE (D))");
    schema->Execute(u"INSERT INTO XALIB.T (K, D, V) VALUES ('a', 260101000000001, 'one'), "
                    u"('b', 260101000000002, NULL)");
    AxLibInit();
    connection_.Create();
    connection_.Open(u"Provider=IBMDA400;Data source=" + dir_.StandInSource() +
                         u";Force Translate=0", u"", u"", -1);
  }
  void TearDown() override { AxLibTerm(); }
  void ReadChangeDelete();

  // The exception a statement throws; null when it runs.
  std::unique_ptr<CAxException> Refusal(const std::u16string& sql,
                                        const std::vector<std::u16string>& parameters) {
    try {
      CAxCommand(connection_).Execute(sql, parameters);
    } catch (CAxException* caught) {
      return TakeAxException(caught);
    }
    return nullptr;
  }

  TempDir dir_;
  CAxConnection connection_;
};

TEST_F(StandInCommands, RowsAreReadChangedAndDeletedByBoundValues) {
  try {
    ReadChangeDelete();
  } catch (CAxException* caught) {
    ADD_FAILURE() << mirdane::Utf16ToUtf8(TakeAxException(caught)->message);
  }
}

void StandInCommands::ReadChangeDelete() {
  CAxCommand command(connection_);
  auto rows = command.Query(u"SELECT D, V FROM XALIB.T WHERE K = ?", {u"a"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], u"260101000000001");
  EXPECT_EQ(rows[0][1], u"one");
  rows = command.Query(u"SELECT V FROM XALIB.T WHERE D = ?", {u"260101000000002"});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_FALSE(rows[0][0].has_value()) << "NULL stays NULL";
  EXPECT_TRUE(command.Query(u"SELECT V FROM XALIB.T WHERE K = ?", {u"a'--"}).empty())
      << "a value is only ever a value";
  EXPECT_EQ(command.Query(u"SELECT V FROM XALIB.T WHERE K = ?", {u"a  "}).size(), 1u)
      << "CHAR compares as if padded with blanks";

  EXPECT_EQ(command.Execute(u"UPDATE XALIB.T SET V = ? WHERE K = ? AND D = ?",
                            {u"changed", u"a", u"260101000000001"}), 1);
  EXPECT_EQ(command.Execute(u"UPDATE XALIB.T SET V = ? WHERE K = ? AND D = ?",
                            {u"x", u"a", u"260101000000002"}), 0) << "both must match";
  EXPECT_EQ(command.Query(u"SELECT V FROM XALIB.T WHERE K = ?", {u"a"})[0][0], u"changed");
  EXPECT_EQ(command.Execute(u"DELETE FROM xalib.t WHERE k = ?", {u"b"}), 1);
  EXPECT_EQ(command.Execute(u"DELETE FROM XALIB.T WHERE K = ?", {u"b"}), 0);
}

TEST_F(StandInCommands, FailuresCarryTheProvidersReasonAndAnHresultToActOn) {
  auto e = Refusal(u"DELETE FROM XALIB.NOPE WHERE K = ?", {u"a"});
  ASSERT_TRUE(e);
  EXPECT_EQ(e->hr, ado::DB_E_NOTABLE);
  EXPECT_EQ(e->message.rfind(u"CAxCommand::Execute\nSQL0204 - NOPE in XALIB type *FILE not found.", 0), 0u)
      << mirdane::Utf16ToUtf8(e->message);

  e = Refusal(u"UPDATE XALIB.T SET D = ? WHERE K = ?", {u"260101000000002", u"a"});
  ASSERT_TRUE(e);
  EXPECT_EQ(e->hr, ado::DB_E_INTEGRITYVIOLATION) << mirdane::Utf16ToUtf8(e->message);

  e = Refusal(u"UPDATE XALIB.T SET D = ? WHERE K = ?", {u"12.5", u"a"});
  ASSERT_TRUE(e);
  EXPECT_EQ(e->hr, ado::DB_E_ERRORSOCCURRED) << "a value the column refuses";

  e = Refusal(u"UPDATE XALIB.T SET NOPE = ? WHERE K = ?", {u"1", u"a"});
  ASSERT_TRUE(e);
  EXPECT_NE(e->message.find(u"SQL0206 - Column NOPE not in table T in XALIB."), std::u16string::npos);

  e = Refusal(u"DELETE FROM XALIB.T WHERE K = ?", {});
  ASSERT_TRUE(e);
  EXPECT_NE(e->message.find(u"1 parameter markers and was given 0 values"), std::u16string::npos);

  e = Refusal(u"DELETE FROM NOLIB.T WHERE K = ?", {u"a"});
  ASSERT_TRUE(e);
  EXPECT_NE(e->hr, ado::DB_E_NOTABLE) << "a missing library is not a missing table";

  e = Refusal(u"DROP TABLE XALIB.T", {});
  ASSERT_TRUE(e);
  EXPECT_NE(e->message.find(u"The provider runs only commands of the forms"), std::u16string::npos);
  EXPECT_EQ(CAxCommand(connection_).Query(u"SELECT K FROM XALIB.T WHERE K = ?", {u"a"}).size(), 1u);
}

TEST_F(StandInCommands, AQuerysRecordsetOnlyReads) {
  std::shared_ptr<Command> command;
  ASSERT_EQ(CreateCommand(&command), 0);
  ASSERT_EQ(command->putref_ActiveConnection(connection_.AdoConnection()), 0);
  ASSERT_EQ(command->put_CommandText(u"SELECT K, V FROM XALIB.T WHERE D = ?"), 0);
  std::shared_ptr<Recordset> rows;
  ASSERT_EQ(command->Execute(nullptr, {mirdane::Variant::Text(u"260101000000001")}, ado::adCmdText,
                             &rows), 0);
  bool eof = true;
  ASSERT_EQ(rows->get_EOF(&eof), 0);
  EXPECT_FALSE(eof);
  std::shared_ptr<Fields> fields;
  ASSERT_EQ(rows->get_Fields(&fields), 0);
  std::shared_ptr<Field> field;
  ASSERT_EQ(fields->get_Item(mirdane::Variant::Text(u"v"), &field), 0);
  mirdane::Variant value;
  ASSERT_EQ(field->get_Value(&value), 0);
  EXPECT_EQ(*value.AsText(), u"one");
  EXPECT_LT(field->put_Value(mirdane::Variant::Text(u"x")), 0);
  EXPECT_LT(rows->AddNew(mirdane::Variant::Missing(), mirdane::Variant::Missing()), 0);
  ASSERT_EQ(rows->MoveNext(), 0);
  ASSERT_EQ(rows->get_EOF(&eof), 0);
  EXPECT_TRUE(eof);
  EXPECT_EQ(field->get_Value(&value), ado::adErrNoCurrentRecord);
  EXPECT_EQ(rows->MoveNext(), ado::adErrNoCurrentRecord);
  EXPECT_EQ(rows->Close(), 0);
  EXPECT_EQ(rows->get_EOF(&eof), ado::adErrObjectClosed);

  // A query asked to give no records, and a closed connection.
  EXPECT_EQ(command->Execute(nullptr, {mirdane::Variant::Text(u"1")},
                             ado::adCmdText | ado::adExecuteNoRecords, &rows),
            ado::adErrInvalidArgument);
  connection_.Close();
  EXPECT_EQ(command->Execute(nullptr, {mirdane::Variant::Text(u"1")}, ado::adCmdText, &rows),
            ado::adErrObjectClosed);
}

}  // namespace
}  // namespace dbAx::provider
