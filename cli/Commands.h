// The tool's commands.  Each adds its subcommand to the parser; when that
// subcommand is chosen, its action is left in `action` and main runs it.
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace varlin::cli {

// Exit statuses of every command.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;  // refused or failed; the reason has been printed
constexpr int kExitUsage = 2;    // the command line was wrong

using CommandAction = std::function<int()>;

void AddPictureCommands(CLI::App& app, CommandAction& action);
void AddPackCommand(CLI::App& app, CommandAction& action);
void AddBuildCommand(CLI::App& app, CommandAction& action);
void AddInspectCommand(CLI::App& app, CommandAction& action);
void AddExtractCommand(CLI::App& app, CommandAction& action);
void AddPreviewCommand(CLI::App& app, CommandAction& action);
void AddBoardCommands(CLI::App& app, CommandAction& action);
void AddFlashCommand(CLI::App& app, CommandAction& action);

}  // namespace varlin::cli
