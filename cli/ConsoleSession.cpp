#include "cli/ConsoleSession.h"

#include <cstdio>

#include "flash/DriverService.h"

namespace varlin::cli {

ConsoleSession::ConsoleSession(const std::string& programDirectory) : system(programDirectory)
{
    messages.beforeShowing = [this] { progress.EndLine(); };
    kordex.driverRunning = [this] { return serviceManager.IsRunning(kDriverServiceName); };
}

bool ConsoleSession::StartBoard(const std::string& directory, bool directMode, BoardAccess access)
{
    if (!boardLock.Acquire(directory, access)) return false;
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

    romDevice.DetectPlatform(system.PlatformVersion());
    return OpenDriver(romDevice.romInfo, platform) && romDevice.StartRomAccess();
}

bool ConsoleSession::Start(const RomTarget& target, BoardAccess access)
{
    return target.OnProgrammer() ? StartProgrammer(target, access) : StartBoard(target.board, target.direct, access);
}

std::string ConsoleSession::TargetText(const RomTarget& target) const
{
    return target.OnProgrammer() ? "the chip \"" + chipName + "\" on " + programmerName : target.board;
}

bool ConsoleSession::BuildLogoImage(const LogoJob& job)
{
    const int shownBefore = messages.shownCount;
    if (logoBuild.BuildBiosWithLogo(job)) {
        const std::string& warning = logoBuild.lastRebuild.boardWarning;
        if (!warning.empty()) std::fprintf(stderr, "warning: %s\n", warning.c_str());
        return true;
    }
    if (logoBuild.lastRebuild.logo.refused && messages.shownCount > shownBefore) {
        std::fprintf(stderr, "(--logo-format payload or stock adds a logo all the same.)\n");
    }
    // The one failure the program passes over in silence: a member chain
    // that runs off the end of the image leaves no place for a logo.
    if (messages.shownCount == shownBefore) {
        std::fprintf(stderr, "%s holds no LHA member chain that ends in free space: it has no logo slot.\n",
                     job.biosPath.c_str());
    }
    return false;
}

}  // namespace varlin::cli
