// The checks that admit a BIOS file for the update, and the decisions they
// take on the ROM's DMI, PNP and extra regions.
#include <gtest/gtest.h>

#include "biosfile/BiosImage.h"
#include "flash/ChipCatalogue.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

using test::kKiB;

constexpr char kSizeMismatch[] = "  Size of BIOS file is not match with\n   ROM size on mainboard.\n";
constexpr char kBiosIdError[] =
    "  BIOS ID error!\n  This BIOS is not fit for your mainboard.\n  Are you sure to program ?\n";

emulated::BoardOptions Options(uint8_t layout, bool flashInWindows = true)
{
    emulated::BoardOptions options;
    options.layout = layout;
    options.dmiRegion = options.pnpRegion = true;
    options.flashInWindows = flashInWindows;
    return options;
}

// A 256 KiB layout-4 ROM whose DMI and PNP areas carry their marks.
Bytes MarkedRom256()
{
    Bytes rom = test::MakeFlashImage(256 * kKiB, "TESTBIOS", 7);
    test::PutAt(rom, 0xFFFF8000, "IMD$");
    test::PutAt(rom, 0xFFFFA002, "ACFG");
    return rom;
}

class BiosImageTest : public ::testing::Test {
protected:
    void Start(const Bytes& rom, const emulated::BoardOptions& options, const std::string& settings = "")
    {
        board = std::make_unique<test::TestBoard>(rom, options, settings);
        ASSERT_TRUE(harness.Start(*board));
    }

    std::string File(const Bytes& bytes, const std::string& name = "new.bin") const { return dir.Write(name, bytes); }
    std::vector<std::string> Shown() const { return harness.platform.messages.Texts(); }
    const std::vector<test::ShownMessage>& Boxes() const { return harness.platform.messages.shown; }
    RomInfo& Info() { return harness.rom.romInfo; }

    void ExpectNothingHeld() const
    {
        EXPECT_EQ(bios.imageSize, 0u);
        EXPECT_TRUE(bios.imageData.empty());
        EXPECT_TRUE(bios.checkedBiosPath.empty());
    }

    test::TempDir dir;
    std::unique_ptr<test::TestBoard> board;
    test::BoardHarness harness;
    BiosImage bios{harness.rom, harness.platform.messages};
};

TEST_F(BiosImageTest, AcceptsAFileThatFits)
{
    Start(MarkedRom256(), Options(4));
    const Bytes file = test::MakeFlashImage(256 * kKiB, "TESTBIOS", 2);
    const std::string path = File(file);
    ASSERT_TRUE(bios.PrepareBiosFile(path));
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(bios.imageData, file);
    EXPECT_EQ(bios.imageSize, 256 * kKiB);
    EXPECT_EQ(bios.checkedBiosPath, path);
    EXPECT_FALSE(Info().clearDmi);
    EXPECT_FALSE(Info().clearPnp);
    EXPECT_EQ(Info().extraSize, 0u);
}

TEST_F(BiosImageTest, RefusesWhenTheBiosForbidsFlashingUnderWindows)
{
    Start(MarkedRom256(), Options(4, false));
    EXPECT_FALSE(bios.PrepareBiosFile(File(test::MakeFlashImage(256 * kKiB))));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_FALSE(Boxes()[0].system);
    EXPECT_EQ(Boxes()[0].text, "Your system not support flashing under Windows mode!");
    ExpectNothingHeld();
}

TEST_F(BiosImageTest, RefusesFilesItCannotOpenOrOfTheWrongLength)
{
    Start(MarkedRom256(), Options(4));
    EXPECT_FALSE(bios.PrepareBiosFile(dir.File("missing.bin")));
    EXPECT_FALSE(bios.PrepareBiosFile(dir.Path().string()));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Couldn't open the file!", "Couldn't open the file!"}));
    EXPECT_FALSE(Boxes()[0].system);

    for (uint32_t size : {128 * kKiB, 256 * kKiB + 1, 512 * kKiB, 0u}) {
        harness.platform.messages.shown.clear();
        EXPECT_FALSE(bios.PrepareBiosFile(File(Bytes(size, 0xFF)))) << size;
        ASSERT_EQ(Boxes().size(), 1u);
        EXPECT_TRUE(Boxes()[0].system);
        EXPECT_EQ(Boxes()[0].caption, "Open File");
        EXPECT_EQ(Boxes()[0].text, kSizeMismatch);
        ExpectNothingHeld();
    }
}

TEST_F(BiosImageTest, RefusesARightLengthWithAnotherSizeCode)
{
    Start(MarkedRom256(), Options(4));
    for (char code : {'Y', '[', '\\', '\0'}) {
        harness.platform.messages.shown.clear();
        Bytes file = test::MakeFlashImage(256 * kKiB);
        file[file.size() - 8103] = static_cast<uint8_t>(code);
        EXPECT_FALSE(bios.PrepareBiosFile(File(file))) << code;
        EXPECT_EQ(Shown(), (std::vector<std::string>{kSizeMismatch}));
        ExpectNothingHeld();
    }
}

TEST_F(BiosImageTest, AnotherBoardsBiosIdAsksTheUser)
{
    Start(MarkedRom256(), Options(4));
    const std::string path = File(test::MakeFlashImage(256 * kKiB, "OTHERBRD"));

    harness.platform.messages.answers = {MessageAnswer::No};
    EXPECT_FALSE(bios.PrepareBiosFile(path));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Open File");
    EXPECT_EQ(Boxes()[0].text, kBiosIdError);
    EXPECT_EQ(Boxes()[0].style.buttons, MessageButtons::YesNo);
    ExpectNothingHeld();

    harness.platform.messages.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(bios.PrepareBiosFile(path));
    EXPECT_EQ(bios.imageSize, 256 * kKiB);
    EXPECT_EQ(bios.checkedBiosPath, path);
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_F(BiosImageTest, AFileWithoutBiosIdIsAnotherBoards)
{
    Bytes rom = MarkedRom256();
    std::fill(rom.end() - 24, rom.end() - 16, 0);  // a ROM without ID either
    emulated::BoardOptions options = Options(4);
    options.biosId = "ANYBOARD";
    Start(rom, options);
    EXPECT_FALSE(bios.PrepareBiosFile(File(test::MakeFlashImage(256 * kKiB, ""))));
    EXPECT_EQ(Shown(), (std::vector<std::string>{kBiosIdError}));
}

TEST_F(BiosImageTest, IdsCompareAsTextOfAtMostEightCharacters)
{
    Bytes rom = MarkedRom256();
    std::copy_n("SHORT\0XY", 8, rom.end() - 24);
    Start(rom, Options(4));
    EXPECT_TRUE(bios.PrepareBiosFile(File(test::MakeFlashImage(256 * kKiB, "SHORT"))));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(BiosImageTest, MissingMarksSetTheClearFlagsForGood)
{
    Bytes rom = test::MakeFlashImage(256 * kKiB, "TESTBIOS", 7);
    test::PutAt(rom, 0xFFFFA002, "ACFG");  // PNP marked, DMI not
    Start(rom, Options(4));
    const std::string path = File(test::MakeFlashImage(256 * kKiB, "TESTBIOS", 2));
    ASSERT_TRUE(bios.PrepareBiosFile(path));
    EXPECT_TRUE(Info().clearDmi);
    EXPECT_FALSE(Info().clearPnp);

    // The DMI area gets its mark; the flag stays set all the same.
    RomDevice& device = harness.rom;
    ASSERT_TRUE(device.EraseRange(Info().dmiStart, Info().dmiSize));
    const uint8_t mark[] = {'I', 'M', 'D', '$'};
    ASSERT_TRUE(device.ProgramRom(Info().dmiStart, mark, sizeof mark));
    ASSERT_TRUE(bios.PrepareBiosFile(path));
    EXPECT_TRUE(Info().clearDmi);
    EXPECT_FALSE(Info().clearPnp);
}

TEST_F(BiosImageTest, AFailingRomReadStopsTheCheck)
{
    Start(MarkedRom256(), Options(4), "fail = read 0xFFFFFFF0\n");
    EXPECT_FALSE(bios.PrepareBiosFile(File(test::MakeFlashImage(256 * kKiB))));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Couldn't read the flash ROM at 0xFFFFFFE8!"}));
    ExpectNothingHeld();
}

TEST_F(BiosImageTest, FilesBelow512KiBNeverTouchTheExtraRegion)
{
    Start(MarkedRom256(), Options(4));
    Info().extraStart = 0x1234;
    Info().extraSize = 0x5678;
    ASSERT_TRUE(bios.PrepareBiosFile(File(test::MakeFlashImage(256 * kKiB))));
    EXPECT_EQ(Info().extraStart, 0x1234u);
    EXPECT_EQ(Info().extraSize, 0x5678u);
    EXPECT_EQ(Info().mainSize, 256 * kKiB - 0x8000 - 0x5678);
}

struct ExtraRegionCase {
    const char* name;
    size_t recordOffset;  // in the file; 0: no record
    bool flagSet;
    std::string romAtExtra;  // what the ROM holds at pnpStart + 0x10000
    uint32_t extraStart;
    uint32_t extraSize;
};

TEST_F(BiosImageTest, ExtraRegionAbovePnp)
{
    const ExtraRegionCase cases[] = {
        {"free region", 0x60100, true, "", 0xFFFA0000, 0x10000},
        {"record at the last step", 0x6FFF8, true, "", 0xFFFA0000, 0x10000},
        {"option ROM there", 0x60100, true, std::string("\x55\xAA", 2), 0xFFFA0000, 0},
        {"LHA member there", 0x60100, true, "\x24\x51-lh5-", 0, 0},
        {"flag clear", 0x60100, false, "", 0, 0},
        {"record off the 8-byte steps", 0x60104, true, "", 0, 0},
        {"record past the searched range", 0x70000, true, "", 0, 0},
        {"no record", 0, true, "", 0, 0},
    };
    for (const ExtraRegionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes rom = test::MakeFlashImage(512 * kKiB, "TESTBIOS", 7);
        rom[0x20000] = 0;  // no accidental option ROM mark
        test::PutAt(rom, 0xFFFA0000, c.romAtExtra);
        Bytes file = test::MakeFlashImage(512 * kKiB, "TESTBIOS", 2);
        if (c.recordOffset != 0) test::PutExtraRegionRecord(file, c.recordOffset, c.flagSet);
        test::BoardHarness local;
        test::TestBoard extraBoard(rom, Options(6));
        ASSERT_TRUE(local.Start(extraBoard));
        BiosImage check(local.rom, local.platform.messages);
        const std::string path = File(file);

        // mainSize follows extraSize exactly, however often the check runs.
        for (int run = 0; run < 3; ++run) {
            ASSERT_TRUE(check.PrepareBiosFile(path));
            const RomInfo& info = local.rom.romInfo;
            EXPECT_EQ(info.extraStart, c.extraStart);
            EXPECT_EQ(info.extraSize, c.extraSize);
            EXPECT_EQ(info.mainSize, 512 * kKiB - 3 * 0x10000 - c.extraSize);
        }
    }
}

}  // namespace
}  // namespace varlin
