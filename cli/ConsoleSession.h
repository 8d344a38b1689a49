// What one run of the tool works with: the application object and the ROM
// device over terminal-backed and emulated ports.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "app/WizardApp.h"
#include "cli/BoardLock.h"
#include "cli/ConsoleMessages.h"
#include "cli/ConsoleDialogs.h"
#include "cli/ConsoleWindowHost.h"
#include "cli/RomTarget.h"
#include "biosfile/BiosImage.h"
#include "flash/RomDevice.h"
#include "logo/LogoBuild.h"
#include "logo/PictureChecker.h"
#include "platform/FlashProgrammerPort.h"
#include "platform/PlatformServices.h"
#include "hosts/HostSystem.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "hosts/emulated/EmulatedDirectHardware.h"
#include "hosts/emulated/EmulatedKordexDevice.h"
#include "hosts/emulated/EmulatedServiceManager.h"
#include "hosts/native/NativePictureLoader.h"

namespace varlin::cli {

// The host system, except for two choices of the run: the tool reaches a
// board as the NT family does (through the driver) or, for direct mode, as
// Windows 9x does; and a run may keep the program's working files in a
// private directory instead of beside the executable, which may lie in a
// folder the user cannot write and is shared by every run.
class ConsoleSystem : public HostSystem {
public:
    explicit ConsoleSystem(std::string directory = {}) : programDirectory(std::move(directory)) {}

    std::string ProgramDirectory() override
    {
        return programDirectory.empty() ? HostSystem::ProgramDirectory() : programDirectory;
    }
    uint32_t PlatformVersion() override { return directMode ? kWindows98Version : HostSystem::PlatformVersion(); }

    static constexpr uint32_t kWindows98Version = 0xC0000A04;  // 9x family, version 4.10
    bool directMode = false;
    std::string programDirectory;  // empty: the executable's folder
};

struct ConsoleSession {
    // The program directory names the working files and the board's BIOS
    // copy; empty is the executable's folder.
    explicit ConsoleSession(const std::string& programDirectory = {});

    // Puts the board in `directory` behind the ports, with the driver
    // service installed and running, and brings up ROM access as the program
    // does at start-up; the board stays locked for `access` until the
    // session ends.  False after printing why.
    bool StartBoard(const std::string& directory, bool directMode, BoardAccess access);

    // Reaches `target`: an emulated board as StartBoard does, or a real
    // board's chip through its programmer (StartProgrammer).
    bool Start(const RomTarget& target, BoardAccess access);

    // Puts the chip that target's programmer finds behind the ROM device
    // and identifies it from the BIOS segment's records, which must be there
    // and describe a ROM of the chip's size; the programmer stays locked
    // for `access` until the session ends.  False after printing why.
    bool StartProgrammer(const RomTarget& target, BoardAccess access);

    // What a command reached, for its last line: the board's folder, or the
    // chip and its programmer.
    std::string TargetText(const RomTarget& target) const;

    // Builds the logo image as the program does; false after saying why,
    // also where the program itself says nothing.
    bool BuildLogoImage(const LogoJob& job);

    // The work image of a build: "tmp.bin" in the program directory.
    std::string WorkImagePath() { return system.ProgramDirectory() + kWorkImageFileName; }

    ConsoleProgressBar progress;
    ConsoleMessagePort messages;
    ConsoleSystem system;
    emulated::EmulatedKordexDevice kordex;
    emulated::EmulatedServiceManager serviceManager;
    emulated::EmulatedDirectHardware hardware;
    ConsoleFileDialog fileDialogs;
    ConsoleWindowHost windows{progress};
    NativePictureLoader pictures;
    PlatformServices platform{messages, system, kordex, serviceManager, hardware, fileDialogs, windows, pictures};
    RomDevice romDevice{messages, kordex, hardware};
    BiosImage biosImage{romDevice, messages};
    CWizardApp app{platform, romDevice, biosImage};
    CPictureChecker checker{messages};
    LogoBuild logoBuild{messages, pictures};
    std::unique_ptr<emulated::EmulatedBoard> board;
    // A real board's chip, and its name and programmer's as flashrom says them.
    std::unique_ptr<FlashProgrammerPort> programmer;
    std::string chipName;
    std::string programmerName;
    BoardLock boardLock;
};

}  // namespace varlin::cli
