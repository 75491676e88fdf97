// Batches released through odbc: into PostgreSQL, in-process, as the host's
// Release module drives the release script.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "base/text.h"
#include "bridge/bridge_schema.h"
#include "bridge/bridge_tool.h"
#include "dbax/provider/backend.h"
#include "dbax/provider/schema_session.h"
#include "tests/support/batch_run.h"
#include "tests/support/services.h"
#include "tests/support/temp_dir.h"

namespace mirdane {
namespace {

using dbAx::provider::OpenSchemaSession;
using dbAx::provider::SchemaSession;
using namespace mirdane::test;

using Row = std::map<std::string, std::string>;

// A decimal written without trailing fraction zeros ("250.00" and "250" alike).
std::string CanonicalDecimal(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// A bridge table's rows in transaction and line order, column names in upper
// case, blank padding and the transaction number left out, decimals canonical.
std::vector<Row> BridgeRows(SchemaSession& session, const std::u16string& library,
                            const bridge::BridgeTable& table) {
  std::map<std::string, bool> decimal;
  std::u16string order;
  for (const auto& column : table.columns) {
    decimal[Utf16ToUtf8(column.name)] = column.sqlType.starts_with(u"DECIMAL");
    if (column.generated) order += (order.empty() ? u" ORDER BY " : u", ") + column.name;
  }
  const auto result = session.Query(u"SELECT * FROM " + library + u"." + table.name + order);
  std::vector<Row> rows;
  for (const auto& values : result.rows) {
    Row& row = rows.emplace_back();
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::string name = Utf16ToUtf8(AsciiUpper(result.columns[i]));
      if (name == "GYABNV" || name == "G0ABNV") continue;
      std::string value = values[i] ? Utf16ToUtf8(*values[i]) : "NULL";
      value.erase(value.find_last_not_of(' ') + 1);
      row[name] = decimal[name] ? CanonicalDecimal(value) : value;
    }
  }
  return rows;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class OdbcRelease : public ::testing::Test {
 protected:
  void SetUp() override {
    pg_ = OpenSchemaSession(services_.PgSource(), services_.user(), services_.password());
    bridge::CreateBridgeTables(*pg_, library_);
  }

  batch::BatchFile PgBatch(std::u16string system = {}, std::u16string password = {}) {
    return DemoBatch(system.empty() ? services_.PgSource() : system, library_, services_.user(),
                     password.empty() ? services_.password() : password);
  }

  std::size_t HeaderRows() {
    return pg_->Query(u"SELECT GYABNV FROM " + library_ + u".UAGYCPP").rows.size();
  }

  const Services& services_ = Services::Get();
  std::u16string library_ = Services::UniqueLibrary();
  std::unique_ptr<SchemaSession> pg_;
  TempDir dir_;
};

// The demo batch stores the same rows through ODBC into PostgreSQL as into the
// stand-in, and fails the same document (a quantity of "1,5") the same way.
TEST_F(OdbcRelease, TheDemoBatchStoresTheSameRowsAsTheStandIn) {
  auto standin = OpenSchemaSession(dir_.StandInSource(), u"", u"");
  bridge::CreateBridgeTables(*standin, u"XALIB");
  const auto expected =
      ReleaseBatch(DemoBatch(dir_.StandInSource(), u"XALIB"), dir_.path() / "standin-logs");
  const auto outcome = ReleaseBatch(PgBatch(), dir_.path() / "pg-logs");

  ASSERT_EQ(outcome.documents.size(), 5u);
  for (std::size_t i = 0; i < outcome.documents.size(); ++i) {
    EXPECT_EQ(outcome.documents[i].result, expected.documents[i].result) << "document " << i + 1;
  }
  ASSERT_EQ(outcome.documents[3].errors.size(), 1u);
  EXPECT_TRUE(Contains(outcome.documents[3].errors[0],
                       "Error Updating UAG0CPP record 2 of 3: CAxRecordset::Update"));
  EXPECT_TRUE(Contains(outcome.documents[3].errors[0],
                       "invalid input syntax for type numeric: \"1,5\""))
      << outcome.documents[3].errors[0];

  for (const auto& table : bridge::BridgeTables()) {
    const auto want = BridgeRows(*standin, u"XALIB", table);
    const auto got = BridgeRows(*pg_, library_, table);
    ASSERT_EQ(got.size(), want.size()) << Utf16ToUtf8(table.name);
    for (std::size_t i = 0; i < want.size(); ++i) {
      for (const auto& [column, value] : want[i]) {
        EXPECT_EQ(got[i].at(column), value) << Utf16ToUtf8(table.name) << " row " << i + 1 << " "
                                            << column;
      }
    }
  }
  EXPECT_FALSE(Contains(outcome.log, Utf16ToUtf8(services_.password())));
}

// Values PostgreSQL refuses reach the host with the server's own text; the
// document stops there and its header is not stored.
TEST_F(OdbcRelease, RefusedValuesAreReportedInTheServersWords) {
  auto file = PgBatch();
  file.documents.resize(3);
  auto set = [](batch::NamedTexts& texts, const char16_t* name, const char16_t* value) {
    for (auto& [key, text] : texts) {
      if (key == name) text = value;
    }
  };
  set(file.documents[0].indexFields, u"Vendor", u"VENDOR-TOO-LONG");  // CHAR(10)
  set(file.documents[1].indexFields, u"Invoice date", u"20261231");   // DECIMAL(7, 0)
  for (auto& [name, texts] : file.documents[2].tables.at(0).columns) {
    if (name == u"Quantity") texts.at(0) = u"12A";  // DECIMAL(15, 4)
  }

  const auto outcome = ReleaseBatch(file, dir_.path() / "logs");
  for (const auto& document : outcome.documents) {
    EXPECT_EQ(document.result, kfx::KFX_REL_ERROR);
    ASSERT_EQ(document.errors.size(), 1u);
  }
  EXPECT_TRUE(Contains(outcome.documents[0].errors[0], "Error Updating UAGYCPP: "));
  EXPECT_TRUE(Contains(outcome.documents[0].errors[0], "value too long for type character(10)"))
      << outcome.documents[0].errors[0];
  EXPECT_TRUE(Contains(outcome.documents[1].errors[0], "numeric field overflow"))
      << outcome.documents[1].errors[0];
  EXPECT_TRUE(Contains(outcome.documents[2].errors[0], "Error Updating UAG0CPP record 1 of 1: "));
  EXPECT_TRUE(Contains(outcome.documents[2].errors[0], "invalid input syntax for type numeric"));
  // The third document's header was stored before its line failed: there is
  // no transaction around a document.
  EXPECT_EQ(HeaderRows(), 1u);
}

// Each fault is one clear message, KFX_REL_ERROR and nothing written; no
// message carries the password.
TEST_F(OdbcRelease, ConnectionFaultsGiveOneMessageAndWriteNothing) {
  struct Fault {
    const char* name;
    batch::BatchFile file;
    const char* says;
  };
  const std::u16string password = services_.password();
  auto missing_table = PgBatch();
  const std::u16string empty_library = Services::UniqueLibrary();
  pg_->CreateLibrary(empty_library);
  missing_table.setup.customProperties = {{u"serverAPILibrary", empty_library}};
  auto missing_library = PgBatch();
  missing_library.setup.customProperties = {{u"serverAPILibrary", u"NO" + library_}};
  // A host name with an empty label fails to resolve without a DNS query.
  const std::u16string unknown_host = services_.PgSource() + u";Servername=mirdane-no-such-host..invalid";

  std::vector<Fault> faults;
  faults.push_back({"wrong password", PgBatch({}, u"not-" + password),
                    "password authentication failed for user \"xauser\""});
  faults.push_back({"unknown host", PgBatch(unknown_host), "mirdane-no-such-host..invalid"});
  faults.push_back({"unknown DSN", PgBatch(u"odbc:DSN=mirdane_no_such_dsn"),
                    "Data source name not found"});
  faults.push_back({"missing library", std::move(missing_library), "does not exist"});
  faults.push_back({"missing table", std::move(missing_table), "does not exist"});
  for (auto& fault : faults) {
    fault.file.documents.resize(1);
    const auto outcome = ReleaseBatch(fault.file, dir_.path() / fault.name);
    EXPECT_EQ(outcome.documents[0].result, kfx::KFX_REL_ERROR) << fault.name;
    ASSERT_EQ(outcome.documents[0].errors.size(), 1u) << fault.name;
    const std::string& message = outcome.documents[0].errors[0];
    EXPECT_TRUE(Contains(message, fault.says)) << fault.name << ": " << message;
    EXPECT_FALSE(Contains(message, Utf16ToUtf8(password))) << message;
    EXPECT_FALSE(Contains(outcome.log, Utf16ToUtf8(password))) << outcome.log;
  }
  EXPECT_EQ(HeaderRows(), 0u);
}

// Where a document's lines are sent together, a refused line or header gives
// exactly what storing row by row gives: the same rows, messages and results.
// Each batch holds a refused document, a clean one and the refused one again,
// so that refusals meet a new session and one kept from a document before.
class RefusedRows : public ::testing::Test {
 protected:
  // A system to release into: a fresh database (or library) for each run,
  // and how line k (0: the header) of a document is made to be refused.
  struct System {
    std::function<std::u16string(const std::string& name)> fresh;
    std::u16string library;
    std::function<void(batch::DocumentRecord& document, int k)> refuse;
  };

  // Releases with the lines sent together and row by row, and compares.
  void Compare(const System& system) {
    const auto& services = Services::Get();
    for (int k = 0; k <= 5; ++k) {
      SCOPED_TRACE(k == 0 ? "header refused" : "line " + std::to_string(k) + " of 5 refused");
      struct Run {
        BatchOutcome outcome;
        std::vector<std::vector<Row>> rows;
        std::size_t batches = 0;
      } runs[2];
      for (int together = 0; together < 2; ++together) {
        const std::u16string source = system.fresh(together ? "together" : "row-by-row");
        auto file = DemoBatch(source, system.library, services.user(), services.password());
        // The demo's fifth document has five lines.
        file.documents = {file.documents.at(4), file.documents.at(4), file.documents.at(4)};
        for (int d = 0; d < 3; ++d) file.documents[static_cast<std::size_t>(d)].number = d + 1;
        system.refuse(file.documents[0], k);
        system.refuse(file.documents[2], k);

        dbAx::provider::AllowRowBatches(together == 1);
        const std::size_t batches = dbAx::provider::RowBatchesStored();
        runs[together].outcome = ReleaseBatch(file, dir_.path() / "logs");
        runs[together].batches = dbAx::provider::RowBatchesStored() - batches;
        dbAx::provider::AllowRowBatches(true);
        auto session = OpenSchemaSession(source, services.user(), services.password());
        for (const auto& table : bridge::BridgeTables()) {
          runs[together].rows.push_back(BridgeRows(*session, system.library, table));
        }
      }
      const auto& [row_by_row, together] = runs;
      EXPECT_EQ(row_by_row.batches, 0u);
      EXPECT_GE(together.batches, 1u) << "the clean document's lines went together";
      ASSERT_EQ(together.outcome.documents.size(), 3u);
      for (std::size_t d = 0; d < 3; ++d) {
        EXPECT_EQ(together.outcome.documents[d].result, row_by_row.outcome.documents[d].result)
            << "document " << d + 1;
        EXPECT_EQ(together.outcome.documents[d].errors, row_by_row.outcome.documents[d].errors)
            << "document " << d + 1;
      }
      EXPECT_EQ(together.outcome.documents[0].result, kfx::KFX_REL_ERROR);
      EXPECT_EQ(together.outcome.documents[1].result, kfx::KFX_REL_SUCCESS);
      ASSERT_EQ(together.outcome.documents[0].errors.size(), 1u);
      const std::string& message = together.outcome.documents[0].errors[0];
      EXPECT_TRUE(Contains(message, k == 0 ? "Error Updating UAGYCPP: CAxRecordset::Update"
                                           : "Error Updating UAG0CPP record " + std::to_string(k) +
                                                 " of 5: CAxRecordset::Update"))
          << message;
      EXPECT_TRUE(Contains(message, "SQLSTATE ")) << "the server's words: " << message;
      EXPECT_EQ(together.rows, row_by_row.rows);
      // A refused header stores nothing of its document; a refused line
      // stores the header and the four other lines.
      ASSERT_EQ(together.rows.size(), 2u);
      EXPECT_EQ(together.rows[0].size(), k == 0 ? 1u : 3u);
      EXPECT_EQ(together.rows[1].size(), k == 0 ? 5u : 13u);
    }
  }

  TempDir dir_;
};

TEST_F(RefusedRows, OnPostgresqlTheLinesSentTogetherGiveWhatRowByRowGives) {
  const auto& services = Services::Get();
  auto pg = OpenSchemaSession(services.PgSource(), services.user(), services.password());
  System system;
  system.fresh = [&](const std::string&) {
    system.library = Services::UniqueLibrary();
    bridge::CreateBridgeTables(*pg, system.library);
    return services.PgSource();
  };
  system.refuse = [](batch::DocumentRecord& document, int k) {
    if (k == 0) {
      for (auto& [name, text] : document.indexFields) {
        if (name == u"Vendor") text = u"VENDOR-TOO-LONG";  // CHAR(10)
      }
      return;
    }
    for (auto& [name, texts] : document.tables.at(0).columns) {
      if (name == u"Quantity") texts.at(static_cast<std::size_t>(k - 1)) = u"12A";
    }
  };
  Compare(system);
}

TEST_F(RefusedRows, OnSqlitesOdbcDriverTheLinesSentTogetherGiveWhatRowByRowGives) {
  System system;
  system.library = u"MAIN";
  std::size_t made = 0;
  // SQLite takes any text into any column: triggers refuse the marked rows.
  system.fresh = [&](const std::string& name) {
    const auto source =
        Services::Get().SqliteSource(dir_.path() / (name + std::to_string(++made) + ".db"));
    auto session = OpenSchemaSession(source, u"", u"");
    bridge::CreateBridgeTables(*session, u"MAIN");
    session->Execute(u"CREATE TRIGGER REFUSEH BEFORE INSERT ON UAGYCPP WHEN "
                     u"trim(NEW.GYHBCD) = 'REFUSED' BEGIN SELECT RAISE(ABORT, 'no such vendor'); "
                     u"END");
    session->Execute(u"CREATE TRIGGER REFUSEL BEFORE INSERT ON UAG0CPP WHEN "
                     u"trim(NEW.G0FRNA) = 'REFUSED' BEGIN SELECT RAISE(ABORT, 'no such item'); "
                     u"END");
    return source;
  };
  system.refuse = [](batch::DocumentRecord& document, int k) {
    if (k == 0) {
      for (auto& [name, text] : document.indexFields) {
        if (name == u"Vendor") text = u"REFUSED";
      }
      return;
    }
    for (auto& [name, texts] : document.tables.at(0).columns) {
      if (name == u"Description") texts.at(static_cast<std::size_t>(k - 1)) = u"REFUSED";
    }
  };
  Compare(system);
}

}  // namespace
}  // namespace mirdane
