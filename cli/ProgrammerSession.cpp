// A real board's flash chip through flashrom, behind the ROM device the
// program uses on every board.  flashrom finds and drives the chip; what
// the BIOS's records say decides, as anywhere else, what may be written
// where.  A board whose BIOS has no records, or whose records describe a
// ROM of another size than the chip, is refused before the chip is read.
#include <cstdio>

#include "cli/ConsoleSession.h"
#include "platform/support/Text.h"
#if VARLIN_WITH_FLASHROM
#include "hosts/flashrom/FlashromProgrammer.h"
#endif

namespace varlin::cli {

namespace {

#if VARLIN_WITH_FLASHROM
constexpr char kNoRecords[] =
    "This board's BIOS does not describe the regions of its flash ROM: its segment holds no flash "
    "information record (\"KAFLASH\"). VARLIN cannot check a BIOS file against this board or keep the "
    "board's own data in the ROM, so it does not touch the chip. flashrom itself can program the whole chip.";
constexpr char kSizesDiffer[] =
    "The BIOS's records describe a flash ROM of %u KiB, but flashrom found the chip \"%s\" of %u KiB on %s: "
    "this segment does not belong to this chip. Nothing was done.";
#else
constexpr char kNotBuiltIn[] =
    "--programmer is not built in: this varlin was built without libflashrom (Debian's libflashrom-dev).";
#endif

}  // namespace

#if VARLIN_WITH_FLASHROM

bool ConsoleSession::StartProgrammer(const RomTarget& target, BoardAccess access)
{
    if (!boardLock.AcquireProgrammer(target.programmer, access)) return false;
    std::string error;
    std::unique_ptr<FlashromProgrammer> chip = FlashromProgrammer::Open(
        {target.programmer, target.chip, target.segment},
        [this](const std::string& line) { messages.ShowMessage("flashrom: " + line); }, error);
    if (!chip) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    chipName = chip->ChipName();
    programmerName = chip->ProgrammerName();
    romDevice.UseProgrammer(*chip);
    programmer = std::move(chip);
    if (!romDevice.StartRomAccess()) return false;

    const RomInfo& info = romDevice.romInfo;
    if (!info.flashInfoFound) {
        std::fprintf(stderr, "%s\n", kNoRecords);
        return false;
    }
    if (info.RomSizeBytes() != programmer->ChipSize()) {
        std::fprintf(stderr, "%s\n",
                     FormatText(kSizesDiffer, info.RomSizeBytes() / 1024, chipName.c_str(),
                                programmer->ChipSize() / 1024, programmerName.c_str())
                         .c_str());
        return false;
    }
    return true;
}

#else

bool ConsoleSession::StartProgrammer(const RomTarget&, BoardAccess)
{
    std::fprintf(stderr, "%s\n", kNotBuiltIn);
    return false;
}

#endif

}  // namespace varlin::cli
