// mirdane: the export connector's command-line program. It runs the same code
// that the capture host loads, against batch files instead of the host.
#include <iostream>

#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
  using namespace mirdane::cli;
  CLI::App app{
      "mirdane: exports captured documents into Infor XA as bridge transactions (one UAGYCPP "
      "header row and its UAG0CPP charge line rows in an IBM i library).\n"
      "Connections name a system as the setup does: sqlite:DIR for the embedded IBM i stand-in "
      "(one SQLite file per library in DIR), odbc:CONNECTION-STRING for ODBC (user and password "
      "are added as UID and PWD), any other name for that IBM i system through IBM's IBM i "
      "Access ODBC Driver.",
      "mirdane"};
  app.require_subcommand(1);
  int exit_code = kExitOk;
  AddReleaseCommand(app, &exit_code);
  AddBridgeCommands(app, &exit_code);
  AddSetupCommands(app, &exit_code);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitUsage;
  }
  return exit_code;
}
