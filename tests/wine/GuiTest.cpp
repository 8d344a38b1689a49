// The Windows program driven through its windows, as a user would: each
// scenario copies the program into a fresh folder (with a "bios" folder
// holding the board's own BIOS, so the Easy path is open), starts it on an
// emulated board, clicks through its dialogs, reads what they show and
// checks what the program left on disk.  Screenshots of every dialog shown
// are saved for a person to look at.
//
//   varlin_gui_test SCENARIO VARLIN_EXE SAMPLES_DIR WORK_DIR SHOTS_DIR
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/wine/UiAutomation.h"
#include "tests/wine/WineCheck.h"

namespace varlin::wine {

namespace {

namespace fs = std::filesystem;

// Ids the tests reach the program's controls by (the program's resource
// numbers, and the system's for its own dialogs).
constexpr int kOk = IDOK;
constexpr int kCancel = IDCANCEL;
constexpr int kStartAdvanced = 1000;
constexpr int kStartNext = 1001;
constexpr int kStartExit = 1003;
constexpr int kAdvancedBackup = 4;
constexpr int kAdvancedUpdate = 1004;
constexpr int kStepText = 1043;
constexpr int kBackupStart = 1045;
constexpr int kBackupProgress = 1046;
constexpr int kBackupPercent = 1047;
constexpr int kBackupPercentSign = 1048;
constexpr int kPressToBegin = 1049;
constexpr int kUpdateStart = 1000;
constexpr int kAboutCommand = 16;
constexpr int kFileNameEdit = 0x480;   // edt1 of the system's file dialogs
constexpr int kFileNameCombo = 0x47C;  // cmb13, with the name's edit inside

struct Setup {
    fs::path program;  // the built varlin.exe
    fs::path samples;
    fs::path work;
    fs::path shots;
};

fs::path WorkFile(const Setup& setup, const char* name) { return setup.work / name; }

bool ReadFile(const fs::path& path, std::vector<char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool WaitForFile(const fs::path& path)
{
    for (DWORD waited = 0; waited <= kWaitMilliseconds; waited += 50) {
        if (fs::exists(path)) return true;
        Sleep(50);
    }
    return false;
}

// The program folder: the program, its "bios" folder, and the board.
bool CopyProgramFolder(const Setup& setup, const char* board)
{
    std::error_code error;
    fs::remove_all(setup.work, error);
    fs::create_directories(setup.work / "bios", error);
    fs::create_directories(setup.shots, error);
    fs::copy_file(setup.program, setup.work / "varlin.exe", fs::copy_options::overwrite_existing, error);
    if (error) return false;
    fs::copy(setup.samples / "boards" / board, setup.work / "board", fs::copy_options::recursive, error);
    if (error) return false;
    // The board's own BIOS, as its maker publishes it.
    fs::copy_file(setup.work / "board" / "rom.bin", setup.work / "bios" / "board.bin", error);
    return !error;
}

bool PrepareProgramFolder(const Setup& setup, const char* board)
{
    const bool prepared = CopyProgramFolder(setup, board);
    WINE_EXPECT(prepared, "the program folder can be prepared");
    return prepared;
}

// The program's window with this caption, or nullptr after reporting that
// `what` did not happen.
HWND ExpectWindow(const ProgramRun& run, const char* caption, const char* what)
{
    HWND window = WaitForWindow(run.Id(), caption);
    WINE_EXPECT(window != nullptr, "%s", what);
    return window;
}

bool StartProgram(const Setup& setup, ProgramRun& run)
{
    std::string line = "\"";
    line += (setup.work / "varlin.exe").string();
    line += "\" --board \"";
    line += (setup.work / "board").string();
    line += '"';
    const bool started = run.Start(line, setup.work.string());
    WINE_EXPECT(started, "the program starts (%lu)", GetLastError());
    return started;
}

void Shot(const Setup& setup, HWND window, const char* name)
{
    const std::string path = (setup.shots / name).string();
    if (!SaveScreenshot(window, path)) std::printf("no screenshot %s.png\n", path.c_str());
}

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& t : texts) {
        if (t == text) return true;
    }
    return false;
}

// Types the name into the system's file dialog and confirms it.
bool ChooseFile(HWND dialog, const fs::path& path)
{
    HWND edit = GetDlgItem(dialog, kFileNameEdit);
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo); edit == nullptr && combo != nullptr) {
        EnumChildWindows(
            combo,
            [](HWND child, LPARAM found) -> BOOL {
                char name[16] = {};
                GetClassNameA(child, name, sizeof name);
                if (lstrcmpiA(name, "Edit") != 0) return TRUE;
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&edit));
    }
    WINE_EXPECT(edit != nullptr, "the file dialog has a name box");
    if (edit == nullptr) return false;
    TypeText(edit, path.string());
    return Click(dialog, kOk);
}

bool EndsWithExitCode(ProgramRun& run, DWORD expected)
{
    DWORD code = 0;
    const bool ended = run.WaitForExit(code);
    WINE_EXPECT(ended, "the program ends");
    WINE_EXPECT(!ended || code == expected, "exit code %lu, expected %lu", code, expected);
    return ended && code == expected;
}

// Start page, About box, Advanced page, Backup BIOS, the file, and Exit.
void BackupScenario(const Setup& setup)
{
    if (!PrepareProgramFolder(setup, "board-256k")) return;
    ProgramRun run;
    if (!StartProgram(setup, run)) return;

    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return;
    WINE_EXPECT(ItemEnabled(start, kStartNext), "the board's BIOS was found: Next >> is enabled");
    WINE_EXPECT(fs::exists(WorkFile(setup, "yta.bin")), "the board's BIOS was copied to yta.bin");
    WINE_EXPECT(ItemText(start, kStartAdvanced) == "Advanced >>", "the start page's buttons");
    Shot(setup, start, "start-page");

    PostMessageA(start, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = ExpectWindow(run, "About VARLIN", "the About item opens the About box");
    if (about != nullptr) {
        WINE_EXPECT(Contains(StaticTexts(about), "VARLIN Version 1.0"), "the About box names the version");
        Shot(setup, about, "about");
        Click(about, kOk);
        WINE_EXPECT(WaitForWindowGone(about), "OK closes the About box");
    }

    Click(start, kStartAdvanced);
    HWND advanced = ExpectWindow(run, "Advanced", "Advanced >> shows the Advanced page");
    if (advanced == nullptr) return;
    WINE_EXPECT(!IsWindowVisible(start), "the start page is hidden");
    Shot(setup, advanced, "advanced-page");

    Click(advanced, kAdvancedBackup);
    HWND saveAs = ExpectWindow(run, "Save As", "Backup BIOS asks for a file name");
    if (saveAs == nullptr) return;
    Shot(setup, saveAs, "backup-save-as");
    const fs::path backupFile = WorkFile(setup, "backup.bin");
    ChooseFile(saveAs, backupFile);

    HWND backup = ExpectWindow(run, "Backup BIOS", "the Backup BIOS dialog shows");
    if (backup == nullptr) return;
    WINE_EXPECT(ItemText(backup, kStepText) == "Save Mainboard BIOS", "step text: %s", ItemText(backup, kStepText).c_str());
    WINE_EXPECT(ItemText(backup, kPressToBegin) == "Press Backup button to begin.", "the hint");
    WINE_EXPECT(ItemText(backup, kBackupPercent) == "  0", "percentage: '%s'", ItemText(backup, kBackupPercent).c_str());
    WINE_EXPECT(ItemText(backup, kBackupPercentSign) == "%", "the per-cent sign");
    WINE_EXPECT(!ItemVisible(backup, kBackupProgress), "the bar waits hidden");
    WINE_EXPECT(ItemText(backup, kBackupStart) == "Backup" && ItemText(backup, kCancel) == "Cancel", "the buttons");
    Shot(setup, backup, "backup-bios");
    Click(backup, kBackupStart);
    WINE_EXPECT(WaitForWindowGone(backup), "the dialog ends after the copy");

    // The file takes its name once the dialog is gone.
    WINE_EXPECT(WaitForFile(backupFile), "the backup file appears");
    std::vector<char> copied;
    std::vector<char> rom;
    WINE_EXPECT(ReadFile(backupFile, copied), "the backup file exists");
    WINE_EXPECT(ReadFile(setup.work / "board" / "rom.bin", rom), "the board's ROM");
    WINE_EXPECT(!rom.empty() && copied == rom, "the backup equals the ROM (%zu of %zu bytes)", copied.size(), rom.size());
    WINE_EXPECT(!fs::exists(backupFile.string() + ".partial"), "no partial file is left");

    // The close box of the Advanced page ends the program and its working copy.
    WINE_EXPECT(IsWindowVisible(advanced), "the Advanced page stays");
    Close(advanced);
    EndsWithExitCode(run, 0);
    WINE_EXPECT(!fs::exists(WorkFile(setup, "yta.bin")), "yta.bin is deleted on the way out");
}

// A second start brings the first instance's window forward and ends.
void SecondInstanceScenario(const Setup& setup)
{
    if (!PrepareProgramFolder(setup, "board-256k")) return;
    ProgramRun first;
    if (!StartProgram(setup, first)) return;
    HWND start = ExpectWindow(first, "VARLIN", "the first instance shows its start page");
    if (start == nullptr) return;
    ShowWindow(start, SW_MINIMIZE);
    for (int i = 0; i < 100 && !IsIconic(start); ++i) Sleep(50);
    WINE_EXPECT(IsIconic(start), "the first instance is minimised");

    ProgramRun second;
    if (!StartProgram(setup, second)) return;
    EndsWithExitCode(second, 0);

    bool forward = false;
    for (int i = 0; i < 200 && !forward; ++i) {
        forward = !IsIconic(start) && IsWindowVisible(start) && GetForegroundWindow() == start;
        if (!forward) Sleep(50);
    }
    WINE_EXPECT(!IsIconic(start), "the first instance's window is restored");
    WINE_EXPECT(GetForegroundWindow() == start, "and in the foreground");
    Shot(setup, start, "second-instance");

    Click(start, kStartExit);
    EndsWithExitCode(first, 0);
}

// Update BIOS from the Advanced page with `biosFile`, up to the Update BIOS
// dialog's Update button; the dialog's window, or nullptr.
HWND StartUpdate(const Setup& setup, ProgramRun& run, const fs::path& biosFile, const char* shotPrefix)
{
    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return nullptr;
    Click(start, kStartAdvanced);
    HWND advanced = ExpectWindow(run, "Advanced", "the Advanced page shows");
    if (advanced == nullptr) return nullptr;
    Click(advanced, kAdvancedUpdate);
    HWND open = ExpectWindow(run, "Open", "Update BIOS asks for the file");
    if (open == nullptr) return nullptr;
    ChooseFile(open, biosFile);
    HWND update = ExpectWindow(run, "Update BIOS", "the Update BIOS dialog shows");
    if (update == nullptr) return nullptr;
    WINE_EXPECT(ItemText(update, kStepText) == "Update System BIOS", "step text");
    WINE_EXPECT(ItemText(update, kPressToBegin) == "Press Update button to begin.", "the hint");
    Shot(setup, update, (std::string(shotPrefix) + "-update-bios").c_str());
    Click(update, kUpdateStart);
    return update;
}

// A board whose boot block is locked: the update stops with the FWH text
// in the "Erase Error Message" box.
void UpdateProtectedScenario(const Setup& setup)
{
    if (!PrepareProgramFolder(setup, "board-sst-protected")) return;
    const fs::path biosFile = WorkFile(setup, "update.bin");
    fs::copy_file(setup.work / "board" / "rom.bin", biosFile);
    ProgramRun run;
    if (!StartProgram(setup, run)) return;
    if (StartUpdate(setup, run, biosFile, "protected") == nullptr) return;

    HWND box = ExpectWindow(run, "Erase Error Message", "the write-protect message shows");
    if (box == nullptr) return;
    const std::string expected =
        " \n       FWH ROM  is write-protected  \n\n   Please make sure whether lockout jumpers\n  is set to correct or not";
    std::string shown;
    for (const std::string& text : StaticTexts(box)) {
        if (text.find("FWH") != std::string::npos) shown = text;
    }
    WINE_EXPECT(shown == expected, "the message reads '%s'", shown.c_str());
    Shot(setup, box, "erase-error-message");
    Click(box, kOk);
    WINE_EXPECT(WaitForWindowGone(box), "OK closes the message");
}

// A completed update ends in the Finished dialog; its Cancel ends the
// program without a restart and deletes the working files.
void FinishedCancelScenario(const Setup& setup)
{
    if (!PrepareProgramFolder(setup, "board-256k")) return;
    const fs::path biosFile = WorkFile(setup, "update.bin");
    fs::copy_file(setup.work / "board" / "rom.bin", biosFile);
    std::ofstream(WorkFile(setup, "tmp.bin")) << "rebuilt image";
    ProgramRun run;
    if (!StartProgram(setup, run)) return;
    if (StartUpdate(setup, run, biosFile, "finished") == nullptr) return;

    HWND finished = ExpectWindow(run, "Finished!", "the Finished dialog shows");
    if (finished == nullptr) return;
    WINE_EXPECT(Contains(StaticTexts(finished), "BIOS Update completed! Reboot now?"), "its question");
    Shot(setup, finished, "finished");
    Click(finished, kCancel);
    EndsWithExitCode(run, 0);
    WINE_EXPECT(!fs::exists(WorkFile(setup, "yta.bin")), "yta.bin is gone");
    WINE_EXPECT(!fs::exists(WorkFile(setup, "tmp.bin")), "tmp.bin is gone");
}

}  // namespace

}  // namespace varlin::wine

int main(int argc, char** argv)
{
    using namespace varlin::wine;
    if (argc != 6) {
        std::printf("usage: varlin_gui_test SCENARIO VARLIN_EXE SAMPLES_DIR WORK_DIR SHOTS_DIR\n");
        return 2;
    }
    const std::map<std::string, void (*)(const Setup&)> scenarios = {
        {"backup", BackupScenario},
        {"second-instance", SecondInstanceScenario},
        {"update-protected", UpdateProtectedScenario},
        {"finished-cancel", FinishedCancelScenario},
    };
    const auto scenario = scenarios.find(argv[1]);
    if (scenario == scenarios.end()) {
        std::printf("no scenario %s\n", argv[1]);
        return 2;
    }
    const Setup setup = {WindowsPath(argv[2]), WindowsPath(argv[3]), WindowsPath(argv[4]), WindowsPath(argv[5])};
    scenario->second(setup);
    std::printf("%s: %d failure(s)\n", argv[1], failures);
    return failures;
}
