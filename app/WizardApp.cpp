#include "app/WizardApp.h"

#include <cstdio>
#include <cstdlib>

#include "biosfile/BoardBiosFile.h"
#include "flash/DriverService.h"
#include "flash/RomDevice.h"

namespace varlin {

CWizardApp::CWizardApp(PlatformServices& platform, RomDevice& romDevice, BiosImage& biosImage)
    : platform(platform),
      romDevice(romDevice),
      biosImage(biosImage),
      logoBuild(platform.messages, platform.pictures),
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

bool CWizardApp::InitInstance()
{
    const std::string name = platform.system.ApplicationName();
    if (platform.system.MarkRunningInstance(name) == InstanceMark::AlreadyExists) {
        ActivateRunningInstance();
        return false;
    }
    romDevice.DetectPlatform(platform.system.PlatformVersion());
    if (!OpenDriver(romDevice.romInfo, platform)) {
        driverUnavailable = true;
        return false;
    }
    // The segment, the identification and the SMI level query; their
    // outcome shows only in the later checks.
    romDevice.StartRomAccess();
    biosFileFound = FindBoardBiosFile(romDevice, platform) != -1;

    // The property that lets a second instance find this one moves with
    // the main window.
    platform.windows.SetMainWindow(startPage);
    platform.windows.MarkWindow(startPage, name);
    startPage.DoModal();
    return false;
}

void CWizardApp::ActivateRunningInstance() { platform.windows.ActivateMarkedWindow(platform.system.ApplicationName()); }

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
