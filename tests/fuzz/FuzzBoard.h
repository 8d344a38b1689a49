// The program's ROM device over an emulated board held in memory, started
// as the program starts it, in driver or direct mode.
#pragma once

#include <memory>

#include "cli/ConsoleProgress.h"
#include "cli/ConsoleWindowHost.h"
#include "flash/DriverService.h"
#include "flash/RomDevice.h"
#include "platform/PlatformServices.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "hosts/emulated/EmulatedDirectHardware.h"
#include "hosts/emulated/EmulatedKordexDevice.h"
#include "hosts/emulated/EmulatedServiceManager.h"
#include "tests/fuzz/FuzzSupport.h"

namespace varlin::fuzz {

struct FuzzBoard {
    FuzzBoard()
    {
        kordex.driverRunning = [this] { return serviceManager.IsRunning(kDriverServiceName); };
    }

    // False when the driver does not open (it always should).
    bool Start(emulated::EmulatedBoard& emulatedBoard, bool directMode)
    {
        kordex.board = &emulatedBoard;
        hardware.board = &emulatedBoard;
        serviceManager.AddService(kDriverServiceName, system.ProgramDirectory() + kDriverFileName,
                                  ServiceState::Running);
        system.directMode = directMode;
        rom.DetectPlatform(system.PlatformVersion());
        if (!OpenDriver(rom.romInfo, platform)) return false;
        rom.StartRomAccess();
        return true;
    }

    QuietMessages messages;
    ChosenPlatformSystem system;
    emulated::EmulatedKordexDevice kordex;
    emulated::EmulatedServiceManager serviceManager;
    emulated::EmulatedDirectHardware hardware;
    NoFileDialogs fileDialogs;
    cli::ConsoleProgressBar bar;
    cli::ConsoleWindowHost windows{bar};
    NoPictures pictures;
    PlatformServices platform{messages, system, kordex, serviceManager, hardware, fileDialogs, windows, pictures};
    RomDevice rom{messages, kordex, hardware};
};

}  // namespace varlin::fuzz
