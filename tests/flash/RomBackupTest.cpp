// The backup copy loop: blocks, requests and the percentage it shows.
#include <gtest/gtest.h>

#include <cstdio>

#include "flash/FlashSmi.h"
#include "flash/RomBackup.h"
#include "tests/support/BothModes.h"
#include "tests/support/FlashImages.h"
#include "tests/support/RecordingProgress.h"

namespace varlin {
namespace {

using test::kKiB;

class RomBackupTest : public ::testing::TestWithParam<bool> {
protected:
    void Start(uint32_t size, const std::string& settings = "")
    {
        emulated::BoardOptions options;
        image = test::MakeFlashImage(size);
        board = std::make_unique<test::TestBoard>(image, options, settings);
        ASSERT_TRUE(harness.Start(*board, GetParam()));
        harness.platform.kordex.requests.clear();
        file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        backup.backupFile = file;
        backup.backupSize = harness.rom.romInfo.RomSizeBytes();
        backup.backupStart = harness.rom.romInfo.romBase;
    }

    ~RomBackupTest() override
    {
        if (file != nullptr) std::fclose(file);
    }

    Bytes Written() const
    {
        Bytes bytes(static_cast<size_t>(std::ftell(file)));
        std::rewind(file);
        const size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        bytes.resize(got);
        return bytes;
    }

    Bytes image;
    std::unique_ptr<test::TestBoard> board;
    test::BoardHarness harness;
    RomBackup backup{harness.rom, harness.platform.messages};
    test::RecordingProgress progress;
    std::FILE* file = nullptr;
};

VARLIN_IN_BOTH_MODES(RomBackupTest);

TEST_P(RomBackupTest, CopiesTheWholeRomInBlocksOf4096)
{
    Start(128 * kKiB);
    ASSERT_TRUE(backup.CopyRomToFile(progress));
    EXPECT_EQ(Written(), image);
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{128}));
    EXPECT_EQ(progress.positions.size(), 33u);  // 0, then one per block
    EXPECT_EQ(progress.positions.back(), 128u);
    if (!GetParam()) {
        EXPECT_EQ(harness.platform.kordex.CountOf(kordex::kSetAddress), 32u);
        EXPECT_EQ(harness.platform.kordex.CountOf(kordex::kReadBytes), 32u * 256u);
        EXPECT_EQ(harness.platform.kordex.requests.size(), 32u * 257u);
    } else {
        EXPECT_EQ(harness.platform.hardware.CountOf(smi::kRead16), 32u * 256u);
    }
}

TEST_P(RomBackupTest, PercentageCountsTheBlockAboutToBeRead)
{
    Start(256 * kKiB);
    ASSERT_TRUE(backup.CopyRomToFile(progress));
    ASSERT_EQ(progress.percentages.size(), 64u);
    EXPECT_EQ(std::vector<int32_t>(progress.percentages.begin(), progress.percentages.begin() + 6),
              (std::vector<int32_t>{1, 3, 4, 6, 7, 9}));
    EXPECT_EQ(progress.percentages.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.percentages.begin(), progress.percentages.end()));
}

TEST_P(RomBackupTest, NothingToCopy)
{
    Start(128 * kKiB);
    backup.backupSize = 0;
    ASSERT_TRUE(backup.CopyRomToFile(progress));
    EXPECT_EQ(progress.ranges, (std::vector<uint32_t>{0}));
    EXPECT_TRUE(progress.percentages.empty());
    EXPECT_TRUE(Written().empty());
    EXPECT_TRUE(harness.platform.kordex.requests.empty());
}

TEST_P(RomBackupTest, AFailingReadStopsTheCopy)
{
    Start(128 * kKiB, "fail = read 0xFFFE5010\n");
    EXPECT_FALSE(backup.CopyRomToFile(progress));
    EXPECT_EQ(harness.platform.messages.Texts(),
              (std::vector<std::string>{"Couldn't read the flash ROM at 0xFFFE5010!"}));
    EXPECT_EQ(Written(), Bytes(image.begin(), image.begin() + 0x5000));
    EXPECT_EQ(progress.percentages.size(), 6u);
}

}  // namespace
}  // namespace varlin
