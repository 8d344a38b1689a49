// varlin flash as users run it: every sample board takes a BIOS with a new
// logo in both modes and backs up to exactly that image; the Easy path
// builds the board's own BIOS; every injected fault exits non-zero.
#include <gtest/gtest.h>

#include <filesystem>

#include "award/AwardRecords.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/BiosImages.h"
#include "tests/support/Pictures.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

namespace fs = std::filesystem;
using test::RunVarlin;

const std::string kSamples = VARLIN_SOURCE_DIR "/samples";
const std::string kBitmap = kSamples + "/pictures/varlin-640x480.bmp";
constexpr char kMayNotStart[] = "The computer may not start until a BIOS file has been programmed completely.\n";

// A copy of a shipped sample board, which the tests must never change.
std::string CopyBoard(const test::TempDir& dir, const std::string& name, const std::string& faults = "")
{
    std::string board = dir.File(name);
    fs::copy(kSamples + "/boards/" + name, board);
    if (!faults.empty()) {
        Bytes conf = test::ReadFile(board + "/board.conf");
        conf.insert(conf.end(), faults.begin(), faults.end());
        dir.Write(name + "/board.conf", conf);
    }
    return board;
}

std::vector<std::string> WithMode(std::vector<std::string> arguments, bool direct)
{
    if (direct) arguments.push_back("--direct");
    return arguments;
}

Bytes BackUp(const std::string& board, const std::string& out)
{
    const test::CommandResult result = RunVarlin({"backup", "--board", board, out});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return test::ReadFile(out);
}

void ExpectLogoDecodes(const test::TempDir& dir, const std::string& image, const Bytes& payload)
{
    const Bytes member = test::LogoMemberOf(image);
    ASSERT_FALSE(member.empty()) << image;
    EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", member), payload), "");
}

class FlashCommandTest : public ::testing::TestWithParam<bool> {
protected:
    test::TempDir dir;
};

INSTANTIATE_TEST_SUITE_P(BothModes, FlashCommandTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& mode) { return mode.param ? "Direct" : "Driver"; });

TEST_P(FlashCommandTest, EverySampleBoardTakesABiosWithANewLogo)
{
    const Bytes payload = test::CentredBitmapPayload(test::ReadFile(kBitmap));
    const Bytes stockLogo = test::StockLogoOf(test::ReadFile(kBitmap));  // the stock board's own format
    size_t boards = 0;
    for (const auto& entry : fs::directory_iterator(kSamples + "/boards")) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ++boards;
        const Bytes shipped = test::ReadFile(entry.path().string() + "/rom.bin");
        const std::string board = CopyBoard(dir, name);
        const Bytes original = BackUp(board, dir.File(name + "-original.bin"));
        const std::string built = dir.File(name + "-built.bin");
        ASSERT_EQ(
            RunVarlin({"build", "--bios", dir.File(name + "-original.bin"), "--picture", kBitmap, "--output", built})
                .exitCode,
            0);

        const test::CommandResult result = RunVarlin(WithMode({"flash", "--board", board, built}, GetParam()));
        const Bytes after = BackUp(board, dir.File(name + "-after.bin"));
        const Bytes image = test::ReadFile(built);
        ASSERT_EQ(after.size(), image.size());
        if (name == "board-sst-protected") {
            // Its locked boot block keeps the old 64 KiB; the rest is new.
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_TRUE(
                result.err.ends_with("The Boot block is write-protected!\nThe BIOS update is incomplete.\n"
                                     "Already rewritten: DMI, PNP, Main.\nNot changed: Boot.\n" +
                                     std::string(kMayNotStart)))
                << result.err;
            const long boot = static_cast<long>(after.size() - 0x10000);
            EXPECT_TRUE(std::equal(after.begin(), after.begin() + boot, image.begin()));
            EXPECT_TRUE(std::equal(after.begin() + boot, after.end(), original.begin() + boot));
        } else {
            EXPECT_EQ(result.exitCode, 0) << result.err;
            EXPECT_EQ(result.out, "flashed " + built + " into " + board + ": every region programmed and verified\n");
            EXPECT_EQ(after, image);
        }
        ExpectLogoDecodes(dir, dir.File(name + "-after.bin"), name.starts_with("board-stock") ? stockLogo : payload);
        EXPECT_EQ(test::ReadFile(entry.path().string() + "/rom.bin"), shipped);
    }
    EXPECT_EQ(boards, 9u);
}

// Where a layout puts the DMI region, for boards that have one.
struct DmiArea {
    uint8_t firstLayout;
    uint8_t lastLayout;
    uint32_t start;
    uint32_t size;
};
constexpr DmiArea kDmiAreas[] = {{1, 2, 0xFFFFC000, 0x1000}, {4, 5, 0xFFFF8000, 0x2000}, {6, 6, 0xFFF80000, 0x10000}};
constexpr uint32_t kExtraRegion = 0xFFFA0000;  // layout 6: 64 KiB above the PNP region at 0xFFF90000

bool Holds(const Bytes& rom, size_t offset, std::string_view text)
{
    return offset + text.size() <= rom.size() &&
           std::equal(text.begin(), text.end(), rom.begin() + static_cast<long>(offset));
}

// What an update must keep of the ROM: the DMI data (a DMI area that starts
// with "IMD$"), and on a board of layout 6 the extra region above the PNP
// region when the file announces it ("*BS1" with its flag) and the ROM
// holds neither an option ROM nor an LHA member there.  Offsets in the ROM.
std::vector<std::pair<size_t, size_t>> KeptAreas(const Bytes& rom, const Bytes& file, uint8_t layout, bool dmi)
{
    std::vector<std::pair<size_t, size_t>> kept;
    const uint32_t romBase = static_cast<uint32_t>((uint64_t{1} << 32) - rom.size());
    for (const DmiArea& area : kDmiAreas) {
        if (dmi && layout >= area.firstLayout && layout <= area.lastLayout && area.start >= romBase &&
            Holds(rom, area.start - romBase, "IMD$")) {
            kept.emplace_back(area.start - romBase, area.size);
        }
    }
    const size_t extra = kExtraRegion - static_cast<size_t>(romBase);
    if (layout == 6 && file.size() >= 0x80000 && Holds(file, 0x60000, "*BS1") && (file[0x60006] & 0x08) != 0 &&
        !Holds(rom, extra, "\x55\xAA") && !Holds(rom, extra + 2, "-lh5-")) {
        kept.emplace_back(extra, 0x10000);
    }
    return kept;
}

// Every layout on every sample image, with and without a DMI region: a
// flash that exits 0 leaves the ROM equal to the file outside what it must
// keep, and that as it was; one that is refused leaves the ROM untouched.
TEST_P(FlashCommandTest, EveryLayoutOfEverySampleImageIsProgrammedAsTheFileSays)
{
    size_t flashed = 0;
    size_t refused = 0;
    for (const char* sample : {"award-128k.bin", "award-256k.bin", "award-512k.bin", "award-1m.bin"}) {
        const Bytes image = test::ReadFile(kSamples + "/bios/" + sample);
        // A file unlike the ROM in every byte but the size code, the BIOS ID
        // and the extra-region record the checks read from it.
        Bytes file = image;
        for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(file[i] ^ 0x5A);
        const auto restore = [&](size_t offset, size_t length) {
            std::copy_n(image.begin() + static_cast<long>(offset), length, file.begin() + static_cast<long>(offset));
        };
        restore(image.size() - award::kSizeCodeFromEnd, 1);
        restore(image.size() - award::kBiosIdFromEnd, award::kBiosIdLength);
        if (image.size() >= 0x80000) restore(0x60000, 8);
        const std::string filePath = dir.Write(std::string("new-") + sample, file);

        for (int layout = 0; layout <= 7; ++layout) {
            for (const bool dmi : {true, false}) {
                SCOPED_TRACE(std::string(sample) + " layout " + std::to_string(layout) + (dmi ? " with DMI" : ""));
                const std::string board = dir.File("board");
                fs::remove_all(board);
                std::vector<std::string> create = {"board", "create", "--bios",   kSamples + "/bios/" + sample,
                                                   "--out", board,    "--layout", std::to_string(layout),
                                                   "--pnp"};
                if (dmi) create.push_back("--dmi");
                if (RunVarlin(create).exitCode != 0) continue;  // a layout this ROM size cannot have

                const test::CommandResult result =
                    RunVarlin(WithMode({"flash", "--board", board, filePath}, GetParam()));
                const Bytes after = test::ReadFile(board + "/rom.bin");
                ASSERT_EQ(after.size(), image.size());
                if (result.exitCode != 0) {
                    ++refused;
                    EXPECT_EQ(after, image);
                    EXPECT_TRUE(result.err.ends_with("The flash ROM was not changed.\n")) << result.err;
                    continue;
                }
                ++flashed;
                Bytes expected = file;
                for (const auto& [offset, size] : KeptAreas(image, file, static_cast<uint8_t>(layout), dmi)) {
                    std::copy_n(image.begin() + static_cast<long>(offset), size,
                                expected.begin() + static_cast<long>(offset));
                }
                size_t wrong = 0;
                for (size_t i = 0; i < after.size(); ++i) wrong += after[i] != expected[i] ? 1 : 0;
                EXPECT_EQ(wrong, 0u) << "bytes of the ROM that are neither the file's nor kept";
            }
        }
    }
    // Refused: layouts 0 and 7 (no Boot region), layout 3 with DMI, and
    // layout 6 where its regions do not start at the ROM's first byte.
    EXPECT_EQ(flashed, 37u);
    EXPECT_EQ(refused, 23u);
}

TEST_P(FlashCommandTest, ShowsEachStepAndItsPercentage)
{
    // The 128 KiB board's ROM carries its DMI data, which stays.
    const std::string board = CopyBoard(dir, "board-128k");
    const std::string bios = dir.File("bios.bin");
    BackUp(board, bios);
    const test::CommandResult result = RunVarlin(WithMode({"flash", "--board", board, bios}, GetParam()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    for (const char* region : {"Main", "PNP", "Boot"}) {
        expected += std::string("Erasing ") + region + " Block\nProgramming " + region +
                    " Block [########################################] 100%\nVerifying " + region + " Block\n";
    }
    EXPECT_EQ(result.err, expected);
}

TEST_P(FlashCommandTest, EasyPathBuildsTheBoardsOwnBiosWithTheLogo)
{
    const struct {
        const char* board;
        const char* picture;
        std::vector<std::string> flashOptions;
        std::vector<std::string> buildOptions;  // the same logo built by hand
    } cases[] = {
        {"board-128k", "varlin-640x480.bmp", {}, {}},
        {"board-1m", "varlin-800x600.jpg", {}, {"--resolution", "800x600"}},
        {"board-512k", "varlin-320x240.bmp", {"--position", "top-left"}, {"--position", "top-left"}},
        {"board-stock", "varlin-800x600.jpg", {}, {"--resolution", "800x600"}},  // in its own format
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.board);
        const std::string board = CopyBoard(dir, c.board);
        const std::string picture = kSamples + "/pictures/" + c.picture;
        const std::string original = dir.File(std::string(c.board) + "-original.bin");
        BackUp(board, original);
        std::vector<std::string> arguments = {"flash", "--board", board, "--picture", picture};
        arguments.insert(arguments.end(), c.flashOptions.begin(), c.flashOptions.end());
        const test::CommandResult result = RunVarlin(WithMode(arguments, GetParam()));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        // After the archive writer's own line.
        EXPECT_TRUE(result.out.ends_with("\nflashed the board's BIOS with the logo " + picture + " into " + board +
                                         ": every region programmed and verified\n"))
            << result.out;
        EXPECT_TRUE(result.err.starts_with("Save Mainboard BIOS [")) << result.err;
        EXPECT_EQ(result.out.find("\nlogo written as stock 4-bit 640x480\n") != std::string::npos,
                  std::string(c.board) == "board-stock")
            << result.out;

        const std::string expected = dir.File(std::string(c.board) + "-expected.bin");
        std::vector<std::string> build = {"build", "--bios", original, "--picture", picture, "--output", expected};
        build.insert(build.end(), c.buildOptions.begin(), c.buildOptions.end());
        ASSERT_EQ(RunVarlin(build).exitCode, 0);
        EXPECT_EQ(BackUp(board, dir.File("after.bin")), test::ReadFile(expected));
        EXPECT_NE(test::ReadFile(expected), test::ReadFile(original));
    }
}

// Each fault of a 256 KiB board (Main 0xFFFC0000, DMI 0xFFFF8000 kept, PNP
// 0xFFFFA000, Boot 0xFFFFC000) stops the update with its message.
TEST_P(FlashCommandTest, EveryInjectedFaultExitsNonZero)
{
    const struct {
        const char* fault;
        const char* message;  // the end of what is printed
    } cases[] = {
        {"stuck-block = 0xFFFC0000\n",
         "Couldn't erase the Main block!\nThe BIOS update is incomplete.\nNot completely rewritten: Main.\n"
         "Not changed: DMI, PNP, Boot.\n"},
        {"stuck-byte = 0xFFFFA000\n",
         "The BIOS update is incomplete.\nAlready rewritten: Main.\n"
         "Not completely rewritten: PNP.\nNot changed: DMI, Boot.\n"},
        {"fail = program 0xFFFFC010\n",
         "Couldn't program the flash ROM at 0xFFFFC010!\n"
         "Couldn't program the Boot block!\nThe BIOS update is incomplete.\n"
         "Already rewritten: Main, PNP.\nNot completely rewritten: Boot.\n"
         "Not changed: DMI.\n"},
        {"fail = erase 0xFFFFA000\n",
         "Couldn't erase the PNP block!\nThe BIOS update is incomplete.\n"
         "Already rewritten: Main.\nNot completely rewritten: PNP.\n"
         "Not changed: DMI, Boot.\n"},
        {"fail = read 0xFFFE8800\n",
         "Couldn't read the flash ROM at 0xFFFE8800!\n"
         "Couldn't read back the Main block!\nThe BIOS update is incomplete.\n"
         "Not completely rewritten: Main.\nNot changed: DMI, PNP, Boot.\n"},
    };
    // An image unlike the ROM everywhere but in its last 8 KiB, which hold
    // the size code and the BIOS ID.
    const std::string clean = CopyBoard(dir, "board-256k");
    Bytes image = BackUp(clean, dir.File("original.bin"));
    for (size_t i = 0; i + 0x2000 < image.size(); ++i) image[i] = static_cast<uint8_t>(image[i] ^ 0x5A);
    image[0x3A000] = 0x5A;  // the stuck byte stays 0xFF after its erase
    const std::string changed = dir.Write("changed.bin", image);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        test::TempDir boardDir;
        const std::string board = CopyBoard(boardDir, "board-256k", c.fault);
        const test::CommandResult result = RunVarlin(WithMode({"flash", "--board", board, changed}, GetParam()));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(result.err.ends_with(c.message + std::string(kMayNotStart))) << result.err;
    }
}

TEST_P(FlashCommandTest, TheBiosIdQuestionIsAnsweredOnTheCommandLine)
{
    const std::string board = CopyBoard(dir, "board-256k");
    const Bytes original = BackUp(board, dir.File("original.bin"));
    Bytes other = original;
    const size_t id = other.size() - award::kBiosIdFromEnd;
    other[id] = '#';  // another board's BIOS ID
    other[0x100] = static_cast<uint8_t>(other[0x100] ^ 0xFF);
    const std::string bios = dir.Write("other.bin", other);
    const std::string question =
        "[Open File]\n  BIOS ID error!\n  This BIOS is not fit for your mainboard.\n  Are you sure to program ?\n\n";

    test::CommandResult result = RunVarlin(WithMode({"flash", "--board", board, bios}, GetParam()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, question + "no (no terminal to ask; pass --yes or --no)\n");
    result = RunVarlin(WithMode({"flash", "--board", board, bios, "--no"}, GetParam()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, question + "no\n");
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), original);

    result = RunVarlin(WithMode({"flash", "--board", board, bios, "--yes"}, GetParam()));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.err.starts_with(question + "yes\nErasing Main Block\n")) << result.err;
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), other);
}

TEST(FlashCommandRefusalTest, RefusedFilesAndWrongCommandLines)
{
    test::TempDir dir;
    const std::string board = CopyBoard(dir, "board-256k");
    const Bytes original = test::ReadFile(board + "/rom.bin");
    const std::string bios = dir.Write("bios.bin", original);
    const std::string small = dir.Write("small.bin", Bytes(original.begin(), original.begin() + 128 * 1024));

    test::CommandResult result = RunVarlin({"flash", "--board", board, small});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "[Open File]\n  Size of BIOS file is not match with\n   ROM size on mainboard.\n\n");
    result = RunVarlin({"flash", "--board", board, dir.File("missing.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Couldn't open the file!\n");
    result = RunVarlin({"flash", "--board", dir.File("nothing"), bios});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.starts_with("Not a board: ")) << result.err;
    result = RunVarlin({"flash", "--board", board, "--picture", dir.File("missing.bmp")});
    EXPECT_EQ(result.exitCode, 1);

    const std::vector<std::vector<std::string>> usage = {
        {"flash", "--board", board},
        {"flash", "--board", board, bios, "--picture", kBitmap},
        {"flash", "--board", board, bios, "--position", "top-left"},
        {"flash", "--board", board, bios, "--yes", "--no"},
        {"flash", bios},
        {"flash", "--board", board, "--picture", kBitmap, "--resolution", "800x600"},
    };
    for (const auto& arguments : usage) {
        EXPECT_EQ(RunVarlin(arguments).exitCode, 2) << arguments.back();
    }
    EXPECT_EQ(test::ReadFile(board + "/rom.bin"), original);

    const std::string locked = dir.File("locked");
    ASSERT_EQ(RunVarlin({"board", "create", "--bios", bios, "--out", locked, "--no-windows-flash"}).exitCode, 0);
    result = RunVarlin({"flash", "--board", locked, bios});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Your system not support flashing under Windows mode!\n");
}

}  // namespace
}  // namespace varlin
