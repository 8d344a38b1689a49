// Backing up the ROM into a file the user names: refusals, cancel, and a
// backup that fails leaving nothing that looks like one.
#include <gtest/gtest.h>

#include <filesystem>

#include "biosfile/BackupFiles.h"
#include "tests/support/FlashImages.h"
#include "tests/support/RecordingProgress.h"

namespace varlin {
namespace {

using test::kKiB;

// The Backup button is pressed as soon as the dialog shows.
struct PressingBackupDialog : BackupDialogPort {
    bool RunBackupDialog(RomBackup& backup) override
    {
        ++runs;
        backupSize = backup.backupSize;
        backupStart = backup.backupStart;
        return backup.CopyRomToFile(progress);
    }

    int runs = 0;
    uint32_t backupSize = 0;
    uint32_t backupStart = 0;
    test::RecordingProgress progress;
};

class BackupFilesTest : public ::testing::Test {
protected:
    void Start(const emulated::BoardOptions& options = {}, const std::string& settings = "")
    {
        image = test::MakeFlashImage(128 * kKiB);
        board = std::make_unique<test::TestBoard>(image, options, settings);
        ASSERT_TRUE(harness.Start(*board));
    }

    std::vector<std::string> Shown() const { return harness.platform.messages.Texts(); }
    std::vector<std::string> FilesInDir() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    Bytes image;
    std::unique_ptr<test::TestBoard> board;
    test::BoardHarness harness;
    BackupFiles files{harness.rom, harness.platform.services};
    PressingBackupDialog dialog;
};

TEST_F(BackupFilesTest, WritesTheWholeRom)
{
    Start();
    harness.platform.fileDialogs.answer = dir.File("saved.bin");
    ASSERT_TRUE(files.CreateBackupFile(dialog));
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(files.backupFilePath, dir.File("saved.bin"));
    EXPECT_EQ(test::ReadFile(dir.File("saved.bin")), image);
    EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"saved.bin"}));
    EXPECT_EQ(dialog.backupSize, 128 * kKiB);
    EXPECT_EQ(dialog.backupStart, 0xFFFE0000u);

    ASSERT_EQ(harness.platform.fileDialogs.asked.size(), 1u);
    const SaveFileDialogOptions& asked = harness.platform.fileDialogs.asked[0];
    EXPECT_EQ(asked.defaultExtension, "BIN");
    EXPECT_EQ(asked.initialFileName, ".\\awdbios.bin");
    EXPECT_EQ(asked.filter, "Binary Files (*.BIN)|*.BIN|All Files (*.*)|*.*||");
    EXPECT_TRUE(asked.hideReadOnly);
    EXPECT_TRUE(asked.confirmOverwrite);
}

TEST_F(BackupFilesTest, RefusedWhenTheBiosForbidsFlashingUnderWindows)
{
    emulated::BoardOptions options;
    options.flashInWindows = false;
    Start(options);
    harness.platform.fileDialogs.answer = dir.File("saved.bin");
    EXPECT_FALSE(files.CreateBackupFile(dialog));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Your system NOT support flashing under Windows mode!"}));
    EXPECT_TRUE(harness.platform.fileDialogs.asked.empty());
    EXPECT_TRUE(FilesInDir().empty());
}

TEST_F(BackupFilesTest, CancellingCreatesNothingAndSaysNothing)
{
    Start();
    EXPECT_FALSE(files.CreateBackupFile(dialog));
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(dialog.runs, 0);
    EXPECT_TRUE(FilesInDir().empty());
}

TEST_F(BackupFilesTest, AFileThatCannotBeCreated)
{
    Start();
    harness.platform.fileDialogs.answer = dir.File("no-such-folder/saved.bin");
    EXPECT_FALSE(files.CreateBackupFile(dialog));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Couldn't create the file!"}));
    EXPECT_EQ(dialog.runs, 0);
}

TEST_F(BackupFilesTest, AFailedBackupLeavesNoFileThatLooksComplete)
{
    Start({}, "fail = read 0xFFFF0000\n");
    harness.platform.fileDialogs.answer = dir.File("saved.bin");
    EXPECT_FALSE(files.CreateBackupFile(dialog));
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Couldn't read the flash ROM at 0xFFFF0000!"}));
    EXPECT_TRUE(FilesInDir().empty());

    // An older file of that name is left as it was.
    dir.Write("saved.bin", Bytes{1, 2, 3});
    EXPECT_FALSE(files.CreateBackupFile(dialog));
    EXPECT_EQ(FilesInDir(), (std::vector<std::string>{"saved.bin"}));
    EXPECT_EQ(test::ReadFile(dir.File("saved.bin")), (Bytes{1, 2, 3}));
}

TEST_F(BackupFilesTest, ABackupReplacesAnOlderFile)
{
    Start();
    dir.Write("saved.bin", Bytes{1, 2, 3});
    harness.platform.fileDialogs.answer = dir.File("saved.bin");
    ASSERT_TRUE(files.CreateBackupFile(dialog));
    EXPECT_EQ(test::ReadFile(dir.File("saved.bin")), image);
}

}  // namespace
}  // namespace varlin
