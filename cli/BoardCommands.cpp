// board create, identify and backup: emulated boards and the ROM device the
// program uses, in driver mode or (--direct) in direct mode, or a real
// board's chip through a flashrom programmer.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "biosfile/BackupFiles.h"
#include "award/BiosId.h"
#include "cli/Commands.h"
#include "cli/ConsoleSession.h"
#include "cli/RomTarget.h"
#include "cli/WorkDirectory.h"
#include "award/AwardRecords.h"
#include "flash/ChipCatalogue.h"
#include "award/AwardImage.h"
#include "platform/support/Text.h"
#include "hosts/emulated/BoardMaker.h"

namespace varlin::cli {

namespace {

struct BoardCreateRequest {
    std::string bios;
    std::string out;
    std::string chip;
    int layout = -1;
    std::string biosId;
    bool noWindowsFlash = false;
    bool force = false;
    emulated::BoardOptions options;
};

bool HoldsBoard(const std::string& directory)
{
    std::error_code error;
    for (const char* name : {emulated::kRomFileName, emulated::kSegmentFileName, emulated::kSettingsFileName}) {
        if (std::filesystem::exists(std::filesystem::path(directory) / name, error)) return true;
    }
    return false;
}

bool ParseChipId(const std::string& text, uint16_t& chipId)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || end == text.c_str() || *end != '\0' || value > 0xFFFF) return false;
    chipId = static_cast<uint16_t>(value);
    return true;
}

std::string BlockTableText(const std::array<uint8_t, 20>& table)
{
    std::string text;
    for (size_t pair = 0; pair < table.size() && table[pair + 1] != 0; pair += 2) {
        text += FormatText("%s%u KiB x %u", text.empty() ? "" : ", ", table[pair], table[pair + 1]);
    }
    return text.empty() ? "none" : text;
}

int RunBoardCreate(BoardCreateRequest& request)
{
    emulated::BoardOptions& options = request.options;
    if (!request.chip.empty()) {
        uint16_t chipId = 0;
        if (!ParseChipId(request.chip, chipId)) {
            std::fprintf(stderr, "--chip takes a 16-bit hexadecimal chip id such as 0x7C89\n");
            return kExitUsage;
        }
        options.chipId = chipId;
    }
    if (request.layout >= 0) options.layout = static_cast<uint8_t>(request.layout);
    if (!request.biosId.empty()) options.biosId = request.biosId;
    options.flashInWindows = !request.noWindowsFlash;

    // A board's ROM and fault lines are its history: replacing them takes
    // --force, and never while another run uses the board.
    BoardLock lock;
    if (!lock.Acquire(request.out, BoardAccess::Write)) return kExitFailure;
    if (!request.force && HoldsBoard(request.out)) {
        std::fprintf(stderr, "%s already holds a board; pass --force to replace it.\n", request.out.c_str());
        return kExitFailure;
    }

    emulated::BoardSummary summary;
    std::string error;
    if (!emulated::CreateBoard(request.bios, request.out, options, summary, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailure;
    }
    const char* name = ChipName(summary.chipId);
    std::printf("board %s: %u KiB, chip 0x%04X %s, layout %u, blocks %s, BIOS \"%s\"\n", request.out.c_str(),
                summary.romSize / 1024, summary.chipId, name != nullptr ? name : "(not in the catalogue)",
                summary.layout, BlockTableText(summary.blockTable).c_str(), summary.identification.c_str());
    return kExitSuccess;
}

struct BoardRequest {
    RomTarget target;
    std::string output;
};

std::string RegionText(uint32_t start, uint32_t size)
{
    return size == 0 ? "none" : FormatText("0x%08X, %u KiB", start, size / 1024);
}

std::string FlagsText(const RomInfo& info)
{
    std::string text;
    const auto add = [&text](bool set, const char* name) {
        if (set) text += (text.empty() ? "" : ", ") + std::string(name);
    };
    add(info.flashInWindowsAllowed, "flashing under Windows");
    add(info.hasDmiRegion, "DMI region");
    add(info.hasPnpRegion, "PNP region");
    return text.empty() ? "none" : text;
}

// Whether the ROM itself holds a whole BIOS, as far as its own bytes tell:
// the segment shows the BIOS that was running when the board started, so a
// ROM rewritten since, or left half-written by an update that stopped, is
// found only in the ROM.  An update writes Boot last, from its lowest block
// up, and the Main region from the image's first byte (where the member
// chain starts) up; a stop at any point leaves one of these marks: a blank
// BIOS ID, an erased Boot block, or a chain whose first member is missing
// or one of whose members lacks the zero byte that closes it.
std::string RomCheckText(RomDevice& rom, const std::string& romId)
{
    const RomInfo& info = rom.romInfo;
    Bytes image(info.RomSizeBytes());
    if (image.empty() || !rom.ReadRom(info.romBase, image.data(), static_cast<uint32_t>(image.size()))) {
        return "the ROM could not be read";
    }
    const auto blank = [](auto first, auto last) {
        return std::all_of(first, last, [](uint8_t b) { return b == 0xFF; });
    };
    std::string broken;
    if (romId.empty()) broken = "its BIOS ID is blank";
    uint32_t block = 0;
    const uint64_t bootEnd = uint64_t{info.bootStart} + info.bootSize;
    for (uint64_t at = info.bootStart; broken.empty() && at < bootEnd;) {
        const uint32_t size = rom.BlockStartingAt(at, block) ? rom.BlockSize(block) : 0;
        if (size == 0 || at < info.romBase) break;
        const auto first = image.begin() + static_cast<long>(at - info.romBase);
        if (blank(first, first + std::min<uint64_t>(size, image.end() - first))) {
            broken = FormatText("its Boot block at 0x%08X is erased", static_cast<unsigned>(at));
        }
        at += size;
    }
    const AwardImage layout = ReadAwardImage(image);
    const bool chainWhole =
        layout.HasRun() && layout.runStart == 0 &&
        std::all_of(layout.members.begin(), layout.members.end(), [&image](const ImageMember& member) {
            const uint64_t closing = member.offset + member.header.ArchiveLength() - 1;
            return closing < image.size() && image[closing] == 0x00;
        });
    if (broken.empty() && !chainWhole) broken = "its chain of BIOS modules is missing or cut short";
    if (!broken.empty()) return "the ROM does not hold a complete BIOS: flash it again (" + broken + ")";
    if (rom.BiosIdRest().find(romId) == std::string::npos) {
        return "the ROM holds the BIOS " + romId + ", not the one running; it starts with the next boot";
    }
    return "the ROM holds a complete BIOS, the one running";
}

// The BIOS's "flashing under Windows" flag speaks of its own flash
// service, which a programmer does not use: shown, never obeyed here.
std::string WindowsFlagText(const RomInfo& info)
{
    return info.flashInWindowsAllowed ? "the BIOS allows flashing under Windows; that flag is for its own flash "
                                        "service, which flashrom does not use"
                                      : "the BIOS forbids flashing under Windows; that flag is for its own flash "
                                        "service, which flashrom does not use, so backup and flash go on";
}

int RunIdentify(const BoardRequest& request)
{
    ConsoleSession session;
    const RomTarget& target = request.target;
    if (!session.Start(target, BoardAccess::Read)) return kExitFailure;
    RomDevice& rom = session.romDevice;
    const RomInfo& info = rom.romInfo;
    const char* name = ChipName(info.chipId);
    std::printf("chip:     0x%04X %s\n", info.chipId, name != nullptr ? name : "(not in the catalogue)");
    if (target.OnProgrammer()) {
        std::printf("flashrom: %s, %u KiB, on %s\n", session.chipName.c_str(), session.programmer->ChipSize() / 1024,
                    session.programmerName.c_str());
    }
    if (!info.flashInfoFound) {
        std::fprintf(stderr, "The BIOS segment holds no flash information record (\"KAFLASH\").\n");
        return kExitFailure;
    }
    std::printf("rom:      %u KiB at 0x%08X\n", info.RomSizeBytes() / 1024, info.romBase);
    std::printf("blocks:   %s\n", BlockTableText(info.blockTable).c_str());
    std::printf("layout:   %u\n", info.layoutType);
    std::printf("boot:     %s\n", RegionText(info.bootStart, info.bootSize).c_str());
    std::printf("dmi:      %s\n", RegionText(info.dmiStart, info.dmiSize).c_str());
    std::printf("pnp:      %s\n", RegionText(info.pnpStart, info.pnpSize).c_str());
    std::printf("main:     %u KiB\n", info.mainSize / 1024);
    std::printf("flags:    %s\n", FlagsText(info).c_str());
    if (target.OnProgrammer()) std::printf("windows:  %s\n", WindowsFlagText(info).c_str());
    std::printf("smi port: 0x%04X\n", info.smiPort);
    std::printf("bios id:  %s %s\n", rom.BiosIdPrefix().c_str(), rom.BiosIdRest().c_str());
    // Erased flash reads 0xFF: such an ID is no ID.
    uint8_t idLine[kordex::kLineSize];
    std::string romId;
    if (rom.ReadRom(award::kBiosIdAddress, idLine, sizeof idLine) &&
        !std::all_of(idLine, idLine + award::kBiosIdLength, [](uint8_t b) { return b == 0xFF; })) {
        romId = BiosIdText(idLine);
    }
    std::printf("rom id:   %s\n", romId.empty() ? "(blank)" : romId.c_str());
    std::printf("rom bios: %s\n", RomCheckText(rom, romId).c_str());
    if (target.OnProgrammer()) {
        std::printf("mode:     flashrom\n");
    } else {
        std::printf("mode:     %s\n", info.DriverMode() ? "driver" : "direct");
    }
    return kExitSuccess;
}

int RunBackup(const BoardRequest& request)
{
    ConsoleSession session;
    const std::string output = AbsolutePath(request.output);
    if (!OutputSparesTarget(output, request.target)) return kExitFailure;
    session.fileDialogs.presetPath = output;
    if (!session.Start(request.target, BoardAccess::Read)) return kExitFailure;
    BackupFiles files(session.romDevice, session.platform);
    ConsoleBackupDialog dialog(session.progress);
    if (!files.CreateBackupFile(dialog)) return kExitFailure;
    const RomInfo& info = session.romDevice.romInfo;
    std::printf("backup %s: %u bytes from 0x%08X\n", files.backupFilePath.c_str(), info.RomSizeBytes(), info.romBase);
    return kExitSuccess;
}

}  // namespace

void AddBoardCommands(CLI::App& app, CommandAction& action)
{
    CLI::App* board = app.add_subcommand("board", "Emulated boards: a flash ROM image and its BIOS segment.");
    board->require_subcommand(1);
    auto create = std::make_shared<BoardCreateRequest>();
    CLI::App* createCommand = board->add_subcommand(
        "create",
        "Make a board from a BIOS image of 128 KiB, 256 KiB, 512 KiB or 1 MiB: rom.bin is the image, "
        "segment.bin carries the flash records, board.conf the chip and its faults.");
    createCommand->add_option("--bios", create->bios, "The BIOS image")->required();
    createCommand
        ->add_option("--out", create->out,
                     "The board's folder (made when missing; a folder that "
                     "holds a board is replaced only with --force)")
        ->required();
    createCommand->add_option("--chip", create->chip,
                              "Flash chip id in hexadecimal, maker code in the low byte (default by size: "
                              "9489, 7C89, D7BF, AC89)");
    createCommand->add_option("--layout", create->layout, "Region layout 0-255 (default by size: 1, 4, 6, 4)")
        ->check(CLI::Range(0, 255));
    createCommand->add_flag("--dmi", create->options.dmiRegion, "The layout's DMI region exists");
    createCommand->add_flag("--pnp", create->options.pnpRegion, "The layout's PNP region exists");
    createCommand->add_flag("--no-windows-flash", create->noWindowsFlash,
                            "The BIOS forbids flashing under Windows (backup and update refuse)");
    createCommand->add_flag("--protect-boot", create->options.protectBoot,
                            "The Boot region is write-protected: it refuses erase and program");
    createCommand->add_option("--bios-id", create->biosId,
                              "The BIOS ID (at most 8 characters) the board reports instead of the image's");
    createCommand->add_flag("--force", create->force, "Replace the board the folder already holds");
    createCommand->callback([create, &action] { action = [create] { return RunBoardCreate(*create); }; });

    auto identify = std::make_shared<BoardRequest>();
    CLI::App* identifyCommand = app.add_subcommand(
        "identify",
        "Identify a board's flash ROM as the program does: chip, ROM size and base, block table, regions, flags "
        "and BIOS ID, from the BIOS segment's records; with --programmer also the chip flashrom found, whose size "
        "the records must describe.");
    AddRomTargetOptions(*identifyCommand, identify->target);
    identifyCommand->callback([identify, identifyCommand, &action] {
        CheckRomTarget(*identifyCommand, identify->target);
        action = [identify] { return RunIdentify(*identify); };
    });

    auto backup = std::make_shared<BoardRequest>();
    CLI::App* backupCommand =
        app.add_subcommand("backup",
                           "Copy a board's whole flash ROM into a file, with a progress bar. A backup "
                           "that fails leaves no file behind.");
    AddRomTargetOptions(*backupCommand, backup->target);
    backupCommand->add_option("OUT", backup->output, "The backup file")->required();
    backupCommand->callback([backup, backupCommand, &action] {
        CheckRomTarget(*backupCommand, backup->target);
        action = [backup] { return RunBackup(*backup); };
    });
}

}  // namespace varlin::cli
