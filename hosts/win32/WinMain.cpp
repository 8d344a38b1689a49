// The Windows program: the ports, the ROM device, the BIOS file being
// programmed and the application object, made in this order and kept for
// the whole process, then start-up.
//
// `varlin.exe --board DIR` puts the emulated board in DIR (rom.bin,
// segment.bin, board.conf) behind the driver's requests instead of the
// Kordex device, with the driver service present and running; everything
// else runs as on a real mainboard.
#include <windows.h>
#include <ole2.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/WizardApp.h"
#include "biosfile/BiosImage.h"
#include "flash/DriverService.h"
#include "flash/RomDevice.h"
#include "platform/PlatformServices.h"
#include "hosts/HostSystem.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "hosts/emulated/EmulatedDirectHardware.h"
#include "hosts/emulated/EmulatedKordexDevice.h"
#include "hosts/emulated/EmulatedServiceManager.h"
#include "hosts/win32/Win32DirectHardware.h"
#include "hosts/win32/Win32FileDialogs.h"
#include "hosts/win32/Win32KordexDevice.h"
#include "hosts/win32/Win32MessagePort.h"
#include "hosts/win32/Win32PictureLoader.h"
#include "hosts/win32/Win32ServiceManager.h"
#include "hosts/win32/Win32WindowHost.h"

namespace varlin::win32 {

namespace {

constexpr int kExitBadUsage = 2;
constexpr uint32_t kWindows9xBit = 0x80000000;  // of the platform version word

constexpr char kUsage[] =
    "Usage: varlin.exe [--board DIR]\n\n"
    "Changes the boot logo of a BIOS, backs up the mainboard's flash ROM and\n"
    "programs a BIOS file into it.\n\n"
    "--board DIR   work on the emulated board in DIR (rom.bin, segment.bin,\n"
    "              board.conf) instead of the mainboard\n"
    "--help        show this text";

struct Arguments {
    std::string boardDirectory;  // empty: the real mainboard
    bool help = false;
    bool valid = true;
};

Arguments ReadArguments(int count, char** values)
{
    Arguments arguments;
    for (int i = 1; i < count; ++i) {
        const std::string argument = values[i];
        if (argument == "--board" && i + 1 < count) {
            arguments.boardDirectory = values[++i];
        } else if (argument == "--help" || argument == "/?") {
            arguments.help = true;
        } else {
            arguments.valid = false;
        }
    }
    return arguments;
}

// The hardware the program reaches: the mainboard through the driver (or
// directly on Windows 9x), or an emulated board.
struct Hardware {
    std::unique_ptr<emulated::EmulatedBoard> board;
    std::unique_ptr<KordexDevicePort> kordex;
    std::unique_ptr<ServiceManagerPort> serviceManager;
    std::unique_ptr<DirectHardwarePort> direct;
};

Hardware RealHardware()
{
    Hardware hardware;
    hardware.kordex = std::make_unique<Win32KordexDevice>();
    hardware.serviceManager = std::make_unique<Win32ServiceManager>();
    hardware.direct = std::make_unique<Win32DirectHardware>();
    return hardware;
}

// The board comes as the program leaves a machine it has run on: on the NT
// family with the driver installed and running; Windows 9x has neither
// driver nor service, the program reaches the board itself.
bool EmulatedHardware(const std::string& directory, const std::string& driverPath, bool ntFamily, Hardware& hardware,
                      std::string& error)
{
    hardware.board = emulated::EmulatedBoard::Open(directory, error);
    if (!hardware.board) return false;
    auto services = std::make_unique<emulated::EmulatedServiceManager>();
    auto device = std::make_unique<emulated::EmulatedKordexDevice>();
    if (ntFamily) {
        services->AddService(kDriverServiceName, driverPath, ServiceState::Running);
        device->board = hardware.board.get();
    }
    device->driverRunning = [manager = services.get()] { return manager->IsRunning(kDriverServiceName); };
    auto direct = std::make_unique<emulated::EmulatedDirectHardware>();
    direct->board = hardware.board.get();
    hardware.kordex = std::move(device);
    hardware.serviceManager = std::move(services);
    hardware.direct = std::move(direct);
    return true;
}

struct Program {
    Program(HINSTANCE instance, Hardware& hardware)
        : messages(system.ApplicationName()), windows(instance), platform{messages,         system,
                                                                          *hardware.kordex, *hardware.serviceManager,
                                                                          *hardware.direct, fileDialogs,
                                                                          windows,          pictures}
    {
    }

    HostSystem system;
    Win32MessagePort messages;
    Win32FileDialogs fileDialogs;
    Win32WindowHost windows;
    Win32PictureLoader pictures;
    PlatformServices platform;
    RomDevice romDevice{platform.messages, platform.kordex, platform.hardware};
    BiosImage biosImage{romDevice, messages};
    CWizardApp app{platform, romDevice, biosImage};
};

int Run(HINSTANCE instance)
{
    HostSystem system;
    const Arguments arguments = ReadArguments(__argc, __argv);
    if (arguments.help || !arguments.valid) {
        MessageBoxA(nullptr, kUsage, system.ApplicationName().c_str(), MB_OK | MB_ICONINFORMATION);
        return arguments.valid ? EXIT_SUCCESS : kExitBadUsage;
    }

    Hardware hardware = RealHardware();
    if (!arguments.boardDirectory.empty()) {
        std::string error;
        const bool ntFamily = (system.PlatformVersion() & kWindows9xBit) == 0;
        if (!EmulatedHardware(arguments.boardDirectory, system.ProgramDirectory() + kDriverFileName, ntFamily, hardware,
                              error)) {
            MessageBoxA(nullptr, ("Not a board: " + error).c_str(), system.ApplicationName().c_str(),
                        MB_OK | MB_ICONEXCLAMATION);
            return EXIT_FAILURE;
        }
    }

    // The picture loader is the system's, which needs OLE; without it the
    // program ends with no message.
    if (FAILED(OleInitialize(nullptr))) return EXIT_FAILURE;

    // The program ends through QuitProgram or a restart, or here when
    // start-up gives up: in failure when the driver could not be had.
    Program program(instance, hardware);
    program.app.InitInstance();
    OleUninitialize();
    return program.app.driverUnavailable ? EXIT_FAILURE : EXIT_SUCCESS;
}

}  // namespace

}  // namespace varlin::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return varlin::win32::Run(instance); }
