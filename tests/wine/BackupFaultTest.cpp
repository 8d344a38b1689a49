// The Windows program's backup when the copy fails half-way: the file can no
// longer be written (its handle loses write access, as when the disk or the
// share it lies on goes away), or the ROM cannot be read.  Nothing is left
// beside the chosen file, and a backup of that name from before stays as it
// was; a backup that completes replaces it.
//
//   backup_fault_wine_test BOARD_DIR WORK_DIR
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "biosfile/BackupFiles.h"
#include "flash/DriverService.h"
#include "flash/FlashMessages.h"
#include "hosts/HostSystem.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "hosts/emulated/EmulatedDirectHardware.h"
#include "hosts/emulated/EmulatedKordexDevice.h"
#include "hosts/emulated/EmulatedServiceManager.h"
#include "hosts/win32/Win32PictureLoader.h"
#include "hosts/win32/Win32WindowHost.h"
#include "tests/support/FakeFileDialog.h"
#include "tests/support/RecordingMessagePort.h"
#include "tests/wine/UiAutomation.h"
#include "tests/wine/FolderNames.h"
#include "tests/wine/WineCheck.h"

namespace varlin::wine {

namespace {

enum class Fault { None, Write, Read };

struct FaultCase {
    const char* name;
    Fault fault;
    const char* message;  // what the user is told; none when it completes
};

const FaultCase kCases[] = {
    {"the write fails half-way", Fault::Write, text::kBackupWriteFailed},
    {"the read fails half-way", Fault::Read, "Couldn't read the flash ROM at 0xFFFE0000!"},
    {"the backup completes", Fault::None, nullptr},
};

constexpr char kBoardSettingsFile[] = "board.conf";
constexpr char kRomFile[] = "rom.bin";
const Bytes kEarlierBackup = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};

// The dialog starts the copy at once; with a write fault, the file's
// handle is swapped half-way for one that may only read.
class FailingBackupDialog : public BackupDialogPort, public ProgressPort {
public:
    FailingBackupDialog(Fault fault, std::string readOnlyFile) : fault(fault), readOnlyFile(std::move(readOnlyFile)) {}

    bool RunBackupDialog(RomBackup& backup) override
    {
        running = &backup;
        return backup.CopyRomToFile(*this);
    }
    void SetStepText(const std::string&) override {}
    void SetRange(uint32_t upper) override { range = upper; }
    void SetPosition(uint32_t position) override
    {
        if (fault == Fault::Write && position == range / 2) TakeWriteAccessAway();
    }
    void SetPercentage(int32_t) override {}

    bool writeAccessTaken = false;

private:
    void TakeWriteAccessAway()
    {
        const int readOnly = _open(readOnlyFile.c_str(), _O_RDONLY | _O_BINARY);
        writeAccessTaken = readOnly >= 0 && _dup2(readOnly, _fileno(running->backupFile)) == 0;
        if (readOnly >= 0) _close(readOnly);
    }

    Fault fault;
    std::string readOnlyFile;
    RomBackup* running = nullptr;
    uint32_t range = 0;
};

// A fresh folder with a copy of the board and a backup from before.
bool PrepareFolder(const std::string& boardSource, const std::string& work, const FaultCase& test)
{
    const std::string board = work + "\\board";
    const std::string backups = work + "\\backups";
    for (const std::string& folder : {work, board, backups}) {
        for (const std::string& name : NamesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    for (const char* name : {kRomFile, "segment.bin", kBoardSettingsFile}) {
        if (!CopyFileA((boardSource + "\\" + name).c_str(), (board + "\\" + name).c_str(), FALSE)) return false;
    }
    if (test.fault == Fault::Read) {
        Bytes settings;
        ReadWholeFile(board + "\\" + kBoardSettingsFile, settings);
        const std::string fault = "fail = read 0xFFFE0000\n";
        settings.insert(settings.end(), fault.begin(), fault.end());
        WriteWholeFile(board + "\\" + kBoardSettingsFile, settings);
    }
    return WriteWholeFile(backups + "\\awdbios.bin", kEarlierBackup) &&
           WriteWholeFile(work + "\\read-only.bin", kEarlierBackup);
}

// The program's ports over the board, the driver installed and running as
// the program leaves it on the NT family.
struct Program {
    explicit Program(emulated::EmulatedBoard& board) : windows(GetModuleHandleA(nullptr))
    {
        kordex.board = &board;
        hardware.board = &board;
        kordex.driverRunning = [this] { return serviceManager.IsRunning(kDriverServiceName); };
        serviceManager.AddService(kDriverServiceName, system.ProgramDirectory() + kDriverFileName,
                                  ServiceState::Running);
    }

    test::RecordingMessagePort messages;
    HostSystem system;
    emulated::EmulatedKordexDevice kordex;
    emulated::EmulatedServiceManager serviceManager;
    emulated::EmulatedDirectHardware hardware;
    test::FakeFileDialog fileDialogs;
    win32::Win32WindowHost windows;
    win32::Win32PictureLoader pictures;
    PlatformServices platform{messages, system, kordex, serviceManager, hardware, fileDialogs, windows, pictures};
    RomDevice rom{messages, kordex, hardware};
};

void RunCase(const std::string& boardSource, const std::string& work, const FaultCase& test)
{
    WINE_EXPECT(PrepareFolder(boardSource, work, test), "%s: the work folder", test.name);
    std::string error;
    auto board = emulated::EmulatedBoard::Open(work + "\\board", error);
    WINE_EXPECT(board != nullptr, "%s: the board opens: %s", test.name, error.c_str());
    if (!board) return;
    Program program(*board);
    program.rom.DetectPlatform(program.system.PlatformVersion());
    WINE_EXPECT(OpenDriver(program.rom.romInfo, program.platform) && program.rom.StartRomAccess(),
                "%s: the ROM is reached", test.name);

    const std::string target = work + "\\backups\\awdbios.bin";
    program.fileDialogs.answer = target;
    FailingBackupDialog dialog(test.fault, work + "\\read-only.bin");
    BackupFiles files(program.rom, program.platform);
    const bool completed = files.CreateBackupFile(dialog);

    WINE_EXPECT(completed == (test.fault == Fault::None), "%s: completed %d", test.name, completed);
    WINE_EXPECT(test.fault != Fault::Write || dialog.writeAccessTaken, "%s: write access taken away", test.name);
    const std::vector<std::string> shown = program.messages.Texts();
    if (test.message == nullptr) {
        WINE_EXPECT(shown.empty(), "%s: nothing is said", test.name);
    } else {
        WINE_EXPECT(shown.size() == 1 && shown[0] == test.message, "%s: the user is told '%s'", test.name,
                    shown.empty() ? "" : shown[0].c_str());
    }
    Bytes rom;
    Bytes backup;
    ReadWholeFile(work + "\\board\\" + kRomFile, rom);
    ReadWholeFile(target, backup);
    const Bytes& expected = completed ? rom : kEarlierBackup;
    WINE_EXPECT(!rom.empty() && backup == expected, "%s: the backup file holds %s", test.name,
                completed ? "the ROM" : "the earlier backup");
    const std::vector<std::string> left = NamesIn(work + "\\backups");
    WINE_EXPECT(left.size() == 1 && left[0] == "awdbios.bin", "%s: %zu files in the folder, the first %s", test.name,
                left.size(), left.empty() ? "" : left[0].c_str());
}

}  // namespace

}  // namespace varlin::wine

int main(int argc, char** argv)
{
    using namespace varlin::wine;
    if (argc != 3) {
        std::printf("usage: backup_fault_wine_test BOARD_DIR WORK_DIR\n");
        return 2;
    }
    const std::string board = WindowsPath(argv[1]);
    const std::string work = WindowsPath(argv[2]);
    for (const FaultCase& test : kCases) RunCase(board, work, test);
    std::printf("backup faults: %d failure(s)\n", failures);
    return failures;
}
