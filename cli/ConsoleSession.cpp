#include "cli/ConsoleSession.h"

#include <cstdio>

#include "flash/DriverService.h"

namespace varlin::cli {

ConsoleSession::ConsoleSession(const std::string& programDirectory) : system(programDirectory)
{
    messages.beforeShowing = [this] { progress.EndLine(); };
    kordex.driverRunning = [this] { return serviceManager.IsRunning(kDriverServiceName); };
}

bool ConsoleSession::StartBoard(const std::string& directory, bool directMode)
{
    std::string error;
    board = emulated::EmulatedBoard::Open(directory, error);
    if (!board) {
        std::fprintf(stderr, "Not a board: %s\n", error.c_str());
        return false;
    }
    kordex.board = board.get();
    hardware.board = board.get();
    // The board comes with the driver installed, as the program leaves it.
    serviceManager.AddService(kDriverServiceName, system.ProgramDirectory() + kDriverFileName, ServiceState::Running);
    system.directMode = directMode;

    romDevice.DetectPlatform();
    return OpenDriver(romDevice.romInfo, platform) && romDevice.StartRomAccess();
}

}  // namespace varlin::cli
