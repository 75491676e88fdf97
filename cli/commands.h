// The subcommands of the `mirdane` program. Each Add... function registers
// its subcommands and sets `*exit_code` when one of them runs.
#pragma once

#include <CLI/CLI.hpp>

namespace mirdane::cli {

// Exit codes shared by all subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the work was done, and part of it failed
inline constexpr int kExitUsage = 2;   // arguments or input files are unusable

void AddBridgeCommands(CLI::App& app, int* exit_code);
void AddReleaseCommand(CLI::App& app, int* exit_code);
void AddSetupCommands(CLI::App& app, int* exit_code);

}  // namespace mirdane::cli
