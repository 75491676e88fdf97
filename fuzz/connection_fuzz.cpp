// Connection strings and data sources on any text: routing, the ODBC string
// built from a route, the source query taken apart, and the scrubbing of
// passwords out of messages.
#include <cstdint>
#include <string>

#include "base/text.h"
#include "dbax/provider/odbc/connection_string.h"
#include "dbax/provider/odbc/insert_source.h"
#include "dbax/provider/routing.h"
#include "dbax/provider/secret_scrubber.h"
#include "dbax/provider/sqlite/source_target.h"
#include "dbax/sql_identifier.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dbAx::provider;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // The text up to the first NUL is the connection string; the rest, when
  // there is any, the password.
  const auto nul = bytes.find('\0');
  const std::u16string text = mirdane::Utf8ToUtf16(bytes.substr(0, nul));
  const std::u16string password =
      nul == std::string::npos ? u"" : mirdane::Utf8ToUtf16(bytes.substr(nul + 1));

  const std::u16string source = DataSourceOf(text);
  const Route route = RouteOf(source);
  const auto built = odbc::BuildConnectionString(route, u"USER", password);
  if (built.valid) (void)odbc::WithoutPasswords(built.text);
  (void)odbc::WithoutPasswords(text);

  SecretScrubber scrubber;
  scrubber.AddSecret(password);
  scrubber.AddSecretsOf(text);
  const std::u16string scrubbed = scrubber.Scrub(u"Connecting to " + text + u" failed for " + password);
  // A password long enough to be told from ordinary text never survives.
  // (A password of asterisks is left out: the mask itself is made of them.)
  if (mirdane::CodePointCount(password) >= kShortestScrubbedSecret &&
      password.find(u'*') == std::u16string::npos) {
    FUZZ_CHECK(scrubber.Scrub(password).find(password) == std::u16string::npos);
  }
  (void)scrubbed;

  const auto insert = odbc::ParseInsertSource(text);
  if (insert.valid) {
    FUZZ_CHECK(dbAx::IsSqlIdentifier(insert.library) && dbAx::IsSqlIdentifier(insert.table));
    (void)insert.DescribeQuery(dbAx::IdentifierCase::Upper);
  }
  const auto target = sqlite::SourceTargetOf(text);
  if (target.found) FUZZ_CHECK(target.begin <= target.end && target.end <= text.size());
  return 0;
}
