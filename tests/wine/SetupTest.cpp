// The setup program as a user meets it, silent, in the test prefix: it
// installs the program folder into a folder of our choosing with its
// shortcut and removal entry; the installed program starts on an emulated
// board and finds the board's BIOS in its "bios" folder; a second setup
// upgrades that folder in place; the removal has the uninstall library
// delete the driver service and takes away what the setup put there, and
// nothing of the user's.
//
//   setup_wine_test SETUP_EXE PROGRAM_FOLDER SAMPLES_DIR WORK_DIR VERSION
//
// PROGRAM_FOLDER is the folder the setup was built from: the installed
// files must equal its files.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/wine/KordexService.h"
#include "tests/wine/UiAutomation.h"
#include "tests/wine/WineCheck.h"

namespace varlin::wine {

namespace {

namespace fs = std::filesystem;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VARLIN";
constexpr char kRemovalProgram[] = "uninst.exe";
constexpr int kStartNext = 1001;
constexpr int kStartExit = 1003;

struct Setup {
    fs::path setupProgram;
    fs::path programFolder;  // what the setup installs
    fs::path samples;
    fs::path work;
    std::string version;
    fs::path installed;  // where the tests install it: a folder name with a space
};

std::vector<char> Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

fs::path ShellFolder(int folder)
{
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, folder, nullptr, 0, path)) ? fs::path(path) : fs::path();
}

fs::path Shortcut() { return ShellFolder(CSIDL_COMMON_PROGRAMS) / "VARLIN.lnk"; }

// A value of the removal entry; empty when there is none.
std::string EntryValue(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "";
    const LONG read = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? value : "";
}

bool EntryExists()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// "MAJOR.MINOR.PATCH" of a program's version resource.
std::string FileVersion(const fs::path& program)
{
    const std::string name = program.string();
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeA(name.c_str(), &ignored));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (record.empty() || !GetFileVersionInfoA(name.c_str(), 0, static_cast<DWORD>(record.size()), record.data()) ||
        !VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &size) || fixed == nullptr) {
        return "";
    }
    char text[32] = {};
    std::snprintf(text, sizeof text, "%lu.%lu.%lu", fixed->dwFileVersionMS >> 16, fixed->dwFileVersionMS & 0xFFFF,
                  fixed->dwFileVersionLS >> 16);
    return text;
}

bool RunToEnd(const std::string& commandLine, const fs::path& directory, const char* what)
{
    ProgramRun run;
    DWORD code = 1;
    const bool started = run.Start(commandLine, directory.string());
    const bool ended = started && run.WaitForExit(code);
    WINE_EXPECT(ended && code == 0, "%s ends with 0 (started %d, ended %d, code %lu)", what, started, ended, code);
    return ended && code == 0;
}

// A silent setup; into `folder` when one is given (NSIS takes /D= last and
// unquoted).
bool Install(const Setup& setup, const fs::path& folder, const char* what)
{
    std::string line = "\"" + setup.setupProgram.string() + "\" /S";
    if (!folder.empty()) line += " /D=" + folder.string();
    return RunToEnd(line, setup.work, what);
}

// Every file of the program folder, equal to the one built; the empty
// "bios" folder, the removal program, the shortcut and the removal entry,
// which names the release's version, as the program's version resource does.
void ExpectInstalled(const Setup& setup, const char* when)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(setup.programFolder)) {
        if (!entry.is_regular_file()) continue;
        const fs::path installed = setup.installed / entry.path().filename();
        WINE_EXPECT(fs::exists(installed) && Contents(installed) == Contents(entry.path()), "%s: %s is installed", when,
                    entry.path().filename().string().c_str());
    }
    WINE_EXPECT(fs::is_directory(setup.installed / "bios"), "%s: the bios folder is there", when);
    WINE_EXPECT(fs::exists(setup.installed / kRemovalProgram), "%s: the removal program is there", when);
    WINE_EXPECT(fs::exists(Shortcut()), "%s: the shortcut %s is there", when, Shortcut().string().c_str());
    const std::string removal = "\"" + (setup.installed / kRemovalProgram).string() + "\"";
    WINE_EXPECT(EntryValue("UninstallString") == removal, "%s: the removal entry runs %s, not '%s'", when,
                removal.c_str(), EntryValue("UninstallString").c_str());
    WINE_EXPECT(EntryValue("DisplayVersion") == setup.version, "%s: the entry's version is %s, not '%s'", when,
                setup.version.c_str(), EntryValue("DisplayVersion").c_str());
    const std::string programVersion = FileVersion(setup.installed / "varlin.exe");
    WINE_EXPECT(programVersion == setup.version, "%s: the program's version resource says '%s'", when,
                programVersion.c_str());
}

// The installed program, on a copy of a sample board whose BIOS the user
// put in the "bios" folder: the start page with the Easy path open, and Exit.
void ExpectProgramRuns(const Setup& setup)
{
    std::error_code error;
    fs::copy(setup.samples / "boards" / "board-256k", setup.work / "board", fs::copy_options::recursive, error);
    fs::copy_file(setup.work / "board" / "rom.bin", setup.installed / "bios" / "board.bin", error);
    WINE_EXPECT(!error, "the board and its BIOS can be copied");
    ProgramRun run;
    const std::string line =
        "\"" + (setup.installed / "varlin.exe").string() + "\" --board \"" + (setup.work / "board").string() + "\"";
    WINE_EXPECT(run.Start(line, setup.installed.string()), "the installed program starts (%lu)", GetLastError());
    HWND start = WaitForWindow(run.Id(), "VARLIN");
    WINE_EXPECT(start != nullptr, "the installed program shows its start page");
    if (start == nullptr) return;
    WINE_EXPECT(ItemEnabled(start, kStartNext), "it found the board's BIOS in its bios folder: Next >> is enabled");
    Click(start, kStartExit);
    DWORD code = 1;
    WINE_EXPECT(run.WaitForExit(code) && code == 0, "Exit ends the program with 0 (%lu)", code);
}

// A backup the user saved in the program's folder, and working files the
// program's builds leave in its current folder, which is the program's
// when it is started from the shortcut.
void LeaveFilesBehind(const Setup& setup)
{
    Write(setup.installed / "awdbios.bin", "the user's backup");
    Write(setup.installed / "tmp.jpg", "a working file");
    Write(setup.installed / "chack_pallete", "a working file");
}

// The removal program, silent: it copies itself away and runs from there,
// so the test waits for what it does.
void Remove(const Setup& setup)
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    WINE_EXPECT(manager != nullptr && InstallStoppedService(manager), "the Kordex service is created (%lu)",
                GetLastError());
    if (manager == nullptr) return;
    LeaveFilesBehind(setup);

    const fs::path removal = setup.installed / kRemovalProgram;
    RunToEnd("\"" + removal.string() + "\" /S", setup.work, "the removal program");
    WINE_EXPECT(WaitUntil([&] { return !fs::exists(removal) && !EntryExists(); }),
                "the removal program and the removal entry go");
    WINE_EXPECT(!ServiceExists(manager), "the uninstall library deleted the Kordex service");
    CloseServiceHandle(manager);

    for (const fs::directory_entry& entry : fs::directory_iterator(setup.programFolder)) {
        const fs::path installed = setup.installed / entry.path().filename();
        WINE_EXPECT(entry.is_directory() || !fs::exists(installed), "%s is removed",
                    entry.path().filename().string().c_str());
    }
    for (const char* working : {"tmp.jpg", "chack_pallete"}) {
        WINE_EXPECT(!fs::exists(setup.installed / working), "the working file %s is removed", working);
    }
    WINE_EXPECT(!fs::exists(Shortcut()), "the shortcut is removed");
    WINE_EXPECT(fs::exists(setup.installed / "bios" / "board.bin"), "the user's BIOS file in bios stays");
    WINE_EXPECT(fs::exists(setup.installed / "awdbios.bin"), "the user's backup stays");
}

}  // namespace

}  // namespace varlin::wine

int main(int argc, char** argv)
{
    using namespace varlin::wine;
    if (argc != 6) {
        std::printf("usage: setup_wine_test SETUP_EXE PROGRAM_FOLDER SAMPLES_DIR WORK_DIR VERSION\n");
        return 2;
    }
    Setup setup = {WindowsPath(argv[1]), WindowsPath(argv[2]), WindowsPath(argv[3]), WindowsPath(argv[4]), argv[5], {}};
    setup.installed = setup.work / "Program Files" / "VARLIN";
    // A clean start, also after a failed run that upgraded into the default folder.
    const fs::path defaultFolder = ShellFolder(CSIDL_PROGRAM_FILES) / "VARLIN";
    std::error_code error;
    fs::remove_all(setup.work, error);
    fs::remove_all(defaultFolder, error);
    fs::create_directories(setup.work, error);

    if (Install(setup, setup.installed, "the setup")) {
        ExpectInstalled(setup, "after the setup");
        WINE_EXPECT(fs::is_empty(setup.installed / "bios"), "the bios folder is empty");
        ExpectProgramRuns(setup);

        // The second setup finds the first one's folder by itself, and
        // replaces what it installed, damaged or missing, in place.
        Write(setup.installed / "varlin.exe", "damaged");
        fs::remove(setup.installed / "BIOS_L1.dll", error);
        if (Install(setup, fs::path(), "the second setup")) {
            ExpectInstalled(setup, "after the second setup");
            WINE_EXPECT(!fs::exists(defaultFolder), "nothing went to %s", defaultFolder.string().c_str());
            WINE_EXPECT(fs::exists(setup.installed / "bios" / "board.bin"), "the user's BIOS file stays");
        }
        Remove(setup);
    }
    std::printf("setup: %d failure(s)\n", failures);
    return failures;
}
