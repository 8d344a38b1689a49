#include "cli/RomTarget.h"

#include <filesystem>

#include "cli/OutputChecks.h"
#include "cli/WorkDirectory.h"
#include "hosts/emulated/EmulatedBoard.h"
#if VARLIN_WITH_FLASHROM
#include "hosts/flashrom/FlashromProgrammer.h"
#endif

namespace varlin::cli {

namespace {

#if VARLIN_WITH_FLASHROM
constexpr char kProgrammerHelp[] =
    "Reach a real board's flash chip through flashrom's programmer NAME[:PARAMS] (as flashrom -p takes it: "
    "internal on the board itself, as root; dummy:emulate=VARIABLE_SIZE,size=BYTES,image=FILE for a chip "
    "kept in a file)";
#else
constexpr char kProgrammerHelp[] =
    "Reach a real board's flash chip through a flashrom programmer (not built in: this varlin was built "
    "without libflashrom)";
#endif

}  // namespace

void AddRomTargetOptions(CLI::App& command, RomTarget& target)
{
    CLI::Option* board =
        command.add_option("--board", target.board, "The emulated board's folder (rom.bin, segment.bin, board.conf)");
    CLI::Option* direct = command.add_flag(
        "--direct", target.direct, "Reach the ROM as on Windows 9x (the BIOS flash SMI) instead of through the driver");
    CLI::Option* programmer = command.add_option("--programmer", target.programmer, kProgrammerHelp);
    command
        .add_option("--chip", target.chip,
                    "With --programmer: the chip's name as flashrom knows it, where several definitions match (as "
                    "flashrom -c takes it)")
        ->needs(programmer);
    command
        .add_option("--segment", target.segment,
                    "With --programmer: the BIOS segment (the 64 KiB the BIOS shows at 0xF0000) from FILE instead "
                    "of /dev/mem")
        ->needs(programmer);
    board->excludes(programmer);
    direct->excludes(programmer);
}

void CheckRomTarget(const CLI::App& command, const RomTarget& target)
{
    if (target.board.empty() && target.programmer.empty()) {
        throw CLI::ValidationError(command.get_name(), "give --board DIR or --programmer NAME[:PARAMS]");
    }
}

void MakeTargetPathsAbsolute(RomTarget& target)
{
    if (!target.board.empty()) target.board = AbsolutePath(target.board);
    if (!target.segment.empty()) target.segment = AbsolutePath(target.segment);
#if VARLIN_WITH_FLASHROM
    target.programmer = FlashromProgrammer::WithAbsoluteFiles(target.programmer);
#endif
}

bool OutputSparesTarget(const std::string& output, const RomTarget& target)
{
    if (!target.OnProgrammer()) {
        const std::filesystem::path folder(target.board);
        return OutputSparesInputs(output, {{"the board's flash image", (folder / emulated::kRomFileName).string()},
                                           {"the board's BIOS segment", (folder / emulated::kSegmentFileName).string()},
                                           {"the board's settings", (folder / emulated::kSettingsFileName).string()}});
    }
    if (!OutputSparesInputs(output, {{"the BIOS segment", target.segment}})) return false;
#if VARLIN_WITH_FLASHROM
    for (const std::string& file : FlashromProgrammer::FilesNamedBy(target.programmer)) {
        if (!OutputSparesInputs(output, {{"the programmer's chip image", file}})) return false;
    }
#endif
    return true;
}

}  // namespace varlin::cli
