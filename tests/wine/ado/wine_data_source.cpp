#include "tests/wine/ado/wine_data_source.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/text.h"
#include "bridge/bridge_tool.h"

namespace mirdane::test {
namespace {

std::unique_ptr<dbAx::provider::SchemaSession> Open(const std::u16string& name) {
  return dbAx::provider::OpenSchemaSession(u"odbc:DSN=" + name, u"", u"");
}

}  // namespace

std::u16string WineDataSourceName() {
  const char* name = std::getenv("MIRDANE_ADO_DSN");
  EXPECT_TRUE(name && *name)
      << "MIRDANE_ADO_DSN names no ODBC data source: run tests/wine/ado/run.sh";
  return Utf8ToUtf16(name ? name : "");
}

void ResetTables(const std::u16string& data_source_name) {
  const auto session = Open(data_source_name);
  for (const char16_t* table : {u"UAGYCPP", u"UAG0CPP", u"T"}) {
    session->Execute(std::u16string(u"DROP TABLE IF EXISTS MAIN.") + table);
  }
  bridge::CreateBridgeTables(*session, u"MAIN");
  session->Execute(u"CREATE TABLE MAIN.T (C CHAR(10) NOT NULL DEFAULT ' ', "
                   u"D DECIMAL(7, 2) NOT NULL DEFAULT 0, I INTEGER NOT NULL DEFAULT 0)");
  // SQLite's driver that cannot read the data source's Database= (no
  // libodbcinst of this architecture) opens a new empty database for every
  // connection: that must show here, not as an ADO failure later.
  for (const char16_t* table : {u"UAGYCPP", u"UAG0CPP", u"T"}) {
    ASSERT_TRUE(Open(data_source_name)->TableExists(u"MAIN", table))
        << "a second connection to " << Utf16ToUtf8(data_source_name) << " does not find "
        << Utf16ToUtf8(table) << ": the data source does not keep its database between "
        << "connections (is libodbcinst.so.2 of this architecture installed?)";
  }
}

std::size_t CountRows(const std::u16string& data_source_name, const std::u16string& table) {
  const auto result = Open(data_source_name)->Query(u"SELECT COUNT(*) FROM MAIN." + table);
  if (result.rows.size() != 1 || result.rows[0].empty() || !result.rows[0][0]) return SIZE_MAX;
  return std::stoul(Utf16ToUtf8(*result.rows[0][0]));
}

}  // namespace mirdane::test
