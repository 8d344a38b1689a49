// The ROM device over a flash programmer that reaches the chip itself: the
// update hands it each region whole, in the plan's order with Boot last,
// keeps what it must keep, and after a failure tells each region's state as
// the chip then shows it, also when the programmer changed more than the
// region it was handed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "biosfile/BiosImage.h"
#include "flash/RomUpdate.h"
#include "tests/support/FlashImages.h"
#include "tests/support/RecordingProgress.h"

namespace varlin {
namespace {

using test::kKiB;

constexpr char kMayNotStart[] = "\nThe computer may not start until a BIOS file has been programmed completely.";

// A chip in memory.  Its n-th write (from 1) can fail, and the failure can
// take the whole chip with it, as a programmer does that goes on to erase
// the whole chip once a smaller erase failed.
class FakeProgrammer : public FlashProgrammerPort {
public:
    FakeProgrammer(Bytes chipImage, Bytes segmentImage) : chip(std::move(chipImage)), segment(std::move(segmentImage))
    {
    }

    uint32_t ChipSize() const override { return static_cast<uint32_t>(chip.size()); }
    bool ReadSegment(uint8_t* out, size_t size) override
    {
        if (size != segment.size()) return false;
        std::memcpy(out, segment.data(), size);
        return true;
    }
    bool ReadChip(uint32_t offset, uint8_t* buffer, uint32_t length) override
    {
        if (uint64_t{offset} + length > chip.size()) return false;
        std::memcpy(buffer, chip.data() + offset, length);
        return true;
    }
    bool WriteChip(uint32_t offset, const uint8_t* data, uint32_t length) override
    {
        writes.emplace_back(offset, length);
        if (writes.size() == failingWrite) {
            if (wipeOnFailure) std::fill(chip.begin(), chip.end(), 0xFF);
            return false;
        }
        std::memcpy(chip.data() + offset, data, length);
        return true;
    }

    Bytes chip;
    Bytes segment;
    std::vector<std::pair<uint32_t, uint32_t>> writes;  // offset, length
    size_t failingWrite = 0;
    bool wipeOnFailure = false;
};

class ProgrammerUpdateTest : public ::testing::Test {
protected:
    // A board of `size` with `layout`, DMI and PNP regions, whose BIOS
    // forbids flashing under Windows: the programmer does not use the
    // BIOS's flash service, so that must not stop it.
    void Start(uint32_t size, uint8_t layout)
    {
        oldImage = test::MakeFlashImage(size, "TESTBIOS", 1);
        newImage = test::MakeFlashImage(size, "TESTBIOS", 2);
        emulated::BoardOptions options;
        options.layout = layout;
        options.dmiRegion = options.pnpRegion = true;
        options.flashInWindows = false;
        board = std::make_unique<test::TestBoard>(oldImage, options);
        programmer = std::make_unique<FakeProgrammer>(oldImage, board->Board().Segment());
        rom.UseProgrammer(*programmer);
        ASSERT_TRUE(rom.StartRomAccess());
        ASSERT_TRUE(rom.romInfo.flashInfoFound);
        update.romSizeBytes = rom.romInfo.RomSizeBytes();
        update.mainStart = rom.romInfo.romBase;
    }

    std::vector<std::pair<uint32_t, uint32_t>> Writes(std::initializer_list<std::pair<uint32_t, uint32_t>> regions)
    {
        std::vector<std::pair<uint32_t, uint32_t>> writes;
        for (const auto& [address, size] : regions) writes.emplace_back(address - rom.romInfo.romBase, size);
        return writes;
    }

    Bytes oldImage;
    Bytes newImage;
    std::unique_ptr<test::TestBoard> board;
    std::unique_ptr<FakeProgrammer> programmer;
    test::FakePlatform platform;
    RomDevice rom{platform.messages, platform.kordex, platform.hardware};
    test::RecordingProgress progress;
    RomUpdate update{rom, platform.messages, progress};
};

TEST_F(ProgrammerUpdateTest, EachRegionGoesWholeWithBootLastAndTheDmiDataIsKept)
{
    Start(512 * kKiB, 6);
    test::PutAt(oldImage, 0xFFF80000, "IMD$");  // the ROM's DMI data, which an update keeps
    programmer->chip = oldImage;
    const std::string file = board->Folder() + "/new.bin";
    ASSERT_TRUE(WriteWholeFile(file, newImage));

    BiosImage biosImage(rom, platform.messages);
    ASSERT_TRUE(biosImage.PrepareBiosFile(file));
    EXPECT_FALSE(rom.romInfo.flashInWindowsAllowed);
    ASSERT_TRUE(update.UpdateRom(biosImage.imageData));

    EXPECT_EQ(programmer->writes, Writes({{0xFFF90000, 0x10000}, {0xFFFA0000, 0x50000}, {0xFFFF0000, 0x10000}}));
    Bytes expected = newImage;
    std::copy_n(oldImage.begin(), 0x10000, expected.begin());
    EXPECT_EQ(programmer->chip, expected);
    EXPECT_EQ(progress.steps,
              (std::vector<std::string>{"Programming PNP Block", "Verifying PNP Block", "Programming Main Block",
                                        "Verifying Main Block", "Programming Boot Block", "Verifying Boot Block"}));
    EXPECT_EQ(progress.percentages, (std::vector<int32_t>{100, 100, 100}));
    // No erase, no BIOS flash service, no driver request.
    EXPECT_TRUE(platform.kordex.requests.empty());
    EXPECT_TRUE(platform.hardware.smiCommands.empty());
    EXPECT_TRUE(platform.messages.shown.empty());
}

struct FailureCase {
    const char* name;
    size_t failingWrite;
    bool wipeOnFailure;
    std::string report;
};

TEST_F(ProgrammerUpdateTest, AFailedWriteNamesItsRegionAndTheStateTheChipShows)
{
    const std::vector<FailureCase> cases = {
        {"Main, the chip as it was", 1, false,
         "Couldn't program the flash ROM at 0xFFFC0000!|Couldn't program the Main block!\nThe flash ROM was not "
         "changed."},
        {"PNP, after Main", 2, false,
         "Couldn't program the flash ROM at 0xFFFFA000!|Couldn't program the PNP block!\nThe BIOS update is "
         "incomplete.\nAlready rewritten: Main.\nNot changed: DMI, PNP, Boot." +
             std::string(kMayNotStart)},
        {"Boot, which took the whole chip with it", 3, true,
         "Couldn't program the flash ROM at 0xFFFFC000!|Couldn't program the Boot block!\nThe BIOS update is "
         "incomplete.\nNot completely rewritten: Main, DMI, PNP, Boot." +
             std::string(kMayNotStart)},
    };
    for (const FailureCase& failure : cases) {
        SCOPED_TRACE(failure.name);
        platform.messages.shown.clear();
        Start(256 * kKiB, 4);
        programmer->failingWrite = failure.failingWrite;
        programmer->wipeOnFailure = failure.wipeOnFailure;
        rom.romInfo.clearDmi = false;
        EXPECT_FALSE(update.UpdateRom(newImage));
        std::string shown;
        for (const std::string& text : platform.messages.Texts()) shown += (shown.empty() ? "" : "|") + text;
        EXPECT_EQ(shown, failure.report);
        EXPECT_EQ(programmer->writes.size(), failure.failingWrite);
    }
}

TEST_F(ProgrammerUpdateTest, AddressesBelowTheChipReadAsAnEmptyBus)
{
    Start(128 * kKiB, 1);
    uint8_t bytes[32];
    ASSERT_TRUE(rom.ReadRom(0xFFFDFFF0, bytes, sizeof bytes));
    EXPECT_TRUE(std::all_of(bytes, bytes + 16, [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(std::equal(bytes + 16, bytes + 32, oldImage.begin()));
    EXPECT_FALSE(rom.WriteRegion(0xFFFDF000, bytes, sizeof bytes));
    EXPECT_TRUE(programmer->writes.empty());
}

}  // namespace
}  // namespace varlin
