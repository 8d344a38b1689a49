// The Windows program driven through its windows, as a user would: each
// scenario copies the program into a fresh folder (with a "bios" folder
// holding the board's own BIOS, so the Easy path is open), starts it on an
// emulated board, clicks through its dialogs, reads what they show and
// checks what the program left on disk.  Screenshots of every dialog shown
// are saved for a person to look at.
//
//   varlin_gui_test SCENARIO VARLIN_EXE SAMPLES_DIR WORK_DIR SHOTS_DIR
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
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
constexpr int kPageNext = 1001;  // "Next >>", and "Super >>" on the Advanced page
constexpr int kStartExit = 1003;
constexpr int kPictureBrowse = 1000;
constexpr int kPicturePath = 1034;
constexpr int kAdvancedBackup = 4;
constexpr int kAdvancedUpdate = 1004;
constexpr int kModeBrowseBios = 1000;
constexpr int kModeBrowsePicture = 1001;
constexpr int kModeShowPostMessage = 1017;
constexpr int kMode640x480 = 1018;
constexpr int kMode800x600 = 1019;
constexpr int kModeCenter = 1020;
constexpr int kModeBottomRight = 1021;
constexpr int kModeTopLeft = 1024;
constexpr int kModeBiosPath = 1025;
constexpr int kModePicturePath = 1026;
constexpr int kModePreview = 1027;
constexpr int kModeBuild = 1028;
constexpr int kModeFlash = 1029;
constexpr int kModeBack = 3;
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

bool WriteFile(const fs::path& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Until the file can be opened: a file that has just taken its name may
// still be held, for a moment, by the program's rename.
bool WaitForFile(const fs::path& path)
{
    return WaitUntil([&path] { return static_cast<bool>(std::ifstream(path, std::ios::binary)); });
}

// The program folder as it is installed: the program with the preview's
// POST-message pictures beside it, the "picture" folder with the sample
// pictures, the "bios" folder, and the board.
// Whether a temporary file of the target's (its name, ".partial" and a tag)
// is left beside it.
bool PartialFileLeftBeside(const fs::path& target)
{
    const std::string prefix = target.filename().string() + ".partial";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(target.parent_path(), error)) {
        if (entry.path().filename().string().starts_with(prefix)) return true;
    }
    return false;
}

bool CopyProgramFolder(const Setup& setup, const char* board)
{
    std::error_code error;
    fs::remove_all(setup.work, error);
    fs::create_directories(setup.work / "bios", error);
    fs::create_directories(setup.shots, error);
    fs::copy_file(setup.program, setup.work / "varlin.exe", fs::copy_options::overwrite_existing, error);
    if (error) return false;
    for (const fs::directory_entry& entry : fs::directory_iterator(setup.program.parent_path(), error)) {
        if (entry.path().filename().string().rfind("BIOS_", 0) == 0) {
            fs::copy_file(entry.path(), setup.work / entry.path().filename(), error);
        }
        if (error) return false;
    }
    fs::copy(setup.samples / "pictures", setup.work / "picture", error);
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

// The program in the work folder, by default on the board there.
bool StartProgram(const Setup& setup, ProgramRun& run, const char* program = "varlin.exe", bool onBoard = true)
{
    std::string line = "\"";
    line += (setup.work / program).string();
    line += '"';
    if (onBoard) line += " --board \"" + (setup.work / "board").string() + '"';
    const bool started = run.Start(line, setup.work.string());
    WINE_EXPECT(started, "the program starts (%lu)", GetLastError());
    return started;
}

// The program started in a fresh program folder on a copy of `board`.
bool StartOnBoard(const Setup& setup, ProgramRun& run, const char* board)
{
    return PrepareProgramFolder(setup, board) && StartProgram(setup, run);
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

// Enumeration step: keeps the first edit control in *found (an HWND).
BOOL CALLBACK TakeEditChild(HWND child, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// Types the name into the system's file dialog and confirms it.
bool ChooseFile(HWND dialog, const fs::path& path)
{
    HWND edit = GetDlgItem(dialog, kFileNameEdit);
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo); edit == nullptr && combo != nullptr) {
        EnumChildWindows(combo, TakeEditChild, reinterpret_cast<LPARAM>(&edit));
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

// The next page in place of `previous`: the previous one is hidden first,
// so that a page of the same caption is not taken for the new one.
HWND NextPage(const ProgramRun& run, HWND previous, const char* caption, const char* what)
{
    WINE_EXPECT(WaitForWindowGone(previous), "the page before is hidden: %s", what);
    return ExpectWindow(run, caption, what);
}

// "Super >>" on the Advanced page, and the Advanced Mode dialog it shows.
HWND PressSuper(const ProgramRun& run, HWND advanced, const char* what)
{
    Click(advanced, kPageNext);
    return NextPage(run, advanced, "Advanced Mode", what);
}

// "Back <<" in the Advanced Mode dialog, back to the Advanced page.
void PressModeBack(HWND mode, HWND advanced)
{
    Click(mode, kModeBack);
    WINE_EXPECT(WaitForWindowGone(mode), "Back << hides the Advanced Mode dialog");
    WINE_EXPECT(WaitUntil([advanced] { return IsWindowVisible(advanced) != FALSE; }), "and shows the Advanced page");
}

// The About item of the window's system menu opens the About box; its OK
// closes it.
void ShowAbout(const Setup& setup, const ProgramRun& run, HWND window, const char* shotName)
{
    PostMessageA(window, WM_SYSCOMMAND, kAboutCommand, 0);
    HWND about = ExpectWindow(run, "About VARLIN", "the About item opens the About box");
    if (about == nullptr) return;
    WINE_EXPECT(Contains(StaticTexts(about), "VARLIN Version 1.0"), "the About box names the version");
    Shot(setup, about, shotName);
    Click(about, kOk);
    WINE_EXPECT(WaitForWindowGone(about), "OK closes the About box");
}

// Backup BIOS from the Advanced page into backup.bin: the file equals the
// board's ROM.
void BackUpTheRom(const Setup& setup, const ProgramRun& run, HWND advanced)
{
    Click(advanced, kAdvancedBackup);
    HWND saveAs = ExpectWindow(run, "Save As", "Backup BIOS asks for a file name");
    if (saveAs == nullptr) return;
    Shot(setup, saveAs, "backup-save-as");
    const fs::path backupFile = WorkFile(setup, "backup.bin");
    ChooseFile(saveAs, backupFile);

    HWND backup = ExpectWindow(run, "Backup BIOS", "the Backup BIOS dialog shows");
    if (backup == nullptr) return;
    WINE_EXPECT(ItemText(backup, kStepText) == "Save Mainboard BIOS", "step text: %s",
                ItemText(backup, kStepText).c_str());
    WINE_EXPECT(ItemText(backup, kPressToBegin) == "Press Backup button to begin.", "the hint");
    WINE_EXPECT(ItemText(backup, kBackupPercent) == "  0", "percentage: '%s'",
                ItemText(backup, kBackupPercent).c_str());
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
    WINE_EXPECT(!rom.empty() && copied == rom, "the backup equals the ROM (%zu of %zu bytes)", copied.size(),
                rom.size());
    WINE_EXPECT(!PartialFileLeftBeside(backupFile), "no partial file is left");
}

// The start page of a program that found the board's BIOS.
HWND ExpectStartPage(const Setup& setup, const ProgramRun& run)
{
    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return nullptr;
    WINE_EXPECT(ItemEnabled(start, kPageNext), "the board's BIOS was found: Next >> is enabled");
    WINE_EXPECT(fs::exists(WorkFile(setup, "yta.bin")), "the board's BIOS was copied to yta.bin");
    WINE_EXPECT(ItemText(start, kStartAdvanced) == "Advanced >>", "the start page's buttons");
    Shot(setup, start, "start-page");
    return start;
}

// Start page, About box, Advanced page, Backup BIOS, the file, and Exit.
void BackupScenario(const Setup& setup)
{
    ProgramRun run;
    if (!StartOnBoard(setup, run, "board-256k")) return;
    HWND start = ExpectStartPage(setup, run);
    if (start == nullptr) return;

    ShowAbout(setup, run, start, "about");

    Click(start, kStartAdvanced);
    HWND advanced = ExpectWindow(run, "Advanced", "Advanced >> shows the Advanced page");
    if (advanced == nullptr) return;
    WINE_EXPECT(!IsWindowVisible(start), "the start page is hidden");
    Shot(setup, advanced, "advanced-page");
    BackUpTheRom(setup, run, advanced);

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

// The start page's "Advanced >>" and the Advanced page it shows, or nullptr.
HWND OpenAdvancedPage(const ProgramRun& run)
{
    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return nullptr;
    Click(start, kStartAdvanced);
    return ExpectWindow(run, "Advanced", "the Advanced page shows");
}

// The Update BIOS dialog that a checked file opens, started with its Update
// button; the dialog's window, or nullptr.
HWND PressUpdate(const Setup& setup, const ProgramRun& run, const std::string& shotPrefix)
{
    HWND update = ExpectWindow(run, "Update BIOS", "the Update BIOS dialog shows");
    if (update == nullptr) return nullptr;
    WINE_EXPECT(ItemText(update, kStepText) == "Update System BIOS", "step text");
    WINE_EXPECT(ItemText(update, kPressToBegin) == "Press Update button to begin.", "the hint");
    Shot(setup, update, (shotPrefix + "-update-bios").c_str());
    Click(update, kUpdateStart);
    return update;
}

// "Update BIOS" on the Advanced page with `biosFile`, up to the Update BIOS
// dialog's Update button; the dialog's window, or nullptr.
HWND StartUpdate(const Setup& setup, const ProgramRun& run, HWND advanced, const fs::path& biosFile,
                 const char* shotPrefix)
{
    Click(advanced, kAdvancedUpdate);
    HWND open = ExpectWindow(run, "Open", "Update BIOS asks for the file");
    if (open == nullptr) return nullptr;
    ChooseFile(open, biosFile);
    return PressUpdate(setup, run, shotPrefix);
}

// The Finished dialog after a completed update: its Cancel ends the program
// without a restart and deletes the working files.
void CancelFinished(const Setup& setup, ProgramRun& run, const char* shotName)
{
    HWND finished = ExpectWindow(run, "Finished!", "the Finished dialog shows");
    if (finished == nullptr) return;
    WINE_EXPECT(Contains(StaticTexts(finished), "BIOS Update completed! Reboot now?"), "its question");
    Shot(setup, finished, shotName);
    Click(finished, kCancel);
    EndsWithExitCode(run, 0);
    WINE_EXPECT(!fs::exists(WorkFile(setup, "yta.bin")), "yta.bin is gone");
    WINE_EXPECT(!fs::exists(WorkFile(setup, "tmp.bin")), "tmp.bin is gone");
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
    HWND advanced = OpenAdvancedPage(run);
    if (advanced == nullptr || StartUpdate(setup, run, advanced, biosFile, "protected") == nullptr) return;

    HWND box = ExpectWindow(run, "Erase Error Message", "the write-protect message shows");
    if (box == nullptr) return;
    const std::string expected =
        " \n       FWH ROM  is write-protected  \n\n   Please make sure whether lockout jumpers\n  is set to correct "
        "or not";
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
    HWND advanced = OpenAdvancedPage(run);
    if (advanced == nullptr || StartUpdate(setup, run, advanced, biosFile, "finished") == nullptr) return;
    CancelFinished(setup, run, "finished");
}

// The logo member of a BIOS image: the level-1 header, with a right
// checksum, whose time-stamp field holds the load address 4000:0.
struct LogoMember {
    size_t offset = 0;
    size_t length = 0;  // header and packed data
};

uint32_t ReadLittleEndian(const std::vector<char>& bytes, size_t at, size_t count)
{
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

bool FindLogoMember(const std::vector<char>& image, LogoMember& logo)
{
    constexpr size_t kMinimumHeader = 22;
    for (size_t at = 0; at + 2 + kMinimumHeader <= image.size(); ++at) {
        const size_t headerSize = static_cast<uint8_t>(image[at]);
        if (headerSize < kMinimumHeader || at + 2 + headerSize > image.size()) continue;
        if (std::string(&image[at + 2], 3) != "-lh" || image[at + 6] != '-' || image[at + 20] != 1) continue;
        if (ReadLittleEndian(image, at + 15, 2) != 0 || ReadLittleEndian(image, at + 17, 2) != 0x4000) continue;
        uint8_t sum = 0;
        for (size_t i = 0; i < headerSize; ++i)
            sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(image[at + 2 + i]));
        if (sum != static_cast<uint8_t>(image[at + 1])) continue;
        const size_t length = 2 + headerSize + ReadLittleEndian(image, at + 7, 4);
        if (at + length > image.size()) continue;
        logo = {at, length};
        return true;
    }
    return false;
}

// A logo payload: the header word, then the picture's data.
std::vector<char> Payload(uint16_t headerWord, const std::vector<char>& data)
{
    std::vector<char> payload(2 + data.size());
    payload[0] = static_cast<char>(headerWord & 0xFF);
    payload[1] = static_cast<char>(headerWord >> 8);
    std::copy(data.begin(), data.end(), payload.begin() + 2);
    return payload;
}

// The sample JPEGs hold only the segments the BIOS decodes, so the logo
// carries each file unchanged; a bitmap goes in without its "BM".
std::vector<char> PictureData(const Setup& setup, const char* name)
{
    std::vector<char> file;
    WINE_EXPECT(ReadFile(setup.samples / "pictures" / name, file), "the sample %s", name);
    if (fs::path(name).extension() == ".bmp" && file.size() >= 2) file.erase(file.begin(), file.begin() + 2);
    return file;
}

// Leaves the image's logo member as a one-member archive NAME.lzh in the
// work folder's "logos" folder, beside files NAME + suffix that say what it
// must decode to: the test's runner decodes it with lha once the program is
// over.
void LeaveLogoFiles(const Setup& setup, const std::string& name, const std::vector<char>& image,
                    const std::map<std::string, std::vector<char>>& checks)
{
    LogoMember logo;
    const bool found = FindLogoMember(image, logo);
    WINE_EXPECT(found, "%s holds a logo member loaded at 4000:0", name.c_str());
    if (!found) return;
    const fs::path folder = setup.work / "logos";
    fs::create_directories(folder);
    std::vector<char> archive(image.begin() + static_cast<std::ptrdiff_t>(logo.offset),
                              image.begin() + static_cast<std::ptrdiff_t>(logo.offset + logo.length));
    archive.push_back('\0');  // the archive's closing byte
    bool written = WriteFile(folder / (name + ".lzh"), archive);
    for (const auto& [suffix, contents] : checks) written = WriteFile(folder / (name + suffix), contents) && written;
    WINE_EXPECT(written, "the logo of %s can be left for lha", name.c_str());
}

// The payload the logo must decode to: NAME.expected.
void LeaveLogoForLha(const Setup& setup, const std::string& name, const std::vector<char>& image,
                     const std::vector<char>& payload)
{
    LeaveLogoFiles(setup, name, image, {{".expected", payload}});
}

// A stock board's logo: what its data must begin with (NAME.head: the
// format's magic and the board's size) and its length (NAME.size); the
// program itself has compared every pixel before it wrote the image.
void LeaveStockLogoForLha(const Setup& setup, const std::string& name, const std::vector<char>& image)
{
    const std::vector<char> head = {'A', 'W', 'B', 'M', '\x80', '\x02', '\xE0', '\x01'};  // 640 x 480
    const std::string size = "153660\n";                                                  // 4-bit
    LeaveLogoFiles(setup, name, image, {{".head", head}, {".size", std::vector<char>(size.begin(), size.end())}});
}

// The boot block's main checksum byte: the end of the page that holds the
// "*BBSS*" table in the image's last 64 KiB; 0 when there is none.
size_t BootBlockChecksumAt(const std::vector<char>& image)
{
    const std::string marker = "*BBSS*";
    const size_t from = image.size() > 0x10000 ? image.size() - 0x10000 : 0;
    const auto found =
        std::search(image.begin() + static_cast<std::ptrdiff_t>(from), image.end(), marker.begin(), marker.end());
    if (found == image.end()) return 0;
    return (static_cast<size_t>(found - image.begin()) & ~size_t{0xFFF}) + 0xFFE;
}

// A rebuilt image differs from its source only in the logo slot (the old
// logo with its archive's closing byte, and the free 0xFF bytes after it)
// and in the boot block's two checksum bytes, whose main sum holds.
void ExpectOnlyLogoSlotChanged(const std::vector<char>& source, const std::vector<char>& rebuilt)
{
    WINE_EXPECT(source.size() == rebuilt.size(), "the same size (%zu, %zu)", source.size(), rebuilt.size());
    LogoMember old;
    LogoMember fresh;
    if (!FindLogoMember(source, old) || !FindLogoMember(rebuilt, fresh) || source.size() != rebuilt.size()) {
        WINE_EXPECT(false, "both images hold a logo");
        return;
    }
    WINE_EXPECT(fresh.offset == old.offset, "the new logo at 0x%zx, the old one at 0x%zx", fresh.offset, old.offset);
    size_t slotEnd = old.offset + old.length + 1;
    while (slotEnd < source.size() && static_cast<uint8_t>(source[slotEnd]) == 0xFF) ++slotEnd;
    const size_t checksumAt = BootBlockChecksumAt(source);
    size_t outside = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        const bool checksum = checksumAt != 0 && (i == checksumAt || i == checksumAt + 1);
        if (source[i] != rebuilt[i] && (i < old.offset || i >= slotEnd) && !checksum) ++outside;
    }
    WINE_EXPECT(outside == 0, "%zu bytes changed outside the logo slot 0x%zx..0x%zx", outside, old.offset, slotEnd);
    WINE_EXPECT(source != rebuilt, "the logo changed");
    uint8_t sum = 0;
    for (size_t i = 0; i < checksumAt; ++i) sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(rebuilt[i]));
    WINE_EXPECT(checksumAt != 0 && static_cast<uint8_t>(rebuilt[checksumAt]) == sum,
                "the boot block's checksum at 0x%zx holds", checksumAt);
}

// The preview window: at the screen's corner with a client area of about
// 640 x 480.
void ExpectPreviewPlace(HWND preview)
{
    RECT frame = {};
    RECT client = {};
    GetWindowRect(preview, &frame);
    GetClientRect(preview, &client);
    WINE_EXPECT(frame.left == 0 && frame.top == 0, "the preview at %ld,%ld", frame.left, frame.top);
    WINE_EXPECT(std::abs(client.right - 640) <= 8 && std::abs(client.bottom - 480) <= 8,
                "the preview's client area %ldx%ld", client.right, client.bottom);
}

// The Warning before a flash, answered with OK.
bool AcceptWarning(const Setup& setup, const ProgramRun& run, const char* shotName)
{
    HWND warning = ExpectWindow(run, "Warning", "the Warning shows before the flash");
    if (warning == nullptr) return false;
    Shot(setup, warning, shotName);
    Click(warning, kOk);
    return WaitForWindowGone(warning);
}

// The Easy Mode from the start page to the Finished dialog: a JPEG larger
// than 640 x 480 chosen through the system's file dialog in the "picture"
// folder, its preview in 800*600, the build and the update; afterwards the
// ROM holds the picture as its logo, shown in 800*600.
void EasyModeScenario(const Setup& setup)
{
    ProgramRun run;
    if (!StartOnBoard(setup, run, "board-256k")) return;

    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return;
    Shot(setup, start, "start-page");
    Click(start, kPageNext);
    HWND picture = NextPage(run, start, "VARLIN", "Next >> shows the picture page");
    if (picture == nullptr) return;
    WINE_EXPECT(ItemText(picture, kPicturePath).empty(), "no picture chosen yet");
    Shot(setup, picture, "picture-page");

    // The dialog opens in the "picture" folder: the name alone finds the file.
    Click(picture, kPictureBrowse);
    HWND open = ExpectWindow(run, "Open", "Browse opens the file dialog");
    if (open == nullptr) return;
    Shot(setup, open, "picture-open");
    ChooseFile(open, "varlin-800x600.jpg");
    const std::string chosen = (setup.work / "picture" / "varlin-800x600.jpg").string();
    WINE_EXPECT(WaitUntil([&] { return lstrcmpiA(ItemText(picture, kPicturePath).c_str(), chosen.c_str()) == 0; }),
                "the path box shows %s, not '%s'", chosen.c_str(), ItemText(picture, kPicturePath).c_str());
    Shot(setup, picture, "picture-page-chosen");

    Click(picture, kPageNext);
    HWND preview = ExpectWindow(run, "Preview", "Next >> shows the preview");
    HWND accept = NextPage(run, picture, "VARLIN", "Next >> shows the accept page");
    if (preview == nullptr || accept == nullptr) return;
    ExpectPreviewPlace(preview);
    RECT place = {};
    GetWindowRect(accept, &place);
    WINE_EXPECT(place.left == 390 && place.top == 350, "the accept page at %ld,%ld", place.left, place.top);
    Shot(setup, preview, "preview-800x600");
    Shot(setup, accept, "accept-page");

    Click(accept, kPageNext);
    WINE_EXPECT(WaitForWindowGone(preview), "the preview is hidden before the Warning");
    if (!AcceptWarning(setup, run, "warning")) return;
    if (PressUpdate(setup, run, "easy") == nullptr) return;
    CancelFinished(setup, run, "easy-finished");
    for (const char* name : {"tmp.tbp", "tmp_b_pic"}) {
        WINE_EXPECT(!fs::exists(WorkFile(setup, name)), "the build's %s is gone", name);
    }

    std::vector<char> rom;
    WINE_EXPECT(ReadFile(setup.work / "board" / "rom.bin", rom), "the board's ROM");
    constexpr uint16_t kJpeg800x600 = 0x000A;
    LeaveLogoForLha(setup, "easy-rom", rom, Payload(kJpeg800x600, PictureData(setup, "varlin-800x600.jpg")));
}

// The Easy Mode on a stock board, whose BIOS shows only a full-screen logo
// of its own format: the preview shows a 320 x 240 bitmap over the whole
// screen, and after the update the ROM holds it in that format.
void StockBoardScenario(const Setup& setup)
{
    ProgramRun run;
    if (!StartOnBoard(setup, run, "board-stock")) return;
    HWND start = ExpectWindow(run, "VARLIN", "the start page shows");
    if (start == nullptr) return;
    Click(start, kPageNext);
    HWND picture = NextPage(run, start, "VARLIN", "Next >> shows the picture page");
    if (picture == nullptr) return;
    Click(picture, kPictureBrowse);
    HWND open = ExpectWindow(run, "Open", "Browse opens the file dialog");
    if (open == nullptr) return;
    ChooseFile(open, "varlin-320x240.bmp");
    WINE_EXPECT(WaitUntil([&] { return !ItemText(picture, kPicturePath).empty(); }), "a picture is chosen");

    Click(picture, kPageNext);
    HWND preview = ExpectWindow(run, "Preview", "Next >> shows the preview");
    HWND accept = NextPage(run, picture, "VARLIN", "Next >> shows the accept page");
    if (preview == nullptr || accept == nullptr) return;
    Shot(setup, preview, "preview-full-screen");
    Click(accept, kPageNext);
    WINE_EXPECT(WaitForWindowGone(preview), "the preview is hidden before the Warning");
    if (!AcceptWarning(setup, run, "warning")) return;
    if (PressUpdate(setup, run, "stock") == nullptr) return;
    CancelFinished(setup, run, "stock-finished");

    std::vector<char> source;
    std::vector<char> rom;
    WINE_EXPECT(ReadFile(setup.work / "bios" / "board.bin", source) && ReadFile(setup.work / "board" / "rom.bin", rom),
                "the board's BIOS and ROM");
    ExpectOnlyLogoSlotChanged(source, rom);
    LeaveStockLogoForLha(setup, "stock-rom", rom);
}

// The Advanced Mode dialog as "Super >>" opens it: About from its system
// menu, a BIOS and a bitmap chosen through the system's file dialogs, the
// preview with the POST messages, Build BIOS File through Save As, and
// Back << to the Advanced page, whose Update BIOS then flashes the built
// file.
void AdvancedModeScenario(const Setup& setup)
{
    ProgramRun run;
    if (!StartOnBoard(setup, run, "board-256k")) return;
    HWND advanced = OpenAdvancedPage(run);
    if (advanced == nullptr) return;
    Shot(setup, advanced, "advanced-page");

    HWND mode = PressSuper(run, advanced, "Super >> shows the Advanced Mode dialog");
    if (mode == nullptr) return;
    WINE_EXPECT(ItemChecked(mode, kMode640x480) && ItemChecked(mode, kModeCenter), "640*480, Center");
    WINE_EXPECT(!ItemChecked(mode, kModeShowPostMessage), "no POST messages");
    ShowAbout(setup, run, mode, "advanced-mode-about");

    const fs::path bios = setup.work / "bios" / "board.bin";
    Click(mode, kModeBrowseBios);
    if (HWND open = ExpectWindow(run, "Open", "Browse asks for the BIOS file")) ChooseFile(open, bios);
    WINE_EXPECT(WaitUntil([&] { return ItemText(mode, kModeBiosPath) == bios.string(); }), "the BIOS path: '%s'",
                ItemText(mode, kModeBiosPath).c_str());
    const fs::path bitmap = setup.work / "picture" / "varlin-320x240.bmp";
    Click(mode, kModeBrowsePicture);
    if (HWND open = ExpectWindow(run, "Open", "Browse asks for the picture")) ChooseFile(open, bitmap);
    WINE_EXPECT(WaitUntil([&] { return ItemText(mode, kModePicturePath) == bitmap.string(); }),
                "the picture path: '%s'", ItemText(mode, kModePicturePath).c_str());
    WINE_EXPECT(!ItemEnabled(mode, kMode800x600), "a bitmap is shown in 640*480 only");

    Click(mode, kModeShowPostMessage);
    Click(mode, kModeBottomRight);
    WINE_EXPECT(
        WaitUntil([&] { return ItemChecked(mode, kModeShowPostMessage) && ItemChecked(mode, kModeBottomRight); }),
        "Show Post Message and Bottom Right are chosen");
    WINE_EXPECT(!ItemChecked(mode, kModeCenter), "Center is no longer chosen");
    Shot(setup, mode, "advanced-mode");

    Click(mode, kModePreview);
    HWND preview = ExpectWindow(run, "Preview", "Preview shows the preview");
    if (preview == nullptr) return;
    ExpectPreviewPlace(preview);
    Shot(setup, preview, "preview-640x480-post");
    Close(preview);
    WINE_EXPECT(WaitForWindowGone(preview), "the close box hides the preview");

    // Without the POST messages the logo is the bitmap itself.
    Click(mode, kModeShowPostMessage);
    WINE_EXPECT(WaitUntil([&] { return !ItemChecked(mode, kModeShowPostMessage); }), "the POST messages are off");
    Click(mode, kModeBuild);
    HWND saveAs = ExpectWindow(run, "Save As", "Build BIOS File asks for a file name");
    if (saveAs == nullptr) return;
    const fs::path built = WorkFile(setup, "built.bin");
    ChooseFile(saveAs, built);
    WINE_EXPECT(WaitForFile(built), "the built file appears");
    std::vector<char> source;
    std::vector<char> image;
    WINE_EXPECT(ReadFile(bios, source) && ReadFile(built, image), "the source and the built file");
    ExpectOnlyLogoSlotChanged(source, image);
    constexpr uint16_t kBottomRight = 0x0030;
    LeaveLogoForLha(setup, "built", image, Payload(kBottomRight, PictureData(setup, "varlin-320x240.bmp")));

    PressModeBack(mode, advanced);
    if (StartUpdate(setup, run, advanced, built, "built") == nullptr) return;
    CancelFinished(setup, run, "built-finished");
    std::vector<char> rom;
    WINE_EXPECT(ReadFile(setup.work / "board" / "rom.bin", rom), "the board's ROM");
    WINE_EXPECT(rom == image, "the ROM holds the built file");
}

// Flash To Mainboard from the Advanced Mode dialog, shown again after a
// Back <<, with its paths typed in: the Warning, the build and the update;
// afterwards the ROM holds the picture as its logo at the top left.
void AdvancedFlashScenario(const Setup& setup)
{
    ProgramRun run;
    if (!StartOnBoard(setup, run, "board-256k")) return;
    HWND advanced = OpenAdvancedPage(run);
    if (advanced == nullptr) return;
    HWND mode = PressSuper(run, advanced, "Super >> shows the Advanced Mode dialog");
    if (mode == nullptr) return;
    PressModeBack(mode, advanced);
    HWND again = PressSuper(run, advanced, "Super >> shows the Advanced Mode dialog again");
    WINE_EXPECT(again == mode, "the same window");
    if (again == nullptr) return;

    TypeText(GetDlgItem(mode, kModeBiosPath), (setup.work / "bios" / "board.bin").string());
    TypeText(GetDlgItem(mode, kModePicturePath), (setup.work / "picture" / "varlin-640x480.jpg").string());
    Click(mode, kModeTopLeft);
    WINE_EXPECT(WaitUntil([&] { return ItemChecked(mode, kModeTopLeft); }), "Top Left is chosen");
    Click(mode, kModeFlash);
    if (!AcceptWarning(setup, run, "advanced-warning")) return;
    if (PressUpdate(setup, run, "flash") == nullptr) return;
    CancelFinished(setup, run, "flash-finished");

    std::vector<char> rom;
    WINE_EXPECT(ReadFile(setup.work / "board" / "rom.bin", rom), "the board's ROM");
    constexpr uint16_t kJpegTopLeft = 0x0012;
    LeaveLogoForLha(setup, "flashed-rom", rom, Payload(kJpegTopLeft, PictureData(setup, "varlin-640x480.jpg")));
}

// The Windows version wine reports to programs of this file name, from its
// per-application setting; empty when there is none.
std::string WineVersionFor(const char* program)
{
    const std::string key = std::string("Software\\Wine\\AppDefaults\\") + program;
    HKEY settings = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &settings) != ERROR_SUCCESS) return "";
    char version[32] = {};
    DWORD size = sizeof version - 1;
    const bool read = RegQueryValueExA(settings, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version),
                                       &size) == ERROR_SUCCESS;
    RegCloseKey(settings);
    return read ? version : "";
}

// The program as on Windows 98: the prefix reports version 98 to a program
// named varlin98.exe, and such a board has neither driver nor service, so
// the program reaches it through the BIOS flash SMI (were it to try the
// driver, it would say so in "Error" boxes).  No service message, the start
// page, a Backup equal to the ROM, and an update to Finished.
void Windows98Scenario(const Setup& setup)
{
    const std::string version = WineVersionFor("varlin98.exe");
    WINE_EXPECT(version == "win98", "wine reports Windows 98 to varlin98.exe, not '%s'", version.c_str());
    if (!PrepareProgramFolder(setup, "board-256k")) return;
    std::error_code error;
    fs::copy_file(setup.work / "varlin.exe", setup.work / "varlin98.exe", error);
    const fs::path biosFile = WorkFile(setup, "update.bin");
    fs::copy_file(setup.work / "board" / "rom.bin", biosFile, error);
    WINE_EXPECT(!error, "the program and the update can be copied");
    ProgramRun run;
    if (!StartProgram(setup, run, "varlin98.exe")) return;

    HWND start = ExpectStartPage(setup, run);
    if (start == nullptr) return;
    WINE_EXPECT(FindWindowOf(run.Id(), "Error") == nullptr, "no driver service message");
    Click(start, kStartAdvanced);
    HWND advanced = ExpectWindow(run, "Advanced", "Advanced >> shows the Advanced page");
    if (advanced == nullptr) return;
    BackUpTheRom(setup, run, advanced);
    if (StartUpdate(setup, run, advanced, biosFile, "win98") == nullptr) return;
    CancelFinished(setup, run, "win98-finished");
    std::vector<char> rom;
    std::vector<char> update;
    WINE_EXPECT(ReadFile(setup.work / "board" / "rom.bin", rom) && ReadFile(biosFile, update) && rom == update,
                "the ROM holds the update");
}

// The program on the machine (no --board) without "kordex.sys" beside it:
// the first message names the file and the program's folder, the service's
// own messages follow, the service is gone again and the program ends in
// failure without a page.
void MissingDriverScenario(const Setup& setup)
{
    if (!PrepareProgramFolder(setup, "board-256k")) return;
    ProgramRun run;
    if (!StartProgram(setup, run, "varlin.exe", false)) return;

    // Each message in turn, answered with OK, until the program ends.
    std::vector<std::string> shown;
    DWORD exitCode = 0;
    bool ended = false;
    HWND box = nullptr;
    bool pageShown = false;
    while (shown.size() < 8 && WaitUntil([&] {
               pageShown = pageShown || FindWindowOf(run.Id(), "VARLIN") != nullptr;
               ended = run.WaitForExit(exitCode, 0);
               box = FindWindowOf(run.Id(), "Error");
               return ended || box != nullptr;
           }) &&
           !ended) {
        const std::vector<std::string> texts = StaticTexts(box);
        shown.push_back(texts.empty() ? std::string() : texts.back());
        if (shown.size() == 1) Shot(setup, box, "driver-missing");
        Click(box, kOk);
        WINE_EXPECT(WaitForWindowGone(box), "OK closes the message");
    }
    WINE_EXPECT(ended, "the program ends after its messages");
    WINE_EXPECT(exitCode == EXIT_FAILURE, "exit code %lu, expected %d", exitCode, EXIT_FAILURE);
    std::string folder = setup.work.string();
    if (folder.back() != '\\') folder += '\\';
    const std::string missing =
        "The driver file \"kordex.sys\" is missing.\n\nIt belongs in the program's folder:\n" + folder;
    WINE_EXPECT(!shown.empty() && lstrcmpiA(shown[0].c_str(), missing.c_str()) == 0, "the first message: '%s'",
                shown.empty() ? "" : shown[0].c_str());
    WINE_EXPECT(Contains(shown, "StartService failure!"), "the service's messages follow (%zu in all)", shown.size());
    WINE_EXPECT(!pageShown, "no page was shown");

    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager != nullptr ? OpenServiceA(manager, "Kordex", SERVICE_QUERY_STATUS) : nullptr;
    WINE_EXPECT(service == nullptr, "the service was removed again");
    if (service != nullptr) CloseServiceHandle(service);
    if (manager != nullptr) CloseServiceHandle(manager);
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
        {"easy-mode", EasyModeScenario},
        {"advanced-mode", AdvancedModeScenario},
        {"advanced-flash", AdvancedFlashScenario},
        {"stock-board", StockBoardScenario},
        {"windows-98", Windows98Scenario},
        {"missing-driver", MissingDriverScenario},
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
