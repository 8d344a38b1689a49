// Identification from the F000 segment: platform, records, layouts, ROM base,
// block table and the BIOS identification string.
#include <gtest/gtest.h>

#include "award/AwardRecords.h"
#include "flash/RomDevice.h"
#include "platform/support/ByteOrder.h"
#include "tests/support/FakePlatform.h"

namespace varlin {
namespace {

constexpr size_t kInfoAt = 0x4000;
constexpr size_t kTableAt = 0x4100;

class RomIdentificationTest : public ::testing::Test {
protected:
    // A segment with a KAFLASH record of this size byte, layout and flags.
    void PutFlashInfo(uint8_t sizeByte, uint8_t layout, uint8_t flags, std::array<uint8_t, 20> table = {64, 2})
    {
        Bytes& segment = rom.segmentImage;
        std::copy(award::kFlashInfoSignature.begin(), award::kFlashInfoSignature.end(), &segment[kInfoAt]);
        segment[kInfoAt + 7] = sizeByte;
        segment[kInfoAt + 8] = layout;
        segment[kInfoAt + 9] = flags;
        WriteLe16(&segment[kInfoAt + 14], kTableAt);
        std::copy(table.begin(), table.end(), &segment[kTableAt]);
    }

    void PutIdentification(const std::string& text, int lengthByte)
    {
        rom.segmentImage[award::kBiosIdLengthOffset] = static_cast<uint8_t>(lengthByte);
        std::copy(text.begin(), text.end(), &rom.segmentImage[award::kBiosIdTextOffset]);
    }

    test::FakePlatform platform;
    RomDevice rom{platform.messages, platform.kordex, platform.hardware};
};

TEST_F(RomIdentificationTest, PlatformModeFromTheVersionWord)
{
    const struct {
        uint32_t version;
        uint32_t mode;
    } cases[] = {
        {0x00000006, kPlatformNt},     {0x23F00206, kPlatformNt},    {0x80000003, kPlatformWin32s},
        {0x80000A03, kPlatformWin32s}, {0xC0000A04, kPlatformWin9x}, {0x80000005, kPlatformWin9x},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(rom.DetectPlatform(c.version));
        EXPECT_EQ(rom.romInfo.platformMode, c.mode) << std::hex << c.version;
        EXPECT_EQ(rom.romInfo.DriverMode(), c.mode == kPlatformNt);
    }
}

struct LayoutCase {
    uint8_t layout;
    uint8_t flags;  // bit 0 PNP, bit 1 DMI
    uint32_t bootStart, bootSize, dmiStart, dmiSize, pnpStart, pnpSize, mainSize;
};

TEST_F(RomIdentificationTest, EveryLayoutRow)
{
    // A 512 KiB ROM (size byte 4) so that every layout's regions fit.
    const LayoutCase cases[] = {
        {1, 3, 0xFFFFE000, 0x2000, 0xFFFFC000, 0x1000, 0xFFFFD000, 0x1000, 0x80000 - 0x4000},
        {2, 3, 0xFFFFE000, 0x2000, 0xFFFFC000, 0x1000, 0xFFFFD000, 0x1000, 0x80000 - 0x4000},
        {1, 0, 0xFFFFE000, 0x2000, 0, 0, 0, 0, 0x80000 - 0x2000},
        {2, 1, 0xFFFFE000, 0x2000, 0, 0, 0xFFFFD000, 0x1000, 0x80000 - 0x3000},
        {3, 3, 0xFFFFC000, 0x4000, 0, 0, 0xFFFF8000, 0x4000, 0x80000 - 0x8000},  // no DMI in layout 3
        {4, 3, 0xFFFFC000, 0x4000, 0xFFFF8000, 0x2000, 0xFFFFA000, 0x2000, 0x80000 - 0x8000},
        {5, 2, 0xFFFFC000, 0x4000, 0xFFFF8000, 0x2000, 0, 0, 0x80000 - 0x6000},
        {6, 3, 0xFFFF0000, 0x10000, 0xFFF80000, 0x10000, 0xFFF90000, 0x10000, 0x80000 - 0x30000},
        {0, 3, 0, 0x2000, 0, 0, 0, 0, 0x80000 - 0x2000},  // unknown layouts know only the Boot size
        {7, 3, 0, 0x2000, 0, 0, 0, 0, 0x80000 - 0x2000},
        {255, 0, 0, 0x2000, 0, 0, 0, 0, 0x80000 - 0x2000},
    };
    for (const LayoutCase& c : cases) {
        rom.romInfo = RomInfo{};
        PutFlashInfo(4, c.layout, c.flags);
        ASSERT_TRUE(rom.IdentifyRom());
        const RomInfo& info = rom.romInfo;
        SCOPED_TRACE(testing::Message() << "layout " << int{c.layout} << " flags " << int{c.flags});
        EXPECT_EQ(info.layoutType, c.layout);
        EXPECT_EQ(info.bootStart, c.bootStart);
        EXPECT_EQ(info.bootSize, c.bootSize);
        EXPECT_EQ(info.dmiStart, c.dmiStart);
        EXPECT_EQ(info.dmiSize, c.dmiSize);
        EXPECT_EQ(info.pnpStart, c.pnpStart);
        EXPECT_EQ(info.pnpSize, c.pnpSize);
        EXPECT_EQ(info.mainSize, c.mainSize);
        EXPECT_EQ(info.romBase, 0xFFF80000u);
    }
}

TEST_F(RomIdentificationTest, SizeByteTwoLayoutFourWithBothRegions)
{
    PutFlashInfo(2, 4, award::kFlagPnpRegion | award::kFlagDmiRegion | award::kFlagFlashInWindows);
    ASSERT_TRUE(rom.IdentifyRom());
    const RomInfo& info = rom.romInfo;
    EXPECT_TRUE(info.flashInfoFound);
    EXPECT_TRUE(info.flashInWindowsAllowed);
    EXPECT_TRUE(info.hasDmiRegion);
    EXPECT_TRUE(info.hasPnpRegion);
    EXPECT_EQ(info.romSizeUnits, 4);
    EXPECT_EQ(info.bootStart, 0xFFFFC000u);
    EXPECT_EQ(info.bootSize, 0x4000u);
    EXPECT_EQ(info.dmiStart, 0xFFFF8000u);
    EXPECT_EQ(info.dmiSize, 0x2000u);
    EXPECT_EQ(info.pnpStart, 0xFFFFA000u);
    EXPECT_EQ(info.pnpSize, 0x2000u);
    EXPECT_EQ(info.mainSize, 0x38000u);
}

TEST_F(RomIdentificationTest, RomBaseBySize)
{
    const struct {
        uint8_t sizeByte;
        uint8_t units;
        uint32_t romBase;
    } cases[] = {
        {1, 2, 0xFFFE0000}, {2, 4, 0xFFFC0000}, {4, 8, 0xFFF80000},    {8, 16, 0xFFF00000},
        {3, 6, 0xFFFE0000}, {0, 0, 0xFFFE0000}, {0x82, 4, 0xFFFC0000},  // the units keep 8 bits
    };
    for (const auto& c : cases) {
        PutFlashInfo(c.sizeByte, 1, 0);
        ASSERT_TRUE(rom.IdentifyRom());
        EXPECT_EQ(rom.romInfo.romSizeUnits, c.units) << int{c.sizeByte};
        EXPECT_EQ(rom.romInfo.romBase, c.romBase) << int{c.sizeByte};
    }
}

TEST_F(RomIdentificationTest, BlockSizeWalksThePairs)
{
    PutFlashInfo(2, 4, 0, {64, 3, 32, 1, 8, 2, 16, 1, 0, 0});
    ASSERT_TRUE(rom.IdentifyRom());
    const uint32_t expected[] = {65536, 65536, 65536, 32768, 8192, 8192, 16384, 0, 0};
    for (uint32_t n = 1; n <= 9; ++n) EXPECT_EQ(rom.BlockSize(n), expected[n - 1]) << "block " << n;

    // Ten pairs in use leave no terminator: nothing lies beyond them.
    rom.romInfo.blockTable.fill(1);
    EXPECT_EQ(rom.BlockSize(10), 1024u);
    EXPECT_EQ(rom.BlockSize(11), 0u);
}

TEST_F(RomIdentificationTest, RecordsOnlyAtMultiplesOfEight)
{
    Bytes& segment = rom.segmentImage;
    std::copy(award::kFlashRecordSignature.begin(), award::kFlashRecordSignature.end(), &segment[0x1004]);
    WriteLe16(&segment[0x1004 + 0x2A], 0x1234);
    std::copy(award::kFlashInfoSignature.begin(), award::kFlashInfoSignature.end(), &segment[0x2004]);
    WriteLe16(&segment[award::kChipIdOffset], 0x7C89);
    rom.romInfo.flashInWindowsAllowed = true;  // as an earlier identification left it

    EXPECT_FALSE(rom.IdentifyRom());
    EXPECT_EQ(rom.romInfo.smiPort, kDefaultSmiPort);
    EXPECT_EQ(rom.romInfo.chipId, 0x7C89);
    EXPECT_FALSE(rom.romInfo.flashInfoFound);
    EXPECT_TRUE(rom.romInfo.flashInWindowsAllowed);

    std::copy(award::kFlashRecordSignature.begin(), award::kFlashRecordSignature.end(), &segment[0x1008]);
    WriteLe16(&segment[0x1008 + 0x2A], 0x00B2);
    PutFlashInfo(1, 1, 0);
    EXPECT_TRUE(rom.IdentifyRom());
    EXPECT_EQ(rom.romInfo.smiPort, 0x00B2);
    EXPECT_TRUE(rom.romInfo.flashInfoFound);
    EXPECT_FALSE(rom.romInfo.flashInWindowsAllowed);
}

TEST_F(RomIdentificationTest, RecordsAtTheSegmentEndAreNotReadPastIt)
{
    Bytes& segment = rom.segmentImage;
    std::copy(award::kFlashInfoSignature.begin(), award::kFlashInfoSignature.end(), &segment[0xFFF8]);
    EXPECT_FALSE(rom.IdentifyRom());
    std::copy(award::kFlashRecordSignature.begin(), award::kFlashRecordSignature.begin() + 8, &segment[0xFFF8]);
    EXPECT_FALSE(rom.IdentifyRom());
    EXPECT_EQ(rom.romInfo.smiPort, kDefaultSmiPort);
    // Whole signatures whose port word would lie past the end name no port.
    for (size_t at = 0xFFD8; at <= 0xFFF0; at += 8) {
        SCOPED_TRACE(at);
        std::fill(segment.begin() + 0xFFC0, segment.end(), uint8_t{0xB2});
        std::copy(award::kFlashRecordSignature.begin(), award::kFlashRecordSignature.end(), &segment[at]);
        EXPECT_FALSE(rom.IdentifyRom());
        EXPECT_EQ(rom.romInfo.smiPort, kDefaultSmiPort);
    }
    std::copy(award::kFlashRecordSignature.begin(), award::kFlashRecordSignature.end(), &segment[0xFFD0]);
    rom.IdentifyRom();
    EXPECT_EQ(rom.romInfo.smiPort, 0xB2B2);  // the last record that holds its port whole
}

TEST_F(RomIdentificationTest, BiosIdPrefixAndRest)
{
    // '-' at 0xEC7B (the 11th character) makes the prefix 8 characters long.
    PutIdentification("01/01/2004-I845-6A69ABCD-00", 28);
    EXPECT_EQ(rom.BiosIdPrefix(), "01/01/20");
    EXPECT_EQ(rom.BiosIdRest(), "04-I845-6A69ABCD-00");

    rom.segmentImage.assign(rom.segmentImage.size(), 0);
    PutIdentification("01/01/04-I845-6A69ABCD-00", 26);
    EXPECT_EQ(rom.BiosIdPrefix(), "01/01/04-I");
    EXPECT_EQ(rom.BiosIdRest(), "845-6A69ABCD-00");

    // The length byte decides how much of the rest counts; it is signed.
    PutIdentification("01/01/04-I845-6A69ABCD-00", 20);
    EXPECT_EQ(rom.BiosIdRest(), "845-6A69A");
    PutIdentification("01/01/04-I845-6A69ABCD-00", 0x90);
    EXPECT_EQ(rom.BiosIdRest(), "");
    PutIdentification("01/01/04-I845-6A69ABCD-00", 11);
    EXPECT_EQ(rom.BiosIdRest(), "");
}

}  // namespace
}  // namespace varlin
