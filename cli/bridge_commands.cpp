// mirdane bridge create | show | check | audit: the bridge tables of a library.
#include <iostream>
#include <memory>
#include <string>

#include "base/text.h"
#include "bridge/bridge_audit.h"
#include "bridge/bridge_check.h"
#include "bridge/bridge_tool.h"
#include "cli/commands.h"
#include "dbax/provider/schema_session.h"
#include "dbax/sql_identifier.h"

namespace mirdane::cli {
namespace {

struct ConnectionOptions {
  std::string connect;
  std::string library;
  std::string user;
  std::string password;
};

void AddConnectionOptions(CLI::App& command, ConnectionOptions& options) {
  command
      .add_option("--connect", options.connect,
                  "the system, as the setup's server name: sqlite:DIR, odbc:CONNECTION-STRING, "
                  "or an IBM i system name (IBM i Access ODBC Driver)")
      ->required();
  command.add_option("--library", options.library, "the IBM i library that holds the tables")
      ->required();
  command.add_option("--user", options.user, "user name for the connection");
  // A password on the command line is visible to every user of the machine
  // (ps); the environment variable is the better way.
  command.add_option("--password", options.password,
                     "password for the connection (or set MIRDANE_PASSWORD)")
      ->envname("MIRDANE_PASSWORD");
}

// Runs one bridge command: checks the library name, opens the schema session,
// reports failures on standard error.
template <typename Work>
int RunBridge(const char* name, const ConnectionOptions& options, Work work) {
  const std::u16string library = Utf8ToUtf16(options.library);
  if (!dbAx::IsSqlIdentifier(library)) {
    std::cerr << "mirdane bridge " << name << ": the library name '" << options.library
              << "' is not an IBM i SQL identifier (1 to 128 letters, digits, _ $ # @, not "
                 "starting with a digit)\n";
    return kExitUsage;
  }
  try {
    auto session = dbAx::provider::OpenSchemaSession(
        Utf8ToUtf16(options.connect), Utf8ToUtf16(options.user), Utf8ToUtf16(options.password));
    return work(*session, AsciiUpper(library));
  } catch (const std::exception& error) {
    std::cerr << "mirdane bridge " << name << ": " << error.what() << "\n";
    return kExitFailed;
  }
}

}  // namespace

void AddBridgeCommands(CLI::App& app, int* exit_code) {
  auto* bridge =
      app.add_subcommand("bridge", "create, look at and check the bridge tables of a library");
  bridge->require_subcommand(1);

  auto create_options = std::make_shared<ConnectionOptions>();
  auto with_ledger = std::make_shared<bool>(false);
  auto* create = bridge->add_subcommand(
      "create",
      "create the library (when missing) and the tables UAGYCPP and UAG0CPP with every column of "
      "the field catalogue, the transaction number and the line number; existing tables are left "
      "unchanged");
  AddConnectionOptions(*create, *create_options);
  create->add_flag("--ledger", *with_ledger,
                   "also create the release ledger MIRDLEDGER, which document classes released "
                   "with the custom property releaseLedger = 1 need");
  create->callback([exit_code, create_options, with_ledger] {
    *exit_code = RunBridge("create", *create_options, [&](auto& session, const auto& library) {
      for (const auto& line : bridge::CreateBridgeTables(session, library)) {
        std::cout << line << "\n";
      }
      if (*with_ledger) std::cout << bridge::CreateLedgerTable(session, library) << "\n";
      return kExitOk;
    });
  });

  auto show_options = std::make_shared<ConnectionOptions>();
  auto show_flags = std::make_shared<bridge::ShowOptions>();
  auto* show = bridge->add_subcommand(
      "show", "print the rows of UAGYCPP and UAG0CPP, in transaction and line order");
  AddConnectionOptions(*show, *show_options);
  show->add_flag("--all-columns", show_flags->all_columns,
                 "also show the columns that hold only blanks or zeros");
  show->callback([exit_code, show_options, show_flags] {
    *exit_code = RunBridge("show", *show_options, [&](auto& session, const auto& library) {
      std::cout << bridge::ShowBridgeTables(session, library, *show_flags);
      return kExitOk;
    });
  });

  auto check_options = std::make_shared<ConnectionOptions>();
  auto ledger_required = std::make_shared<bool>(false);
  auto* check = bridge->add_subcommand(
      "check",
      "compare UAGYCPP and UAG0CPP with the field catalogue: missing columns, types or sizes "
      "that differ, the transaction and line numbers; say whether the release ledger is there "
      "and well formed; one line per difference, exit 1 when any would make a release fail");
  AddConnectionOptions(*check, *check_options);
  check->add_flag("--ledger", *ledger_required,
                  "the document class releases with the ledger (releaseLedger = 1): a missing "
                  "ledger fails the check");
  check->callback([exit_code, check_options, ledger_required] {
    *exit_code = RunBridge("check", *check_options, [&](auto& session, const auto& library) {
      bridge::CheckOptions options;
      options.ledger_required = *ledger_required;
      options.connect = Utf8ToUtf16(check_options->connect);
      const auto report = bridge::CheckLibrary(session, library, options);
      for (const auto& line : report.Lines()) std::cout << line << "\n";
      return report.failing == 0 ? kExitOk : kExitFailed;
    });
  });

  auto audit_options = std::make_shared<ConnectionOptions>();
  auto* audit = bridge->add_subcommand(
      "audit",
      "list transactions left half-written (a release stopped mid-document): headers without "
      "lines, lines without a header, gaps or repeats in line numbers, and releases the release "
      "ledger holds as started, with their transaction numbers; changes nothing; exit 1 when it "
      "finds any");
  AddConnectionOptions(*audit, *audit_options);
  audit->callback([exit_code, audit_options] {
    *exit_code = RunBridge("audit", *audit_options, [](auto& session, const auto& library) {
      const auto findings = bridge::AuditBridgeTables(session, library);
      for (const auto& finding : findings) {
        std::cout << "transaction " << Utf16ToUtf8(finding.transaction) << ": " << finding.text << "\n";
      }
      const std::string name = Utf16ToUtf8(library);
      if (findings.empty()) {
        std::cout << name << ": no half-written transactions\n";
        return kExitOk;
      }
      std::cout << name << ": " << findings.size()
                << (findings.size() == 1 ? " finding" : " findings") << "\n";
      return kExitFailed;
    });
  });
}

}  // namespace mirdane::cli
