// The ROM primitives against the emulated board, through the driver and
// through the SMI: request sequences, NOR-flash behaviour, block walks,
// blank checks and injected faults.
#include <gtest/gtest.h>

#include "flash/ChipCatalogue.h"
#include "flash/FlashSmi.h"
#include "flash/RomDevice.h"
#include "tests/support/BothModes.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

using test::kKiB;

constexpr uint32_t k256KBase = 0xFFFC0000;

emulated::BoardOptions Options(uint16_t chip, uint8_t layout, bool regions = true)
{
    emulated::BoardOptions options;
    options.chipId = chip;
    options.layout = layout;
    options.dmiRegion = regions;
    options.pnpRegion = regions;
    return options;
}

// Both back ends run every case.
class RomAccessTest : public ::testing::TestWithParam<bool> {
protected:
    bool Direct() const { return GetParam(); }

    void Start(const Bytes& romImage, const emulated::BoardOptions& options, const std::string& settings = "")
    {
        image = romImage;
        board = std::make_unique<test::TestBoard>(image, options, settings);
        ASSERT_TRUE(harness.Start(*board, Direct()));
        ASSERT_TRUE(rom.romInfo.flashInfoFound);
    }

    Bytes RomOnDisk() const { return test::ReadFile(board->RomPath()); }
    std::vector<std::string> Shown() const { return harness.platform.messages.Texts(); }
    // Read requests (driver) or read SMIs (direct) so far.
    size_t Reads() const
    {
        return Direct() ? harness.platform.hardware.CountOf(smi::kRead16)
                        : harness.platform.kordex.CountOf(kordex::kReadBytes);
    }
    size_t Erases() const
    {
        return Direct() ? harness.platform.hardware.CountOf(smi::kEraseBlock)
                        : harness.platform.kordex.CountOf(kordex::kEraseBlock);
    }

    Bytes image;
    std::unique_ptr<test::TestBoard> board;
    test::BoardHarness harness;
    RomDevice& rom = harness.rom;
};

VARLIN_IN_BOTH_MODES(RomAccessTest);

TEST_P(RomAccessTest, StartUpReadsTheSegmentAndQueriesTheSmi)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4));
    EXPECT_EQ(rom.segmentImage, board->Board().Segment());
    EXPECT_EQ(rom.romInfo.smiPort, emulated::kBoardSmiPort);
    if (Direct()) {
        EXPECT_TRUE(harness.platform.kordex.requests.empty());
        EXPECT_EQ(harness.platform.hardware.smiCommands, (std::vector<uint8_t>{smi::kControl}));
    } else {
        EXPECT_EQ(harness.platform.kordex.requests,
                  (std::vector<uint32_t>{kordex::kReadSegment, kordex::kSetSmiPort, kordex::kSmiControl}));
        EXPECT_TRUE(harness.platform.hardware.smiCommands.empty());
    }
}

TEST_P(RomAccessTest, ReadsSixteenBytesPerRequest)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4));
    harness.platform.kordex.requests.clear();
    Bytes block(4096);
    ASSERT_TRUE(rom.ReadRom(k256KBase + 0x1000, block.data(), 4096));
    EXPECT_TRUE(std::equal(block.begin(), block.end(), image.begin() + 0x1000));
    EXPECT_EQ(Reads(), 256u);
    if (Direct()) {
        EXPECT_EQ(harness.platform.hardware.busDelays, 256u);
    } else {
        std::vector<uint32_t> expected(257, kordex::kReadBytes);
        expected[0] = kordex::kSetAddress;
        EXPECT_EQ(harness.platform.kordex.requests, expected);
    }

    // A length that is no multiple of 16 costs a whole request for its tail
    // and fills no more than asked.
    Bytes tail(20);
    ASSERT_TRUE(rom.ReadRom(0xFFFFFFE8, tail.data(), 20));
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), image.end() - 24));
    EXPECT_EQ(Reads(), 258u);
}

TEST_P(RomAccessTest, ProgrammingClearsBitsOnlyAndReachesTheFileAtOnce)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4));
    const uint32_t address = k256KBase + 0x100;
    Bytes data(32, 0x0F);
    ASSERT_TRUE(rom.ProgramRom(address, data.data(), 32));
    Bytes expected = image;
    for (size_t i = 0; i < 32; ++i) expected[0x100 + i] &= 0x0F;
    EXPECT_EQ(RomOnDisk(), expected);
    EXPECT_EQ(board->Board().Rom(), expected);
    if (!Direct()) {
        EXPECT_EQ(harness.platform.kordex.CountOf(kordex::kSetAddress), 1u);
        EXPECT_EQ(harness.platform.kordex.CountOf(kordex::kProgramBytes), 2u);
    } else {
        EXPECT_EQ(harness.platform.hardware.CountOf(smi::kWrite16), 2u);
    }

    // After an erase the block takes the data as it stands.
    ASSERT_TRUE(rom.EraseRange(k256KBase, 1));
    for (size_t i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(0xA0 + i);
    ASSERT_TRUE(rom.ProgramRom(address, data.data(), 32));
    Bytes back(32);
    ASSERT_TRUE(rom.ReadRom(address, back.data(), 32));
    EXPECT_EQ(back, data);
}

TEST_P(RomAccessTest, EraseRangeWalksTheBlockTable)
{
    // 256 KiB, layout 4: blocks 64 KiB x 3, 32 KiB, 8 KiB x 2, 16 KiB.
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4));
    ASSERT_EQ(rom.BlockSize(4), 32 * kKiB);
    const RomInfo& info = rom.romInfo;

    ASSERT_TRUE(rom.EraseRange(info.romBase, info.mainSize));
    EXPECT_EQ(Erases(), 4u);
    Bytes expected = image;
    std::fill(expected.begin(), expected.begin() + info.mainSize, 0xFF);
    EXPECT_EQ(RomOnDisk(), expected);

    ASSERT_TRUE(rom.EraseRange(info.pnpStart, info.pnpSize));
    EXPECT_EQ(Erases(), 5u);
    EXPECT_EQ(rom.eraseStatus, chip::kEraseDone);

    // A length reaching into a block erases the whole of it.
    ASSERT_TRUE(rom.EraseRange(info.dmiStart, 1));
    EXPECT_EQ(Erases(), 6u);
    EXPECT_TRUE(rom.EraseRange(info.bootStart, 0));
    EXPECT_EQ(Erases(), 6u);
    EXPECT_TRUE(Shown().empty());
}

TEST_P(RomAccessTest, EraseRangeRefusesStartsOffTheTable)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4));
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase - 0x10000, 0x1000));  // below the ROM
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase + 0x1000, 0x1000));   // inside a block
    EXPECT_FALSE(rom.EraseRange(0xFFFFB000, 0x1000));                     // inside the second 8 KiB block

    // A table whose ten pairs are all in use ends after them.
    rom.romInfo.blockTable.fill(1);
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase + 0x10000, 0x1000));
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase + 9 * kKiB, 2 * kKiB));
    // A block of no size would never get anywhere.
    rom.romInfo.blockTable = {0, 4, 0, 0};
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase + 0x1000, 0x1000));
    EXPECT_FALSE(rom.EraseRange(rom.romInfo.romBase, 0x1000));
    EXPECT_EQ(Erases(), 1u);  // (9 KiB of 1 KiB blocks, then the table ran out)
    EXPECT_TRUE(Shown().empty());
}

TEST_P(RomAccessTest, PageWriteChipsReplaceBytesAndNeedNoBlankCheck)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kSst29EE020, 4));
    const size_t readsBefore = Reads();
    EXPECT_TRUE(rom.IsBlockBlank(rom.romInfo.romBase));
    EXPECT_EQ(Reads(), readsBefore);

    Bytes data(16, 0xC3);
    ASSERT_TRUE(rom.ProgramRom(rom.romInfo.romBase, data.data(), 16));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), RomOnDisk().begin()));
    // The erase request is still sent.
    ASSERT_TRUE(rom.EraseRange(rom.romInfo.romBase, 1));
    EXPECT_EQ(Erases(), 1u);
}

TEST_P(RomAccessTest, BlankCheckLooksAtTheFirstTwelveBytes)
{
    Bytes romImage = test::MakeFlashImage(256 * kKiB);
    std::fill(romImage.begin(), romImage.begin() + 12, 0xFF);
    std::fill(romImage.begin() + 0x10000, romImage.begin() + 0x10000 + 11, 0xFF);
    Start(romImage, Options(chip::kIntel28F002BXT, 4));
    EXPECT_TRUE(rom.IsBlockBlank(k256KBase));
    EXPECT_FALSE(rom.IsBlockBlank(k256KBase + 0x10000));
    EXPECT_EQ(Reads(), 8u);  // 64 bytes each
}

TEST_P(RomAccessTest, FailingRequestsFailTheOperationWithAMessage)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4),
          "fail = read 0xFFFC2345\nfail = erase 0xFFFD0000\nfail = program 0xFFFC0020\n");
    Bytes block(4096);
    EXPECT_FALSE(rom.ReadRom(k256KBase + 0x2000, block.data(), 4096));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0], "Couldn't read the flash ROM at 0xFFFC2340!");
    EXPECT_EQ(Reads(), 0x35u);  // the failing request is the last

    Bytes data(4096, 0);
    EXPECT_FALSE(rom.ProgramRom(k256KBase, data.data(), 4096));
    EXPECT_EQ(Shown().back(), "Couldn't program the flash ROM at 0xFFFC0020!");
    EXPECT_EQ(RomOnDisk()[0x20], image[0x20]);
    EXPECT_EQ(RomOnDisk()[0x1F], 0);  // the lines before it were programmed

    EXPECT_FALSE(rom.EraseRange(k256KBase, rom.romInfo.mainSize));
    EXPECT_EQ(Shown().back(), Direct() ? "Please disable 'Flash Write Protect' in CMOS setup \nand set "
                                         "write-protect jumper on mainboard to open."
                                       : "Couldn't erase the flash ROM block at 0xFFFD0000!");
    EXPECT_EQ(Shown().size(), 3u);
    // The first block was erased before the second one failed.
    EXPECT_EQ(RomOnDisk()[0xFFFF], 0xFF);
    EXPECT_EQ(RomOnDisk()[0x10000], image[0x10000]);
}

TEST_P(RomAccessTest, ABlockThatWillNotEraseFailsTheBlankCheck)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4), "stuck-block = 0xFFFD8000\n");
    EXPECT_FALSE(rom.EraseRange(k256KBase, rom.romInfo.mainSize));
    EXPECT_EQ(Erases(), 2u);
    EXPECT_EQ(rom.eraseStatus, chip::kEraseFailed);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(RomOnDisk()[0x10000], image[0x10000]);
}

TEST_P(RomAccessTest, AByteThatWillNotProgramKeepsItsValue)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4), "stuck-byte = 0xFFFC0005\n");
    ASSERT_TRUE(rom.EraseRange(k256KBase, 1));
    Bytes data(16, 0x00);
    EXPECT_TRUE(rom.ProgramRom(k256KBase, data.data(), 16));
    Bytes expected(16, 0x00);
    expected[5] = 0xFF;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), RomOnDisk().begin()));
}

TEST_P(RomAccessTest, ProtectedBlocksRefuseWithTheirFamilysStatus)
{
    const struct {
        uint16_t chip;
        uint32_t size;
        uint8_t layout;
        uint8_t status;
    } cases[] = {
        {chip::kIntel28F002BXT, 256 * kKiB, 4, 0xA0},
        {chip::kIntelE82802AB, 512 * kKiB, 6, 0xA2},
        {chip::kIntelE82802AC, 1024 * kKiB, 4, 0xA2},
    };
    for (const auto& c : cases) {
        emulated::BoardOptions options = Options(c.chip, c.layout);
        options.protectBoot = true;
        test::BoardHarness local;
        const Bytes romImage = test::MakeFlashImage(c.size);
        test::TestBoard protectedBoard(romImage, options);
        ASSERT_TRUE(local.Start(protectedBoard, Direct()));
        const RomInfo& info = local.rom.romInfo;
        EXPECT_FALSE(local.rom.EraseRange(info.bootStart, info.bootSize)) << std::hex << c.chip;
        EXPECT_EQ(local.rom.eraseStatus, c.status) << std::hex << c.chip;
        Bytes data(16, 0);
        EXPECT_TRUE(local.rom.ProgramRom(info.bootStart, data.data(), 16));
        EXPECT_EQ(test::ReadFile(protectedBoard.RomPath()), romImage) << "protected bytes stay";
        EXPECT_TRUE(local.rom.EraseRange(info.romBase, 1));
    }
}

TEST_P(RomAccessTest, FlashAccessIsOpenedOnlyFromLevelFour)
{
    Start(test::MakeFlashImage(256 * kKiB), Options(chip::kIntel28F002BXT, 4), "smi-level = 4\n");
    if (!Direct()) {
        // The driver's reply gives no level: open and close are never sent.
        EXPECT_EQ(rom.romInfo.smiLevel, 0);
        rom.SmiOpen();
        rom.SmiClose();
        EXPECT_EQ(harness.platform.kordex.CountOf(kordex::kSmiControl), 1u);
        EXPECT_TRUE(rom.EraseRange(k256KBase, 1));
        return;
    }
    EXPECT_EQ(rom.romInfo.smiLevel, 4);
    EXPECT_FALSE(rom.EraseRange(k256KBase, 1));
    EXPECT_EQ(Shown().size(), 1u);
    rom.SmiOpen();
    EXPECT_TRUE(rom.EraseRange(k256KBase, 1));
    rom.SmiClose();
    EXPECT_EQ(harness.platform.hardware.smiCommands,
              (std::vector<uint8_t>{smi::kControl, smi::kEraseBlock, smi::kControl, smi::kEraseBlock, smi::kRead16,
                                    smi::kRead16, smi::kRead16, smi::kRead16, smi::kControl}));
    EXPECT_FALSE(board->Board().FlashAccessOpen());
}

TEST(RomAccessModesTest, AReadFailureOfTheSegmentLeavesNothingIdentified)
{
    test::TestBoard board(test::MakeFlashImage(128 * kKiB), Options(chip::kIntel28F001BXT, 1));
    test::BoardHarness harness;
    harness.platform.AttachBoard(board.Board());
    harness.rom.DetectPlatform(harness.platform.system.PlatformVersion());
    // The driver is not running and cannot be installed: no device.
    harness.platform.serviceManager.services.clear();
    EXPECT_FALSE(OpenDriver(harness.rom.romInfo, harness.platform.services));
    EXPECT_FALSE(harness.rom.StartRomAccess());
    EXPECT_FALSE(harness.rom.romInfo.flashInfoFound);
    EXPECT_EQ(harness.platform.messages.Texts().back(), "Couldn't read the flash ROM at 0x000F0000!");
}

}  // namespace
}  // namespace varlin
