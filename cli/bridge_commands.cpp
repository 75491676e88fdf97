// mirdane bridge create | show: the bridge tables of a library.
#include <iostream>
#include <memory>
#include <string>

#include "base/text.h"
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
                  "the system, as the setup's server name: sqlite:DIR or odbc:CONNECTION-STRING")
      ->required();
  command.add_option("--library", options.library, "the IBM i library that holds the tables")
      ->required();
  command.add_option("--user", options.user, "user name for the connection");
  command.add_option("--password", options.password, "password for the connection");
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
  auto* bridge = app.add_subcommand("bridge", "create and look at the bridge tables of a library");
  bridge->require_subcommand(1);

  auto create_options = std::make_shared<ConnectionOptions>();
  auto* create = bridge->add_subcommand(
      "create",
      "create the library (when missing) and the tables UAGYCPP and UAG0CPP with every column of "
      "the field catalogue, the transaction number and the line number; existing tables are left "
      "unchanged");
  AddConnectionOptions(*create, *create_options);
  create->callback([exit_code, create_options] {
    *exit_code = RunBridge("create", *create_options, [](auto& session, const auto& library) {
      for (const auto& line : bridge::CreateBridgeTables(session, library)) {
        std::cout << line << "\n";
      }
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
}

}  // namespace mirdane::cli
