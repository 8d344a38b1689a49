#include "app/WizardApp.h"

#include <cstdio>
#include <cstdlib>

#include "flash/RomDevice.h"

namespace varlin {

CWizardApp::CWizardApp(PlatformServices& platform, RomDevice& romDevice, BiosImage& biosImage)
    : platform(platform),
      romDevice(romDevice),
      biosImage(biosImage),
      advancedPage(*this),
      previewDialog(*this),
      advancedModeDialog(*this),
      startPage(*this),
      picturePage(*this),
      acceptPage(*this),
      biosFilePath(platform.system.ProgramDirectory() + kBoardBiosCopyName),
      pictureFilePath(platform.system.ProgramDirectory() + kDefaultPictureName)
{
}

void CWizardApp::QuitProgram(int exitCode)
{
    SystemPort& system = platform.system;
    const std::string directory = system.ProgramDirectory();
    system.ChangeDirectory(directory);
    // By full name, so that a failed change of directory can never make
    // these deletions reach files of the same name elsewhere.
    std::remove((directory + kBoardBiosCopyName).c_str());
    std::remove((directory + kWorkImageFileName).c_str());
    system.EndProcess(exitCode);
    std::abort();  // a port whose EndProcess returned: the program must not go on
}

void CWizardApp::RebootSystem()
{
    // The NT family only restarts for a process holding the shutdown
    // privilege, and then without waiting for other programs to agree.
    const bool ntFamily = romDevice.romInfo.platformMode == kPlatformNt;
    if (ntFamily) platform.system.EnableShutdownPrivilege();
    platform.system.RestartWindows(ntFamily);
}

}  // namespace varlin
