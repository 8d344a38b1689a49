// The update's work on emulated boards: the region order, the step texts
// and percentages, the regions it keeps, write protection, and every
// injected fault failing the update with a message that says where the ROM
// was left.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "flash/FlashSmi.h"
#include "flash/RomUpdate.h"
#include "platform/support/Text.h"
#include "tests/support/BothModes.h"
#include "tests/support/FlashImages.h"
#include "tests/support/RecordingProgress.h"

namespace varlin {
namespace {

using test::kKiB;

constexpr char kIncomplete[] = "\nThe BIOS update is incomplete.";
constexpr char kMayNotStart[] = "\nThe computer may not start until a BIOS file has been programmed completely.";

emulated::BoardOptions Options(uint16_t chip, uint8_t layout, bool regions = true, bool protectBoot = false)
{
    emulated::BoardOptions options;
    options.chipId = chip;
    options.layout = layout;
    options.dmiRegion = options.pnpRegion = regions;
    options.protectBoot = protectBoot;
    return options;
}

// A board holding one image, and an update that is to write another.
struct UpdateRig {
    void Start(bool directMode, uint32_t size, const emulated::BoardOptions& options, const std::string& settings)
    {
        direct = directMode;
        oldImage = test::MakeFlashImage(size, "TESTBIOS", 1);
        newImage = test::MakeFlashImage(size, "TESTBIOS", 2);
        board = std::make_unique<test::TestBoard>(oldImage, options, settings);
        ASSERT_TRUE(harness.Start(*board, direct));
        RomInfo& info = harness.rom.romInfo;
        info.clearDmi = true;
        update.romSizeBytes = info.RomSizeBytes();
        update.mainStart = info.romBase;
        harness.platform.kordex.requests.clear();
        harness.platform.hardware.smiCommands.clear();
    }

    const RomInfo& Info() const { return harness.rom.romInfo; }
    std::vector<std::string> Messages() const { return harness.platform.messages.Texts(); }
    Bytes Rom() const { return test::ReadFile(board->RomPath()); }  // what rom.bin holds

    size_t Requests(uint32_t driverCode, uint8_t smiCommand) const
    {
        return direct ? harness.platform.hardware.CountOf(smiCommand) : harness.platform.kordex.CountOf(driverCode);
    }
    bool NothingSent() const
    {
        return harness.platform.kordex.requests.empty() && harness.platform.hardware.smiCommands.empty();
    }

    bool direct = false;
    Bytes oldImage;
    Bytes newImage;
    std::unique_ptr<test::TestBoard> board;
    test::BoardHarness harness;
    test::RecordingProgress progress;
    RomUpdate update{harness.rom, harness.platform.messages, progress};
};

// The bytes of an image at a physical address.
Bytes Slice(const Bytes& image, uint32_t address, uint32_t size)
{
    const auto first = image.begin() + static_cast<long>(test::ImageOffset(image, address));
    return Bytes(first, first + size);
}

class RomUpdateTest : public ::testing::TestWithParam<bool> {
protected:
    void Start(uint32_t size, const emulated::BoardOptions& options, const std::string& settings = "")
    {
        rig.Start(GetParam(), size, options, settings);
    }

    UpdateRig rig;
    RomUpdate& update = rig.update;
    test::RecordingProgress& progress = rig.progress;
    Bytes& oldImage = rig.oldImage;
    Bytes& newImage = rig.newImage;
};

VARLIN_IN_BOTH_MODES(RomUpdateTest);

TEST_P(RomUpdateTest, MainFirstWhenTheSmallRegionsLieBelowBoot)
{
    Start(256 * kKiB, Options(0x7C89, 4));
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(rig.Rom(), newImage);
    EXPECT_TRUE(rig.harness.platform.messages.shown.empty());
    EXPECT_EQ(progress.steps, test::UpdateSteps({"Main", "DMI", "PNP", "Boot"}));
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{224, 8, 8, 16}));
    // Main's four blocks (64, 64, 64, 32 KiB), then one block each.
    EXPECT_EQ(rig.Requests(kordex::kEraseBlock, smi::kEraseBlock), 7u);
    EXPECT_EQ(rig.Requests(kordex::kProgramBytes, smi::kWrite16), 256u * kKiB / 16);
    EXPECT_FALSE(rig.board->Board().FlashAccessOpen());
}

TEST_P(RomUpdateTest, SmallRegionsAtTheBottomComeFirstAndTheBarCountsEachPiece)
{
    Start(512 * kKiB, Options(0xD7BF, 6));
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(rig.Rom(), newImage);
    EXPECT_EQ(progress.steps, test::UpdateSteps({"DMI", "PNP", "Main", "Boot"}));
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{64, 64, 320, 64}));

    // The DMI region's 16 pieces: the bar at 0, then at each piece's end
    // before it is written, and the percentage of that position.
    std::vector<uint32_t> positions = {0};
    std::vector<int32_t> percentages;
    for (uint32_t piece = 1; piece <= 16; ++piece) {
        positions.push_back(piece * 4);
        percentages.push_back(static_cast<int32_t>(piece * 4 * 100 / 64));
    }
    EXPECT_EQ(std::vector<uint32_t>(progress.positions.begin(), progress.positions.begin() + 17), positions);
    EXPECT_EQ(std::vector<int32_t>(progress.percentages.begin(), progress.percentages.begin() + 16), percentages);
    EXPECT_EQ(percentages.front(), 6);
    EXPECT_EQ(percentages[1], 12);
    EXPECT_EQ(percentages[2], 18);
    EXPECT_EQ(percentages.back(), 100);
    EXPECT_EQ(progress.percentages.size(), (512u - 0u) / 4);
}

TEST_P(RomUpdateTest, LayoutOneKeepsTheRomsDmiData)
{
    Start(128 * kKiB, Options(0x9489, 1));
    rig.harness.rom.romInfo.clearDmi = false;
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(progress.steps, test::UpdateSteps({"Main", "PNP", "Boot"}));
    const Bytes rom = rig.Rom();
    const uint32_t dmi = rig.Info().dmiStart;
    EXPECT_EQ(dmi, 0xFFFFC000u);
    EXPECT_EQ(Slice(rom, dmi, 4 * kKiB), Slice(oldImage, dmi, 4 * kKiB));
    Bytes expected = newImage;
    const Bytes kept = Slice(oldImage, dmi, 4 * kKiB);
    std::copy(kept.begin(), kept.end(), expected.begin() + static_cast<long>(test::ImageOffset(expected, dmi)));
    EXPECT_EQ(rom, expected);
}

TEST_P(RomUpdateTest, TheExtraRegionAbovePnpIsLeftAlone)
{
    Start(512 * kKiB, Options(0xD7BF, 6));
    RomInfo& info = rig.harness.rom.romInfo;
    info.extraStart = info.pnpStart + 0x10000;
    info.extraSize = 0x10000;
    info.ComputeMainSize();
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{64, 64, 256, 64}));
    const Bytes rom = rig.Rom();
    EXPECT_EQ(Slice(rom, 0xFFFA0000, 0x10000), Slice(oldImage, 0xFFFA0000, 0x10000));
    EXPECT_EQ(Slice(rom, 0xFFF80000, 0x20000), Slice(newImage, 0xFFF80000, 0x20000));
    EXPECT_EQ(Slice(rom, 0xFFFB0000, 0x50000), Slice(newImage, 0xFFFB0000, 0x50000));
}

TEST_P(RomUpdateTest, ARegionOfNoBytesOnlyShowsItsTexts)
{
    Start(256 * kKiB, Options(0x7C89, 4));
    EXPECT_TRUE(update.ProgramRegion(rig.Info().pnpStart, newImage.data(), 0, "PNP"));
    EXPECT_EQ(progress.steps, test::UpdateSteps({"PNP"}));
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{0}));
    EXPECT_EQ(progress.positions, (std::vector<uint32_t>{0}));
    EXPECT_TRUE(progress.percentages.empty());
    EXPECT_TRUE(rig.NothingSent());
    EXPECT_EQ(rig.Rom(), oldImage);
}

TEST_P(RomUpdateTest, PageWriteChipsAreErasedAllTheSame)
{
    Start(256 * kKiB, Options(0x10BF, 4));
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(rig.Rom(), newImage);
    EXPECT_EQ(rig.Requests(kordex::kEraseBlock, smi::kEraseBlock), 7u);
}

TEST_P(RomUpdateTest, FlashAccessIsOpenedForEachRegionAndClosedAfterIt)
{
    Start(256 * kKiB, Options(0x7C89, 4), "smi-level = 4\n");
    rig.harness.rom.romInfo.smiLevel = 4;  // what the direct-mode query finds; the driver's answer is not trusted
    ASSERT_TRUE(update.UpdateRom(newImage));
    EXPECT_EQ(rig.Rom(), newImage);
    EXPECT_FALSE(rig.board->Board().FlashAccessOpen());
}

// Records whose regions the ROM cannot take are refused before the first
// erase: layout 3 without a PNP region (PNP at 0), layout 3 announcing a
// DMI region it has no place for (DMI at 0), and layout 6 without its DMI
// region, whose PNP region would be programmed from the file's first bytes.
TEST_P(RomUpdateTest, PlansTheRomCannotTakeAreRefusedUntouched)
{
    const struct {
        uint32_t size;
        emulated::BoardOptions options;
        const char* message;
    } cases[] = {
        {256 * kKiB, Options(0x7C89, 3, false), "The PNP block at 0x00000000 lies outside the flash ROM!"},
        {256 * kKiB, Options(0x7C89, 3, true), "The DMI block at 0x00000000 lies outside the flash ROM!"},
        {512 * kKiB,
         [] {
             auto o = Options(0xD7BF, 6);
             o.dmiRegion = false;
             return o;
         }(),
         "The PNP block at 0xFFF90000 does not fit the flash ROM's erase blocks and regions!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        UpdateRig refused;
        refused.Start(GetParam(), c.size, c.options, "");
        EXPECT_FALSE(refused.update.UpdateRom(refused.newImage));
        EXPECT_EQ(refused.Messages(),
                  (std::vector<std::string>{c.message + std::string("\nThe flash ROM was not changed.")}));
        EXPECT_TRUE(refused.NothingSent());
        EXPECT_EQ(refused.Rom(), refused.oldImage);
    }
}

TEST_P(RomUpdateTest, AnImageThatIsNotTheRomsSizeIsRefusedBeforeAnyErase)
{
    Start(256 * kKiB, Options(0x7C89, 4));
    const Bytes half(newImage.begin(), newImage.begin() + 128 * kKiB);
    EXPECT_FALSE(update.UpdateRom(half));
    update.romSizeBytes = 0;
    EXPECT_FALSE(update.UpdateRom(newImage));
    const std::string refused = "The Main block lies outside the BIOS file!\nThe flash ROM was not changed.";
    EXPECT_EQ(rig.harness.platform.messages.Texts(), (std::vector<std::string>{refused, refused}));
    EXPECT_TRUE(rig.NothingSent());
    EXPECT_EQ(rig.Rom(), oldImage);
}

TEST_P(RomUpdateTest, LockedSstBootBlockIsLeftAlone)
{
    Start(512 * kKiB, Options(0x58BF, 6, true, true));
    EXPECT_FALSE(update.UpdateRom(newImage));
    const auto& shown = rig.harness.platform.messages.shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].system);
    EXPECT_EQ(shown[0].caption, "Erase Error Message");
    EXPECT_EQ(shown[0].text,
              " \n       FWH ROM  is write-protected  \n\n"
              "   Please make sure whether lockout jumpers\n  is set to correct or not");
    EXPECT_FALSE(shown[1].system);
    EXPECT_EQ(shown[1].text, std::string("The Boot block is write-protected!") + kIncomplete +
                                 "\nAlready rewritten: DMI, PNP, Main.\nNot changed: Boot." + kMayNotStart);
    EXPECT_EQ(progress.steps, test::UpdateSteps({"DMI", "PNP", "Main"}));
    const Bytes rom = rig.Rom();
    EXPECT_EQ(Slice(rom, 0xFFFF0000, 0x10000), Slice(oldImage, 0xFFFF0000, 0x10000));
    EXPECT_EQ(Slice(rom, 0xFFF80000, 0x70000), Slice(newImage, 0xFFF80000, 0x70000));
}

TEST_P(RomUpdateTest, WriteProtectedBootAfterAGoodMain)
{
    Start(256 * kKiB, Options(0x7C89, 4, true, true));
    EXPECT_FALSE(update.UpdateRom(newImage));
    const auto& shown = rig.harness.platform.messages.shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Erase Error Message");
    EXPECT_EQ(shown[0].text, " \n     Flash ROM is write protected  \n\n");
    EXPECT_EQ(shown[1].text, std::string("Couldn't erase the Boot block!") + kIncomplete +
                                 "\nAlready rewritten: Main, DMI, PNP.\nNot completely rewritten: Boot." +
                                 kMayNotStart);
    EXPECT_EQ(progress.steps.back(), "Erasing Boot Block");
    const Bytes rom = rig.Rom();
    EXPECT_EQ(Slice(rom, 0xFFFFC000, 0x4000), Slice(oldImage, 0xFFFFC000, 0x4000));
    EXPECT_EQ(Slice(rom, 0xFFFC0000, 0x3C000), Slice(newImage, 0xFFFC0000, 0x3C000));
}

// Faults of the board, each in a region of a 256 KiB board whose regions
// go Main (0xFFFC0000), DMI (0xFFFF8000), PNP (0xFFFFA000), Boot (0xFFFFC000).
struct Fault {
    const char* name;
    uint16_t chip;
    std::string settings;
    // The messages, given the images the board held and was to hold.
    std::function<std::vector<std::string>(const Bytes& oldImage, const Bytes& newImage, bool direct)> messages;
    std::vector<const char*> unchanged;  // regions still as they were
};

std::string Mismatch(const char* region, uint32_t address, uint8_t inRom, uint8_t inFile)
{
    return FormatText("The %s block did not verify: the flash ROM at 0x%08X reads 0x%02X, the BIOS file has 0x%02X!",
                      region, address, inRom, inFile);
}

uint8_t At(const Bytes& image, uint32_t address) { return image[test::ImageOffset(image, address)]; }

const std::vector<Fault>& Faults()
{
    static const std::vector<Fault> faults = {
        {"a Main block that will not erase",
         0x7C89,
         "stuck-block = 0xFFFD0000\n",
         [](const Bytes&, const Bytes&, bool) {
             return std::vector<std::string>{std::string("Couldn't erase the Main block!") + kIncomplete +
                                             "\nNot completely rewritten: Main.\nNot changed: DMI, PNP, Boot." +
                                             kMayNotStart};
         },
         {"DMI", "PNP", "Boot"}},
        {"a PNP byte that will not program",
         0x7C89,
         "stuck-byte = 0xFFFFA123\n",
         [](const Bytes&, const Bytes& image, bool) {
             return std::vector<std::string>{Mismatch("PNP", 0xFFFFA123, 0xFF, At(image, 0xFFFFA123)) + kIncomplete +
                                             "\nAlready rewritten: Main, DMI.\nNot completely rewritten: PNP."
                                             "\nNot changed: Boot." +
                                             kMayNotStart};
         },
         {"Boot"}},
        {"a Boot byte that will not program",
         0x7C89,
         "stuck-byte = 0xFFFFFF00\n",
         [](const Bytes&, const Bytes& image, bool) {
             return std::vector<std::string>{Mismatch("Boot", 0xFFFFFF00, 0xFF, At(image, 0xFFFFFF00)) + kIncomplete +
                                             "\nAlready rewritten: Main, DMI, PNP.\nNot completely rewritten: Boot." +
                                             kMayNotStart};
         },
         {}},
        {"a refused program request",
         0x7C89,
         "fail = program 0xFFFE0000\n",
         [](const Bytes&, const Bytes&, bool) {
             return std::vector<std::string>{"Couldn't program the flash ROM at 0xFFFE0000!",
                                             std::string("Couldn't program the Main block!") + kIncomplete +
                                                 "\nNot completely rewritten: Main.\nNot changed: DMI, PNP, Boot." +
                                                 kMayNotStart};
         },
         {"DMI", "PNP", "Boot"}},
        {"a refused erase request",
         0x7C89,
         "fail = erase 0xFFFF8000\n",
         [](const Bytes&, const Bytes&, bool direct) {
             return std::vector<std::string>{
                 direct ? "Please disable 'Flash Write Protect' in CMOS setup \nand set write-protect jumper on "
                          "mainboard to open."
                        : "Couldn't erase the flash ROM block at 0xFFFF8000!",
                 std::string("Couldn't erase the DMI block!") + kIncomplete +
                     "\nAlready rewritten: Main.\nNot completely rewritten: DMI.\nNot changed: PNP, Boot." +
                     kMayNotStart};
         },
         {"PNP", "Boot"}},
        {"a refused read while reading back",
         0x7C89,
         "fail = read 0xFFFE8800\n",
         [](const Bytes&, const Bytes&, bool) {
             return std::vector<std::string>{"Couldn't read the flash ROM at 0xFFFE8800!",
                                             std::string("Couldn't read back the Main block!") + kIncomplete +
                                                 "\nNot completely rewritten: Main.\nNot changed: DMI, PNP, Boot." +
                                                 kMayNotStart};
         },
         {"DMI", "PNP", "Boot"}},
        // A page-write part passes every blank check, so only the read-back
        // sees that its protected first block kept the old BIOS.
        {"a page-write chip ignoring writes to a protected block",
         0x10BF,
         "protect = 0xFFFC0000 0x1000\n",
         [](const Bytes& old, const Bytes& image, bool) {
             uint32_t address = 0xFFFC0000;
             while (At(old, address) == At(image, address)) ++address;
             return std::vector<std::string>{
                 Mismatch("Main", address, At(old, address), At(image, address)) + kIncomplete +
                 "\nNot completely rewritten: Main.\nNot changed: DMI, PNP, Boot." + kMayNotStart};
         },
         {"DMI", "PNP", "Boot"}},
    };
    return faults;
}

TEST_P(RomUpdateTest, EveryInjectedFaultFailsTheUpdateAndSaysWhereTheRomWasLeft)
{
    for (const Fault& fault : Faults()) {
        SCOPED_TRACE(fault.name);
        UpdateRig faulty;
        faulty.Start(GetParam(), 256 * kKiB, Options(fault.chip, 4), fault.settings);
        ASSERT_NE(At(faulty.newImage, 0xFFFFA123), 0xFF);
        ASSERT_NE(At(faulty.newImage, 0xFFFFFF00), 0xFF);

        EXPECT_FALSE(faulty.update.UpdateRom(faulty.newImage));
        EXPECT_EQ(faulty.Messages(), fault.messages(faulty.oldImage, faulty.newImage, GetParam()));
        const Bytes rom = faulty.Rom();
        for (const UpdateRegion& region : PlanUpdate(faulty.Info(), faulty.update.mainStart)) {
            const bool unchanged = std::find_if(fault.unchanged.begin(), fault.unchanged.end(), [&](const char* name) {
                                       return std::string(name) == region.name;
                                   }) != fault.unchanged.end();
            if (unchanged) {
                EXPECT_EQ(Slice(rom, region.address, region.size), Slice(faulty.oldImage, region.address, region.size))
                    << region.name;
            }
        }
        EXPECT_FALSE(faulty.board->Board().FlashAccessOpen());
    }
}

}  // namespace
}  // namespace varlin
