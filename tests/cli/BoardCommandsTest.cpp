// board create, identify and backup as users run them, and the sample boards.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "hosts/emulated/BoardSettings.h"
#include "tests/support/FlashImages.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::kKiB;
using test::RunVarlin;

class BoardCommandsTest : public ::testing::Test {
protected:
    std::string Bios(uint32_t size, const std::string& name = "bios.bin", std::string_view id = "6A69TEST") const
    {
        return dir.Write(name, test::MakeFlashImage(size, id));
    }

    test::CommandResult Backup(const std::string& board, const std::string& out, bool direct) const
    {
        std::vector<std::string> arguments = {"backup", "--board", board, out};
        if (direct) arguments.push_back("--direct");
        return RunVarlin(arguments);
    }

    test::TempDir dir;
};

TEST_F(BoardCommandsTest, CreateThenIdentify)
{
    const std::string board = dir.File("board");
    test::CommandResult result =
        RunVarlin({"board", "create", "--bios", Bios(256 * kKiB), "--out", board, "--dmi", "--pnp"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "board " + board +
                              ": 256 KiB, chip 0x7C89 INTEL 28F002BX-T /12V, layout 4, blocks 64 KiB x 3, "
                              "32 KiB x 1, 8 KiB x 2, 16 KiB x 1, BIOS \"01/01/2004-EMULATED-6A69TEST-00\"\n");
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), test::ReadFile(dir.File("bios.bin")));
    EXPECT_EQ(test::ReadFile(board + "/segment.bin").size(), 65536u);

    const std::string expected =
        "chip:     0x7C89 INTEL 28F002BX-T /12V\n"
        "rom:      256 KiB at 0xFFFC0000\n"
        "blocks:   64 KiB x 3, 32 KiB x 1, 8 KiB x 2, 16 KiB x 1\n"
        "layout:   4\n"
        "boot:     0xFFFFC000, 16 KiB\n"
        "dmi:      0xFFFF8000, 8 KiB\n"
        "pnp:      0xFFFFA000, 8 KiB\n"
        "main:     224 KiB\n"
        "flags:    flashing under Windows, DMI region, PNP region\n"
        "smi port: 0x00B2\n"
        "bios id:  01/01/20 04-EMULATED-6A69TEST-00\n"
        "rom id:   6A69TEST\n"
        // Noise with an ID, not the modules of a BIOS.
        "rom bios: the ROM does not hold a complete BIOS: flash it again (its chain of "
        "BIOS modules is missing or cut short)\n";
    result = RunVarlin({"identify", "--board", board});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, expected + "mode:     driver\n");
    EXPECT_EQ(result.err, "");
    result = RunVarlin({"identify", "--board", board, "--direct"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, expected + "mode:     direct\n");
}

TEST_F(BoardCommandsTest, CreateOptions)
{
    const std::string board = dir.File("board");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", Bios(512 * kKiB), "--out", board, "--chip", "58bf", "--layout",
                         "6", "--pnp", "--no-windows-flash", "--protect-boot", "--bios-id", "OTHER"})
                  .exitCode,
              0);
    const test::CommandResult result = RunVarlin({"identify", "--board", board});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("chip:     0x58BF SST 49LF004 /3.3V\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("dmi:      none\npnp:      0xFFF90000, 64 KiB\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("flags:    PNP region\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("-EMULATED-OTHER-00\n"), std::string::npos) << result.out;
    const Bytes conf = test::ReadFile(board + "/board.conf");
    EXPECT_NE(std::string(conf.begin(), conf.end()).find("protect = 0xFFFF0000 0x10000\n"), std::string::npos);
}

TEST_F(BoardCommandsTest, CreateRefusesWhatNoBoardHas)
{
    const std::string board = dir.File("board");
    const std::string bios = Bios(256 * kKiB);
    const struct {
        std::vector<std::string> extra;
        int exitCode;
        const char* message;
    } cases[] = {
        {{"--bios", Bios(200 * kKiB, "odd.bin")},
         1,
         "a BIOS image is 128 KiB, 256 KiB, 512 KiB or 1 MiB long, not 204800 bytes\n"},
        {{"--bios", dir.File("missing.bin")}, 1, nullptr},
        {{"--bios", bios, "--layout", "6", "--dmi"},
         1,
         "layout 6 puts the DMI region at 0xFFF80000, outside this 256 KiB ROM\n"},
        {{"--bios", bios, "--layout", "0", "--protect-boot"}, 1, "layout 0 has no Boot region to protect\n"},
        {{"--bios", Bios(256 * kKiB, "noid.bin", "")},
         1,
         "the image has no BIOS ID; give the board one with --bios-id\n"},
        {{"--bios", bios, "--bios-id", "NINECHARS"}, 1, "a BIOS ID has at most 8 characters\n"},
        {{"--bios", bios, "--chip", "XYZ"}, 2, nullptr},
        {{"--bios", bios, "--layout", "256"}, 2, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"board", "create", "--out", board};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        const test::CommandResult result = RunVarlin(arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.extra.back() << result.err;
        if (c.message != nullptr) {
            EXPECT_EQ(result.err, c.message);
        }
        EXPECT_FALSE(test::FileExists(board + "/rom.bin"));
    }
    const test::CommandResult notABoard = RunVarlin({"identify", "--board", dir.File("nothing")});
    EXPECT_EQ(notABoard.exitCode, 1);
    EXPECT_NE(notABoard.err.find("Not a board: "), std::string::npos);
}

TEST_F(BoardCommandsTest, BackupEqualsTheRomInBothModes)
{
    const std::string board = dir.File("board");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", Bios(1024 * kKiB), "--out", board}).exitCode, 0);
    for (bool direct : {false, true}) {
        const std::string out = dir.File(direct ? "direct.bin" : "driver.bin");
        const test::CommandResult result = Backup(board, out, direct);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, "backup " + out + ": 1048576 bytes from 0xFFF00000\n");
        EXPECT_EQ(result.err, "Save Mainboard BIOS [########################################] 100%\n");
        EXPECT_EQ(test::ReadFile(out), test::ReadFile(board + "/rom.bin"));
    }
}

TEST_F(BoardCommandsTest, AFailedBackupLeavesNoFile)
{
    const std::string board = dir.File("board");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", Bios(128 * kKiB), "--out", board}).exitCode, 0);
    {
        Bytes conf = test::ReadFile(board + "/board.conf");
        const std::string fault = "fail = read 0xFFFF8000\n";
        conf.insert(conf.end(), fault.begin(), fault.end());
        dir.Write("board/board.conf", conf);
    }
    for (bool direct : {false, true}) {
        const std::string out = dir.File("out.bin");
        const test::CommandResult result = Backup(board, out, direct);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        // Block 25 of 32 was about to be read.
        EXPECT_EQ(result.err,
                  "Save Mainboard BIOS [###############################.........]  78%\n"
                  "Couldn't read the flash ROM at 0xFFFF8000!\n");
        EXPECT_FALSE(test::FileExists(out));
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            EXPECT_FALSE(entry.path().filename().string().starts_with("out.bin")) << entry.path();  // nor a part
        }
    }
}

TEST_F(BoardCommandsTest, BackupRefusedWhenTheBiosForbidsIt)
{
    const std::string board = dir.File("board");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", Bios(128 * kKiB), "--out", board, "--no-windows-flash"}).exitCode,
              0);
    const test::CommandResult result = Backup(board, dir.File("out.bin"), false);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Your system NOT support flashing under Windows mode!\n");
    EXPECT_FALSE(test::FileExists(dir.File("out.bin")));
}

// Every board of a folder backs up to its rom.bin, through the driver and directly.
void ExpectBackupsEqualRoms(const std::filesystem::path& boards, const test::TempDir& scratch, size_t expected)
{
    size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(boards)) {
        const std::string board = entry.path().string();
        SCOPED_TRACE(board);
        ++seen;
        EXPECT_EQ(RunVarlin({"identify", "--board", board}).exitCode, 0);
        for (bool direct : {false, true}) {
            const std::string out = scratch.File("backup.bin");
            std::vector<std::string> arguments = {"backup", "--board", board, out};
            if (direct) arguments.push_back("--direct");
            const test::CommandResult result = RunVarlin(arguments);
            ASSERT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(test::ReadFile(out), test::ReadFile(board + "/rom.bin"));
        }
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(BoardCommandsTest, SampleBoardScriptMakesEveryBoard)
{
    std::filesystem::create_directory(dir.File("bios"));
    const uint32_t sizes[] = {128 * kKiB, 256 * kKiB, 256 * kKiB, 256 * kKiB, 512 * kKiB, 1024 * kKiB};
    const char* names[] = {"award-128k.bin", "award-256k.bin", "award-256k-stock.bin", "award-256k-stock-split.bin",
                           "award-512k.bin", "award-1m.bin"};
    for (size_t i = 0; i < 6; ++i) Bios(sizes[i], std::string("bios/") + names[i]);

    const test::CommandResult result = test::RunProgram(
        "env", {std::string("VARLIN=") + VARLIN_CLI_PATH, "sh",
                std::string(VARLIN_SOURCE_DIR) + "/samples/make-boards.sh", dir.File("bios"), dir.File("boards")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectBackupsEqualRoms(dir.File("boards"), dir, 9);
}

TEST_F(BoardCommandsTest, ShippedSampleBoards)
{
    const std::filesystem::path boards = VARLIN_SOURCE_DIR "/samples/boards";
    if (!std::filesystem::is_directory(boards)) GTEST_SKIP() << "no sample boards made yet";
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(boards)) ++count;
    ExpectBackupsEqualRoms(boards, dir, count);
}

// What a board holds is its owner's: a folder that holds a board is
// replaced only with --force, a backup never lands on the board's own files,
// and while one run writes a board no other run reads or writes it.
TEST_F(BoardCommandsTest, ABoardIsReplacedOnlyOnPurposeAndUsedByOneWriterAtATime)
{
    const std::string board = dir.File("board");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", Bios(256 * kKiB), "--out", board, "--dmi", "--pnp"}).exitCode, 0);
    Bytes conf = test::ReadFile(board + "/board.conf");
    const std::string fault = "stuck-byte = 0xFFFC0000\n";
    conf.insert(conf.end(), fault.begin(), fault.end());
    dir.Write("board/board.conf", conf);
    const Bytes rom = test::ReadFile(board + "/rom.bin");
    const std::string other = Bios(256 * kKiB, "other.bin", "OTHERBIO");

    test::CommandResult result = RunVarlin({"board", "create", "--bios", other, "--out", board});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, board + " already holds a board; pass --force to replace it.\n");
    EXPECT_EQ(test::ReadFile(board + "/board.conf"), conf);
    std::filesystem::create_symlink(board + "/rom.bin", dir.File("link.bin"));
    for (const std::string& out : {board + "/segment.bin", board + "/rom.bin", dir.File("link.bin")}) {
        result = Backup(board, out, false);
        EXPECT_EQ(result.exitCode, 1) << out;
        EXPECT_TRUE(result.err.ends_with(" itself; give another output file.\n")) << result.err;
    }
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), rom);
    EXPECT_EQ(RunVarlin({"identify", "--board", board}).exitCode, 0);

    // The test holds the board as a run would: a writer shuts everyone out,
    // readers shut out writers only.
    const int held = open(board.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    const std::string busy = "The board " + board + " is in use by another run of varlin; nothing was done.\n";
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    for (const std::vector<std::string>& run : {std::vector<std::string>{"flash", "--board", board, other, "--yes"},
                                                {"identify", "--board", board},
                                                {"backup", "--board", board, dir.File("b.bin")},
                                                {"board", "create", "--bios", other, "--out", board, "--force"}}) {
        result = RunVarlin(run);
        EXPECT_EQ(result.exitCode, 1) << run[0];
        EXPECT_EQ(result.err, busy) << run[0];
    }
    ASSERT_EQ(flock(held, LOCK_SH), 0);
    EXPECT_EQ(RunVarlin({"identify", "--board", board}).exitCode, 0);
    EXPECT_EQ(RunVarlin({"flash", "--board", board, other, "--yes"}).err, busy);
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), rom);
    close(held);

    result = RunVarlin({"board", "create", "--bios", other, "--out", board, "--force"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), test::ReadFile(other));
}

// An update that stopped half-way leaves the segment as it was; identify
// reads the ROM itself and says what became of it.
TEST_F(BoardCommandsTest, IdentifySaysWhenTheRomHoldsNoCompleteBios)
{
    const std::string samples = VARLIN_SOURCE_DIR "/samples";
    const std::string image = dir.File("logo.bin");
    ASSERT_EQ(RunVarlin({"build", "--bios", samples + "/bios/award-256k.bin", "--picture",
                         samples + "/pictures/varlin-640x480.bmp", "--output", image})
                  .exitCode,
              0);
    const std::string incomplete = "the ROM does not hold a complete BIOS: flash it again ";
    const struct {
        const char* fault;
        const char* romId;
        std::string state;
    } cases[] = {
        {"", "VL256K01", "the ROM holds a complete BIOS, the one running"},
        {"fail = program 0xFFFC4000\n", "VL256K01",  // inside the first module
         incomplete + "(its chain of BIOS modules is missing or cut short)"},
        {"fail = erase 0xFFFD0000\n", "VL256K01",  // Main's first block erased, its second not
         incomplete + "(its chain of BIOS modules is missing or cut short)"},
        {"fail = program 0xFFFFE000\n", "(blank)", incomplete + "(its BIOS ID is blank)"},  // half-way through Boot
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        test::TempDir boardDir;
        const std::string board = boardDir.File("board");
        std::filesystem::copy(samples + "/boards/board-256k", board);
        Bytes conf = test::ReadFile(board + "/board.conf");
        conf.insert(conf.end(), c.fault, c.fault + std::strlen(c.fault));
        boardDir.Write("board/board.conf", conf);
        RunVarlin({"flash", "--board", board, image});
        const test::CommandResult result = RunVarlin({"identify", "--board", board});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find("bios id:  01/01/20 04-EMULATED-VL256K01-00\nrom id:   " + std::string(c.romId) +
                                  "\nrom bios: " + c.state + "\n"),
                  std::string::npos)
            << result.out;
    }
}

// board.conf numbers are decimal or 0x-hexadecimal, exactly as written.
TEST(BoardSettingsTest, NumbersAreDecimalOrHexadecimalAndNothingElse)
{
    emulated::BoardSettings settings;
    std::string error;
    ASSERT_TRUE(
        emulated::ParseBoardSettings("smi-level = 010\nprotect-status = 0xA2 # firmware hub\n"
                                     "protect = 0XFFFF0000 65536\n",
                                     settings, error))
        << error;
    EXPECT_EQ(settings.smiLevel, 10);
    EXPECT_EQ(settings.protectStatus, 0xA2);
    ASSERT_EQ(settings.protectedRanges.size(), 1u);
    EXPECT_EQ(settings.protectedRanges[0].start, 0xFFFF0000u);
    EXPECT_EQ(settings.protectedRanges[0].size, 0x10000u);
    for (const std::string& line :
         std::vector<std::string>{"smi-level = +4", "smi-level = -4", "smi-level = 0x", "smi-level = 4x",
                                  "smi-level = 0b1", "smi-level = 256", "chip = 0x10000", "stuck-byte = 1 2",
                                  std::string("smi-level = 4\0junk", 16), std::string("chip = 0x10BF\0", 14)}) {
        EXPECT_FALSE(emulated::ParseBoardSettings(line + "\n", settings, error)) << line;
        EXPECT_TRUE(error.starts_with("line 1")) << error;
    }
}

}  // namespace
}  // namespace varlin
