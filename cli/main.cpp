// varlin: the command-line tool.  It runs the same code as the Windows
// program, on files and on emulated boards.
#include <cstdio>

#include "VarlinVersion.h"
#include "cli/Commands.h"
#include "cli/StopCleanup.h"

namespace {

constexpr char kDescription[] =
    "VARLIN replaces the boot logo of Award BIOS images, backs up flash ROMs\n"
    "and programs BIOS files into them.";

}  // namespace

// CLI11 reports a wrong command line by exception, caught below; what else
// could escape is running out of memory, where ending the process is right.
int main(int argc, char** argv)  // NOLINT(bugprone-exception-escape)
{
    using namespace varlin::cli;
    InstallStopCleanup();

    CLI::App app(kDescription, "varlin");
    app.require_subcommand(1);
    app.set_version_flag("--version", "varlin " VARLIN_VERSION);
    app.failure_message(CLI::FailureMessage::help);

    CommandAction action;
    AddPictureCommands(app, action);
    AddBuildCommand(app, action);
    AddInspectCommand(app, action);
    AddExtractCommand(app, action);
    AddPreviewCommand(app, action);
    AddPackCommand(app, action);
    AddBoardCommands(app, action);
    AddFlashCommand(app, action);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kExitUsage;
    }
    return action ? action() : kExitUsage;
}
