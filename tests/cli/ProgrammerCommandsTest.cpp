// identify, backup and flash on a real board's chip as users run them, with
// flashrom's dummy programmer standing for the board: a chip emulated over
// a copy of a sample board's ROM, and the board's segment as the BIOS shows
// it.  Every path is compared with the same command on the emulated board.
#include <gtest/gtest.h>

#include <filesystem>

#include "award/AwardRecords.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

namespace fs = std::filesystem;
using test::CommandResult;
using test::RunVarlin;

const std::string kSamples = VARLIN_SOURCE_DIR "/samples";
const std::string kBoards = kSamples + "/boards/";
constexpr char kVerified[] = "every region programmed and verified";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

#if VARLIN_WITH_FLASHROM

// A chip flashrom's dummy programmer keeps in a file.
struct Chip {
    std::string image;
    std::string programmer;
};

class ProgrammerCommandsTest : public ::testing::Test {
protected:
    // A chip of `size` bytes holding `contents` (a sample board's ROM by default).
    Chip MakeChip(const std::string& name, const Bytes& contents, size_t size = 0) const
    {
        const std::string image = dir.Write(name + "-chip.bin", contents);
        return {image, "dummy:emulate=VARIABLE_SIZE,size=" + std::to_string(size != 0 ? size : contents.size()) +
                           ",image=" + image};
    }
    Chip ChipOf(const std::string& board) const
    {
        return MakeChip(board, test::ReadFile(kBoards + board + "/rom.bin"));
    }

    // The command on `chip`, with the BIOS segment `segment`.
    static CommandResult On(const Chip& chip, const std::string& segment, std::vector<std::string> arguments)
    {
        arguments.insert(arguments.end(), {"--programmer", chip.programmer, "--segment", segment});
        return RunVarlin(arguments);
    }
    static std::string SegmentOf(const std::string& board) { return kBoards + board + "/segment.bin"; }

    // A copy of a sample board, for the same command through --board.
    std::string CopyBoard(const std::string& board) const
    {
        std::string copy = dir.File(board + "-board");
        fs::copy(kBoards + board, copy);
        return copy;
    }

    // The board's image turned into another BIOS for it: every byte differs
    // but the size code, the BIOS ID and the extra-region record the checks
    // read from a file.
    std::string NewBiosFor(const std::string& board) const
    {
        const Bytes rom = test::ReadFile(kBoards + board + "/rom.bin");
        Bytes file = rom;
        for (uint8_t& byte : file) byte ^= 0x5A;
        const auto restore = [&](size_t offset, size_t length) {
            std::copy_n(rom.begin() + static_cast<long>(offset), length, file.begin() + static_cast<long>(offset));
        };
        restore(rom.size() - award::kSizeCodeFromEnd, 1);
        restore(rom.size() - award::kBiosIdFromEnd, award::kBiosIdLength);
        if (rom.size() >= 0x80000) restore(0x60000, 8);
        return dir.Write(board + "-new.bin", file);
    }

    test::TempDir dir;
};

TEST_F(ProgrammerCommandsTest, IdentifyAgreesWithTheBoard)
{
    for (const char* board : {"board-128k", "board-256k", "board-512k", "board-1m", "board-fwh"}) {
        SCOPED_TRACE(board);
        const Chip chip = ChipOf(board);
        const CommandResult onBoard = RunVarlin({"identify", "--board", kBoards + board});
        const CommandResult onChip = On(chip, SegmentOf(board), {"identify"});
        ASSERT_EQ(onBoard.exitCode, 0) << onBoard.err;
        ASSERT_EQ(onChip.exitCode, 0) << onChip.err;

        // The board's lines, with what flashrom found after the chip, what
        // the Windows flag means here after the flags, and the mode.
        std::string expected;
        std::istringstream lines(onBoard.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("mode:")) line = "mode:     flashrom";
            expected += line + "\n";
            if (line.starts_with("chip:")) {
                expected += "flashrom: Opaque flash chip, " + std::to_string(test::ReadFile(chip.image).size() / 1024) +
                            " KiB, on dummy\n";
            }
            if (line.starts_with("flags:")) {
                expected +=
                    "windows:  the BIOS allows flashing under Windows; that flag is for its own flash "
                    "service, which flashrom does not use\n";
            }
        }
        EXPECT_EQ(onChip.out, expected);
        EXPECT_EQ(test::ReadFile(chip.image), test::ReadFile(kBoards + board + "/rom.bin"));
    }
}

TEST_F(ProgrammerCommandsTest, BackupEqualsTheChip)
{
    for (const char* board : {"board-128k", "board-512k", "board-1m"}) {
        SCOPED_TRACE(board);
        const Chip chip = ChipOf(board);
        const std::string out = dir.File(std::string(board) + "-backup.bin");
        const CommandResult result = On(chip, SegmentOf(board), {"backup", out});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(test::ReadFile(out), test::ReadFile(chip.image));
        EXPECT_EQ(test::ReadFile(chip.image), test::ReadFile(kBoards + board + "/rom.bin"));
    }
    // The chip's own file is no place for its backup.
    const Chip chip = ChipOf("board-256k");
    const CommandResult result = On(chip, SegmentOf("board-256k"), {"backup", chip.image});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, chip.image + " is the programmer's chip image itself; give another output file.\n");
}

// The chip ends as the board does: the file's bytes outside what the update
// keeps (the ROM's DMI data, and on the 512 KiB board the extra region above
// PNP), and those as they were.
TEST_F(ProgrammerCommandsTest, FlashWritesTheFileAndKeepsWhatTheBoardKeeps)
{
    struct Kept {
        const char* board;
        size_t offset;
        size_t size;
    };
    for (const Kept& kept : {Kept{"board-256k", 0x38000, 0x2000}, Kept{"board-512k", 0x20000, 0x10000}}) {
        SCOPED_TRACE(kept.board);
        const std::string file = NewBiosFor(kept.board);
        const std::string board = CopyBoard(kept.board);
        ASSERT_EQ(RunVarlin({"flash", "--board", board, file}).exitCode, 0);

        const Chip chip = ChipOf(kept.board);
        const CommandResult result = On(chip, SegmentOf(kept.board), {"flash", file});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, "flashed " + file + " into the chip \"Opaque flash chip\" on dummy: " + kVerified + "\n");
        const Bytes after = test::ReadFile(chip.image);
        EXPECT_EQ(after, test::ReadFile(board + "/rom.bin"));

        const Bytes original = test::ReadFile(kBoards + kept.board + "/rom.bin");
        Bytes expected = test::ReadFile(file);
        std::copy_n(original.begin() + static_cast<long>(kept.offset), kept.size,
                    expected.begin() + static_cast<long>(kept.offset));
        EXPECT_EQ(after, expected);
    }
}

TEST_F(ProgrammerCommandsTest, APictureIsBuiltIntoTheChipsOwnBios)
{
    const std::string picture = kSamples + "/pictures/varlin-640x480.bmp";
    const std::string board = CopyBoard("board-stock");
    ASSERT_EQ(RunVarlin({"flash", "--board", board, "--picture", picture}).exitCode, 0);
    const Chip chip = ChipOf("board-stock");
    const CommandResult result = On(chip, SegmentOf("board-stock"), {"flash", "--picture", picture});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.ends_with("into the chip \"Opaque flash chip\" on dummy: " + std::string(kVerified) + "\n"))
        << result.out;
    EXPECT_EQ(test::ReadFile(chip.image), test::ReadFile(board + "/rom.bin"));
    EXPECT_NE(test::ReadFile(chip.image), test::ReadFile(kBoards + "board-stock/rom.bin"));
}

// The BIOS's "flashing under Windows" flag speaks of its own flash service:
// identify shows it and says so, and backup and flash go on.
TEST_F(ProgrammerCommandsTest, TheWindowsFlagDoesNotStopTheProgrammer)
{
    const std::string board = dir.File("no-windows");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", kSamples + "/bios/award-256k.bin", "--out", board, "--dmi",
                         "--pnp", "--no-windows-flash"})
                  .exitCode,
              0);
    const Chip chip = MakeChip("no-windows", test::ReadFile(board + "/rom.bin"));
    const std::string segment = board + "/segment.bin";

    CommandResult result = On(chip, segment, {"identify"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out,
                         "\nflags:    DMI region, PNP region\nwindows:  the BIOS forbids flashing under "
                         "Windows; that flag is for its own flash service, which flashrom does not use, "
                         "so backup and flash go on\n"))
        << result.out;
    result = On(chip, segment, {"backup", dir.File("backup.bin")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::ReadFile(dir.File("backup.bin")), test::ReadFile(chip.image));
    result = On(chip, segment, {"flash", kSamples + "/bios/award-256k-stock.bin", "--yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, kVerified));
}

struct Refusal {
    const char* name;
    const char* segment;  // the sample board whose segment the BIOS shows; empty: one without records
    size_t chipSize;      // of the chip, which holds the start of board-256k's ROM
    std::string file;
    std::string message;  // what the refusal ends with
    bool identifyRefuses;
};

// Refused before the chip is written: the chip's file stays as it was.
// Identification itself refuses a chip its records do not describe.
TEST_F(ProgrammerCommandsTest, RefusalsLeaveTheChipAlone)
{
    const Bytes image = test::ReadFile(kSamples + "/bios/award-256k.bin");
    const std::string noRecords = dir.Write("no-records.bin", Bytes(image.end() - 0x10000, image.end()));
    const std::string sizeDiffers =
        "The BIOS's records describe a flash ROM of %s KiB, but flashrom found the chip \"Opaque flash chip\" of %s "
        "KiB on dummy: this segment does not belong to this chip. Nothing was done.\n";
    const auto sizes = [&sizeDiffers](const std::string& records, const std::string& chip) {
        std::string text = sizeDiffers;
        text.replace(text.find("%s"), 2, records);
        text.replace(text.find("%s"), 2, chip);
        return text;
    };
    const std::vector<Refusal> refusals = {
        {"a file with another BIOS ID", "board-256k", 0x40000, kSamples + "/bios/award-256k-stock.bin",
         "  BIOS ID error!\n  This BIOS is not fit for your mainboard.\n  Are you sure to program ?\n\nno\n", false},
        {"a file of another size", "board-256k", 0x40000, kSamples + "/bios/award-512k.bin",
         "  Size of BIOS file is not match with\n   ROM size on mainboard.\n\n", false},
        {"a chip larger than the records say", "board-256k", 0x80000, kSamples + "/bios/award-256k.bin",
         sizes("256", "512"), true},
        {"a chip smaller than the file", "board-512k", 0x40000, kSamples + "/bios/award-512k.bin", sizes("512", "256"),
         true},
        {"a BIOS without records", "", 0x40000, kSamples + "/bios/award-256k.bin",
         "This board's BIOS does not describe the regions of its flash ROM: its segment holds no flash information "
         "record (\"KAFLASH\"). VARLIN cannot check a BIOS file against this board or keep the board's own data "
         "in the ROM, so it does not touch the chip. flashrom itself can program the whole chip.\n",
         true},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        Bytes contents = test::ReadFile(kBoards + "board-256k/rom.bin");
        contents.resize(refusal.chipSize, 0xFF);
        const Chip chip = MakeChip("refused", contents);
        const std::string segment = refusal.segment[0] != '\0' ? SegmentOf(refusal.segment) : noRecords;

        CommandResult result = On(chip, segment, {"flash", refusal.file, "--no"});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.ends_with(refusal.message)) << result.err;
        result = On(chip, segment, {"identify"});
        EXPECT_EQ(result.exitCode, refusal.identifyRefuses ? 1 : 0) << result.err;
        if (refusal.identifyRefuses) {
            EXPECT_EQ(result.err, refusal.message);
        }
        EXPECT_EQ(test::ReadFile(chip.image), contents);
    }
}

// A chip that refuses every byte program: flashrom erases and fails, and
// the update says which region it was writing and what the chip now holds.
TEST_F(ProgrammerCommandsTest, AWriteThatFailsIsAFailureThatNamesItsRegion)
{
    const Bytes rom = test::ReadFile(kBoards + "board-512k/rom.bin");
    const std::string image = dir.Write("sst-chip.bin", rom);
    const std::string programmer = "dummy:emulate=SST25VF040.REMS,spi_blacklist=0x02,image=" + image;
    const std::string file = NewBiosFor("board-512k");

    // Two definitions fit the emulated chip; flashrom's name for it decides.
    CommandResult result = RunVarlin({"flash", "--programmer", programmer, "--segment", SegmentOf("board-512k"), file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(
        result.err.ends_with("Several flash chip definitions match the chip on dummy (SST25LF040A, "
                             "SST25VF040): name the one fitted with --chip.\n"))
        << result.err;
    EXPECT_EQ(test::ReadFile(image), rom);

    result = RunVarlin(
        {"flash", "--programmer", programmer, "--chip", "SST25VF040", "--segment", SegmentOf("board-512k"), file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(Contains(result.err, "verified")) << result.err;
    EXPECT_TRUE(Contains(result.err, "\nflashrom: "));
    EXPECT_TRUE(Contains(result.err,
                         "\nCouldn't program the flash ROM at 0xFFF80000!\nCouldn't program the DMI "
                         "block!\nThe BIOS update is incomplete.\n"))
        << result.err;
    EXPECT_TRUE(result.err.ends_with("The computer may not start until a BIOS file has been programmed completely.\n"));
    EXPECT_NE(test::ReadFile(image), rom);
}

TEST_F(ProgrammerCommandsTest, TheProgrammerGoesWithItsOwnOptionsOnly)
{
    const Chip chip = ChipOf("board-256k");
    for (const std::vector<std::string>& arguments : {
             std::vector<std::string>{"identify", "--board", kBoards + "board-256k", "--programmer", chip.programmer},
             std::vector<std::string>{"backup", "--programmer", chip.programmer, "--direct", dir.File("b.bin")},
             std::vector<std::string>{"identify", "--board", kBoards + "board-256k", "--chip", "SST25VF040"},
             std::vector<std::string>{"flash", "--board", kBoards + "board-256k", "--segment", SegmentOf("board-256k"),
                                      kSamples + "/bios/award-256k.bin"},
             std::vector<std::string>{"identify"},
         }) {
        EXPECT_EQ(RunVarlin(arguments).exitCode, 2) << arguments[1] << " " << arguments.back();
    }
    EXPECT_EQ(test::ReadFile(chip.image), test::ReadFile(kBoards + "board-256k/rom.bin"));
}

#else

TEST(ProgrammerCommandsTest, TheProgrammerIsNotBuiltIn)
{
    const CommandResult result = RunVarlin({"identify", "--programmer", "internal"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "--programmer is not built in: this varlin was built without libflashrom (Debian's libflashrom-dev).\n");
    EXPECT_TRUE(Contains(RunVarlin({"identify", "--help"}).out, "not built in"));
}

#endif

}  // namespace
}  // namespace varlin
