// The small dialogs, the Backup BIOS dialog and the start and Advanced
// pages' ways in and out, played through the test window host.
#include <gtest/gtest.h>

#include "app/AboutDialog.h"
#include "app/BackupBiosDialog.h"
#include "app/WarningDialog.h"
#include "app/WizardApp.h"
#include "biosfile/BackupFiles.h"
#include "flash/DriverService.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/FlashImages.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::Click;
using test::kKiB;
using test::WindowState;

TEST(SmallDialogsTest, WarningAndAboutEndAsTheUserChooses)
{
    test::FakeWindowHost host;
    CWarningDialog warning(host);
    CAboutDialog about(host);
    EXPECT_EQ(warning.TemplateId(), IDD_WARNING);
    EXPECT_EQ(about.TemplateId(), IDD_ABOUT);

    host.Script(IDD_WARNING, {Click(kResultOk)});
    EXPECT_EQ(warning.DoModal(), kResultOk);
    host.Script(IDD_WARNING, {Click(kResultCancel)});
    EXPECT_EQ(warning.DoModal(), kResultCancel);  // Cancel, Escape and the close box alike
    host.Script(IDD_ABOUT, {Click(kResultOk)});
    EXPECT_EQ(about.DoModal(), kResultOk);
    host.Script(IDD_ABOUT, {Click(kResultCancel)});
    EXPECT_EQ(about.DoModal(), kResultCancel);
}

// A program on a 128 KiB board, started as far as the ROM's identification.
class BoardProgramTest : public ::testing::Test {
protected:
    explicit BoardProgramTest(const std::string& settings = "")
        : board(test::MakeFlashImage(128 * kKiB, "TESTBIOS"), {}, settings)
    {
        platform().system.programDirectory = dir.Path().string() + "/";
        platform().AttachBoard(board.Board());
        fake.romDevice.DetectPlatform(platform().system.PlatformVersion());
        EXPECT_TRUE(OpenDriver(fake.romDevice.romInfo, platform().services));
        fake.romDevice.StartRomAccess();
    }

    test::FakePlatform& platform() { return fake.platform; }
    WindowState& State(const DialogHandler& dialog) { return platform().windows.State(dialog); }

    // Backup through the Backup BIOS dialog into `name` in the test folder.
    bool Backup(const std::string& name)
    {
        platform().fileDialogs.answer = dir.File(name);
        BackupFiles files(fake.romDevice, platform().services);
        return files.CreateBackupFile(dialog);
    }

    // The current directory too: leaving the program changes into its folder.
    test::TempDir dir{test::TempDir::Enter};
    test::TestBoard board;
    test::FakeProgram fake;
    CBackupBiosDialog dialog{platform().windows};
};

using BackupBiosDialogTest = BoardProgramTest;

TEST_F(BackupBiosDialogTest, TheBackupButtonCopiesTheRomWithBarAndPercentage)
{
    platform().windows.Script(IDD_BACKUP_BIOS, {Click(IDC_BACKUP_START)});
    ASSERT_TRUE(Backup("backup.bin"));
    EXPECT_EQ(test::ReadFile(dir.File("backup.bin")), test::ReadFile(board.RomPath()));

    WindowState& state = State(dialog);
    EXPECT_EQ(state.result, kResultOk);
    // Nothing can be pressed while the copy runs; the bar takes the hint's place.
    EXPECT_TRUE(state.disabled[IDC_BACKUP_START]);
    EXPECT_TRUE(state.disabled[kResultCancel]);
    EXPECT_TRUE(state.hidden[IDC_BACKUP_START]);
    EXPECT_TRUE(state.hidden[kResultCancel]);
    EXPECT_TRUE(state.hidden[IDC_PRESS_TO_BEGIN]);
    EXPECT_FALSE(state.hidden[IDC_BACKUP_PROGRESS]);
    EXPECT_FALSE(platform().windows.waitCursor);

    // 128 KiB: 32 blocks, the bar in KiB, each percentage shown before its block.
    EXPECT_EQ(state.progressUpper[IDC_BACKUP_PROGRESS], 128u);
    const std::vector<uint32_t>& positions = state.progressPositions[IDC_BACKUP_PROGRESS];
    ASSERT_EQ(positions.size(), 33u);
    EXPECT_EQ(positions.front(), 0u);
    EXPECT_EQ(positions[1], 4u);
    EXPECT_EQ(positions.back(), 128u);
    const std::vector<std::string>& percentages = state.textHistory[IDC_BACKUP_PERCENT];
    ASSERT_EQ(percentages.size(), 32u);
    EXPECT_EQ(percentages[0], "3");
    EXPECT_EQ(percentages[1], "6");
    EXPECT_EQ(percentages.back(), "100");
}

TEST_F(BackupBiosDialogTest, CancelAndEnterCopyNothing)
{
    platform().windows.Script(IDD_BACKUP_BIOS, {Click(kResultOk), Click(kResultCancel)});
    EXPECT_FALSE(Backup("backup.bin"));
    ASSERT_FALSE(platform().windows.log.empty());
    EXPECT_EQ(platform().windows.log.back(), "end 149 2");  // Enter did not end the dialog
    EXPECT_EQ(platform().kordex.CountOf(kordex::kReadBytes), 0u);
    EXPECT_FALSE(test::FileExists(dir.File("backup.bin")));
    EXPECT_FALSE(test::FileExists(dir.File("backup.bin.partial")));
    EXPECT_TRUE(platform().messages.shown.empty());
}

class BackupReadFailureTest : public BoardProgramTest {
protected:
    BackupReadFailureTest() : BoardProgramTest("fail = read 0xFFFE8000\n") {}
};

TEST_F(BackupReadFailureTest, AFailedReadEndsTheDialogWithoutAFile)
{
    platform().windows.Script(IDD_BACKUP_BIOS, {Click(IDC_BACKUP_START)});
    EXPECT_FALSE(Backup("backup.bin"));
    EXPECT_EQ(State(dialog).result, kResultCancel);
    EXPECT_EQ(platform().messages.Texts(), std::vector<std::string>{"Couldn't read the flash ROM at 0xFFFE8000!"});
    EXPECT_FALSE(platform().windows.waitCursor);
    EXPECT_FALSE(test::FileExists(dir.File("backup.bin")));
    EXPECT_FALSE(test::FileExists(dir.File("backup.bin.partial")));
}

// The start page and the Advanced page, as far as the program has them.
using PagesTest = BoardProgramTest;

TEST_F(PagesTest, EveryWayOutOfTheStartPageEndsTheProgramAndItsWorkingCopy)
{
    for (const int command : {IDC_PAGE_EXIT, kResultCancel}) {
        dir.Write("yta.bin", {1});
        platform().windows.Script(IDD_START_PAGE, {Click(kResultOk), Click(command)});
        try {
            fake.app.startPage.DoModal();
            ADD_FAILURE() << "the program went on after " << command;
        } catch (const test::ProcessEnded& ended) {
            EXPECT_EQ(ended.exitCode, 0);
        }
        EXPECT_FALSE(test::FileExists(dir.File("yta.bin"))) << command;
    }
}

TEST_F(PagesTest, TheStartPageSetsUpItsFrameAndTheAboutItem)
{
    platform().windows.Script(IDD_START_PAGE,
                              {[](DialogHandler& page) { EXPECT_FALSE(page.OnSysCommand(0xF020)); },
                               [](DialogHandler& page) { EXPECT_TRUE(page.OnSysCommand(kAboutCommand)); },
                               [this](DialogHandler& page) { platform().windows.EndDialog(page, 2); }});
    platform().windows.Script(IDD_ABOUT, {Click(kResultOk)});
    fake.app.startPage.DoModal();

    WindowState& state = State(fake.app.startPage);
    EXPECT_EQ(state.caption, "VARLIN");
    EXPECT_EQ(state.icon, IDI_PROGRAM);
    EXPECT_EQ(state.menuItemsRemoved, 3);
    EXPECT_EQ(state.menuItemsAdded, (std::vector<std::pair<int, std::string>>{{16, "&About VARLIN..."}}));
    EXPECT_TRUE(state.disabled[IDC_PAGE_NEXT]);  // no BIOS file was found
    EXPECT_EQ(State(fake.app.startPage).runs, 1);
    EXPECT_NE(std::find(platform().windows.log.begin(), platform().windows.log.end(), "run 100"),
              platform().windows.log.end());
}

TEST_F(PagesTest, AdvancedLeadsToTheAdvancedPageAndBackWithTheMainWindow)
{
    platform().windows.MarkWindow(fake.app.startPage, "varlin");
    platform().windows.SetMainWindow(fake.app.startPage);
    platform().windows.Script(IDD_START_PAGE, {Click(IDC_PAGE_ADVANCED), [this](DialogHandler& page) {
                                                   platform().windows.EndDialog(page, kResultCancel);
                                               }});
    platform().windows.Script(IDD_ADVANCED_PAGE, {[this](DialogHandler&) {
                                                      EXPECT_EQ(fake.app.advancedMode, 1);
                                                      EXPECT_EQ(platform().windows.mainWindow, &fake.app.advancedPage);
                                                      EXPECT_EQ(State(fake.app.advancedPage).property, "varlin");
                                                      EXPECT_FALSE(platform().windows.Visible(fake.app.startPage));
                                                  },
                                                  Click(IDC_PAGE_BACK)});
    fake.app.startPage.DoModal();

    EXPECT_EQ(platform().windows.mainWindow, &fake.app.startPage);
    EXPECT_EQ(State(fake.app.startPage).property, "varlin");
    EXPECT_TRUE(State(fake.app.advancedPage).property.empty());
    EXPECT_EQ(State(fake.app.advancedPage).result, kResultCancel);
    EXPECT_TRUE(State(fake.app.advancedPage).disabled[IDC_PAGE_NEXT]);  // "Super >>" without a BIOS file
}

TEST_F(PagesTest, BackupBiosOnTheAdvancedPageWritesTheRomAndStays)
{
    platform().fileDialogs.answer = dir.File("saved.bin");
    platform().windows.Script(IDD_ADVANCED_PAGE, {Click(IDC_PAGE_BACKUP), [this](DialogHandler& page) {
                                                      platform().windows.EndDialog(page, kResultCancel);
                                                  }});
    platform().windows.Script(IDD_BACKUP_BIOS, {Click(IDC_BACKUP_START)});
    fake.app.advancedPage.DoModal();
    EXPECT_EQ(test::ReadFile(dir.File("saved.bin")), test::ReadFile(board.RomPath()));
    ASSERT_EQ(platform().fileDialogs.asked.size(), 1u);
    EXPECT_EQ(platform().fileDialogs.asked[0].initialFileName, ".\\awdbios.bin");
}

TEST_F(PagesTest, EscapeOnTheAdvancedPageEndsItsRunThenTheProgram)
{
    platform().windows.Script(IDD_ADVANCED_PAGE, {Click(kResultCancel)});
    EXPECT_THROW(fake.app.advancedPage.DoModal(), test::ProcessEnded);
    ASSERT_FALSE(platform().windows.log.empty());
    EXPECT_EQ(platform().windows.log.back(), "end 152 2");
}

}  // namespace
}  // namespace varlin
