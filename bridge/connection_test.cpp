#include "bridge/connection_test.h"

#include <exception>

#include "base/text.h"
#include "bridge/bridge_check.h"
#include "dbax/provider/schema_session.h"
#include "dbax/provider/secret_scrubber.h"
#include "dbax/sql_identifier.h"

namespace mirdane::bridge {
namespace {

using Outcome = ConnectionTestResult::Outcome;

std::u16string Joined(const std::vector<std::string>& lines) {
  std::u16string text;
  for (const auto& line : lines) {
    if (!text.empty()) text += u'\n';
    text += Utf8ToUtf16(line);
  }
  return text;
}

ConnectionTestResult Run(const ConnectionTestSettings& settings) {
  ConnectionTestResult result;
  const std::u16string library = AsciiUpper(settings.library);
  if (!dbAx::IsSqlIdentifier(settings.library)) {
    // The same words as the command line's.
    result.instruction = u"The library name is not an IBM i SQL identifier";
    result.details = u"The library name '" + settings.library +
                     u"' is not an IBM i SQL identifier (1 to 128 letters, digits, _ $ # @, not "
                     u"starting with a digit).";
    return result;
  }
  std::unique_ptr<dbAx::provider::SchemaSession> session;
  try {
    session = dbAx::provider::OpenSchemaSession(settings.server, settings.userName,
                                                settings.password);
  } catch (const std::exception& error) {
    result.instruction = u"The connection could not be opened";
    result.details = Utf8ToUtf16(error.what());
    return result;
  }
  CheckOptions options;
  // The ledger is this document class's business only when it is switched on.
  options.check_ledger = settings.releaseLedger;
  options.ledger_required = settings.releaseLedger;
  options.connect = settings.server;
  CheckReport report;
  try {
    report = CheckLibrary(*session, library, options);
  } catch (const std::exception& error) {
    result.outcome = Outcome::kFails;
    result.instruction = u"The connection opened, but the bridge tables could not be checked";
    result.details = Utf8ToUtf16(error.what());
    return result;
  }
  std::vector<std::string> lines = report.Lines();
  lines.insert(lines.begin(),
               "The connection to " + Utf16ToUtf8(dbAx::provider::MaskPasswords(settings.server)) +
                   " opened.");
  result.details = Joined(lines);
  if (report.failing > 0) {
    result.outcome = Outcome::kFails;
    result.instruction = u"The connection opened, but a release would fail";
  } else if (report.differences > 0) {
    result.outcome = Outcome::kWarnings;
    result.instruction = u"The connection works, with differences a release survives";
  } else {
    result.outcome = Outcome::kWorks;
    result.instruction = u"The connection works";
  }
  return result;
}

}  // namespace

ConnectionTestResult TestConnection(const ConnectionTestSettings& settings) {
  ConnectionTestResult result;
  try {
    result = Run(settings);
  } catch (const std::exception& error) {
    result = {Outcome::kNoConnection, u"The connection could not be tested",
              Utf8ToUtf16(error.what())};
  } catch (...) {
    result = {Outcome::kNoConnection, u"The connection could not be tested", u""};
  }
  // Drivers may echo what they were given; the password never shows.
  dbAx::provider::SecretScrubber scrubber;
  scrubber.AddSecret(settings.password);
  scrubber.AddSecretsOf(settings.server);
  result.details = scrubber.Scrub(result.details);
  return result;
}

}  // namespace mirdane::bridge
