// The write-protect messages by chip and status, and the SST 49LF004's
// boot-block lock test.
#include <gtest/gtest.h>

#include "flash/ChipCatalogue.h"
#include "flash/RomDevice.h"
#include "tests/support/BothModes.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

using test::kKiB;

constexpr char kFlash[] = " \n     Flash ROM is write protected  \n\n";
constexpr char kFlashTwoBlanks[] = " \n     Flash ROM  is write protected  \n\n";
constexpr char kFwh[] =
    " \n       FWH ROM  is write-protected  \n\n"
    "   Please make sure whether lockout jumpers\n  is set to correct or not";

TEST(WriteProtectTest, MessageByChipAndStatus)
{
    // clang-format off
    const struct {
        uint16_t chipId;
        uint16_t status;
        const char* text;  // nullptr: no message
    } cases[] = {
        {0x7C89, 0xA0, kFlash},  {0x7C31, 0xA0, kFlash},  {0x9431, 0xA0, kFlash},  {0x9489, 0xA0, kFlash},
        {0x7C89, 0x80, nullptr}, {0x9489, 0xA2, nullptr}, {0xAC89, 0xA2, kFwh},    {0xAD89, 0xA2, kFwh},
        {0xAD89, 0xA0, nullptr}, {0xAC89, 0x80, nullptr}, {0x58BF, 0x80, kFwh},    {0x32DA, 0xA0, kFwh},
        {0x57BF, 0x00, kFwh},    {0x60BF, 0xA2, kFwh},    {0xD7BF, 0x80, kFlashTwoBlanks},
        {0xA5FF, 0xA0, kFlashTwoBlanks},
    };
    // clang-format on
    for (const auto& c : cases) {
        test::FakePlatform platform;
        RomDevice rom(platform.messages, platform.kordex, platform.hardware);
        rom.romInfo.chipId = c.chipId;
        rom.eraseStatus = c.status;
        rom.ShowWriteProtectMessage();
        SCOPED_TRACE(testing::Message() << std::hex << c.chipId << " status " << c.status);
        if (c.text == nullptr) {
            EXPECT_TRUE(platform.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(platform.messages.shown.size(), 1u);
        const test::ShownMessage& shown = platform.messages.shown[0];
        EXPECT_TRUE(shown.system);
        EXPECT_EQ(shown.caption, "Erase Error Message");
        EXPECT_EQ(shown.text, c.text);
        EXPECT_EQ(shown.style.buttons, MessageButtons::Ok);
    }
}

class BootBlockTest : public ::testing::TestWithParam<bool> {
protected:
    static emulated::BoardOptions Options(uint16_t chip, bool protectBoot)
    {
        emulated::BoardOptions options;
        options.chipId = chip;
        options.layout = 6;
        options.dmiRegion = options.pnpRegion = true;
        options.protectBoot = protectBoot;
        return options;
    }
};

VARLIN_IN_BOTH_MODES(BootBlockTest);

TEST_P(BootBlockTest, LockedTopBlockOfTheSst49LF004)
{
    test::TestBoard board(test::MakeFlashImage(512 * kKiB), Options(chip::kSst49LF004, true), "smi-level = 4\n");
    test::BoardHarness harness;
    ASSERT_TRUE(harness.Start(board, GetParam()));
    EXPECT_TRUE(harness.rom.BootBlockProtected());
    EXPECT_EQ(test::ReadFile(board.RomPath()), board.Board().Rom());
    EXPECT_FALSE(board.Board().FlashAccessOpen());
    harness.rom.ShowWriteProtectMessage();
    EXPECT_EQ(harness.platform.messages.Texts(), (std::vector<std::string>{kFwh}));
}

TEST_P(BootBlockTest, UnlockedTopBlockIsErasedByTheTest)
{
    const Bytes image = test::MakeFlashImage(512 * kKiB);
    test::TestBoard board(image, Options(chip::kSst49LF004, false));
    test::BoardHarness harness;
    ASSERT_TRUE(harness.Start(board, GetParam()));
    EXPECT_FALSE(harness.rom.BootBlockProtected());
    const Bytes after = test::ReadFile(board.RomPath());
    EXPECT_TRUE(std::all_of(after.end() - 0x1000, after.end(), [](uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(std::equal(after.begin(), after.end() - 0x1000, image.begin()));
    EXPECT_TRUE(harness.platform.messages.shown.empty());
}

TEST_P(BootBlockTest, OtherChipsAreNotTouched)
{
    test::TestBoard board(test::MakeFlashImage(512 * kKiB), Options(chip::kIntelE82802AB, true));
    test::BoardHarness harness;
    ASSERT_TRUE(harness.Start(board, GetParam()));
    const size_t requests = harness.platform.kordex.requests.size();
    const size_t smis = harness.platform.hardware.smiCommands.size();
    EXPECT_FALSE(harness.rom.BootBlockProtected());
    EXPECT_EQ(harness.platform.kordex.requests.size(), requests);
    EXPECT_EQ(harness.platform.hardware.smiCommands.size(), smis);
}

}  // namespace
}  // namespace varlin
