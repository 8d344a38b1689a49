// Start-up of the program: one running instance, the driver, the ROM's
// identification, the board's BIOS file, and the start page as the marked
// main window, in this order; and every way start-up stops early.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/WizardApp.h"
#include "flash/DriverService.h"
#include "flash/FlashSmi.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/FlashImages.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::kKiB;
using test::WindowState;

class StartupTest : public ::testing::Test {
protected:
    StartupTest()
    {
        platform().system.programDirectory = dir.Path().string() + "/";
        // The platform ends the start page's loop: the program itself never does.
        platform().windows.Script(IDD_START_PAGE, {[this](DialogHandler& page) {
                                      startPageSeen = true;
                                      platform().windows.EndDialog(page, kResultCancel);
                                  }});
    }

    test::FakePlatform& platform() { return fake.platform; }
    void AttachBoard() { platform().AttachBoard(board.Board()); }
    void PutBoardBios() const
    {
        std::filesystem::create_directory(dir.File("bios"));
        dir.Write("bios/board.bin", test::ReadFile(board.RomPath()));
    }
    const std::vector<std::string>& Log() { return platform().windows.log; }
    WindowState& StartPage() { return platform().windows.State(fake.app.startPage); }

    test::TempDir dir{test::TempDir::Enter};
    test::TestBoard board{test::MakeFlashImage(128 * kKiB, "TESTBIOS"), {}};
    test::FakeProgram fake;
    bool startPageSeen = false;
};

TEST_F(StartupTest, RunsInOrderUpToTheStartPageAsTheMarkedMainWindow)
{
    AttachBoard();
    PutBoardBios();
    EXPECT_FALSE(fake.app.InitInstance());

    EXPECT_EQ(platform().system.instanceMarks, std::vector<std::string>{"varlin"});
    EXPECT_EQ(fake.romDevice.romInfo.platformMode, kPlatformNt);
    // The segment, then the SMI port and the level query; nothing else yet.
    EXPECT_EQ(platform().kordex.requests,
              (std::vector<uint32_t>{kordex::kReadSegment, kordex::kSetSmiPort, kordex::kSmiControl}));
    EXPECT_TRUE(fake.romDevice.romInfo.flashInfoFound);
    // The BIOS file was found by the identification made before.
    EXPECT_TRUE(fake.app.biosFileFound);
    EXPECT_EQ(test::ReadFile(dir.File("yta.bin")), test::ReadFile(board.RomPath()));
    EXPECT_TRUE(platform().messages.shown.empty());

    EXPECT_TRUE(startPageSeen);
    EXPECT_FALSE(fake.app.driverUnavailable);
    EXPECT_EQ(Log(), (std::vector<std::string>{"main 102", "run 102", "end 102 2"}));
    EXPECT_EQ(platform().windows.mainWindow, &fake.app.startPage);
    EXPECT_EQ(StartPage().property, "varlin");
    EXPECT_FALSE(StartPage().disabled[IDC_PAGE_NEXT]);
}

TEST_F(StartupTest, ASecondInstanceOnlyBringsTheFirstForward)
{
    AttachBoard();
    PutBoardBios();
    platform().system.instanceMark = InstanceMark::AlreadyExists;
    EXPECT_FALSE(fake.app.InitInstance());

    EXPECT_EQ(Log(), std::vector<std::string>{"activate varlin"});
    EXPECT_TRUE(platform().kordex.requests.empty());
    EXPECT_TRUE(platform().serviceManager.calls.empty());
    EXPECT_TRUE(platform().system.listed.empty());
    EXPECT_TRUE(platform().messages.shown.empty());
    EXPECT_FALSE(test::FileExists(dir.File("yta.bin")));
}

TEST_F(StartupTest, AFailedInstanceMarkLetsStartUpGoOn)
{
    AttachBoard();
    PutBoardBios();
    platform().system.instanceMark = InstanceMark::Failed;
    EXPECT_FALSE(fake.app.InitInstance());
    EXPECT_TRUE(startPageSeen);
}

TEST_F(StartupTest, WithoutTheDriverNoPageIsShown)
{
    // No board, no driver service: the install attempt fails and is undone.
    PutBoardBios();
    EXPECT_FALSE(fake.app.InitInstance());

    EXPECT_FALSE(startPageSeen);
    EXPECT_TRUE(fake.app.driverUnavailable);  // the process ends in failure
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(platform().messages.shown.empty());  // the service's own messages
    EXPECT_TRUE(platform().kordex.requests.empty());
    EXPECT_TRUE(platform().system.listed.empty());
    EXPECT_FALSE(test::FileExists(dir.File("yta.bin")));
}

TEST_F(StartupTest, WithoutTheBoardsBiosTheStartPageComesWithNextDisabled)
{
    AttachBoard();
    EXPECT_FALSE(fake.app.InitInstance());

    EXPECT_FALSE(fake.app.biosFileFound);
    ASSERT_EQ(platform().messages.shown.size(), 1u);
    EXPECT_NE(platform().messages.shown[0].text.find("Please download the correct bios"), std::string::npos);
    EXPECT_TRUE(startPageSeen);
    EXPECT_TRUE(StartPage().disabled[IDC_PAGE_NEXT]);
}

TEST_F(StartupTest, OnWindows9xTheBiosIsAskedDirectly)
{
    AttachBoard();
    PutBoardBios();
    platform().system.platformVersion = test::kWindows98Version;
    EXPECT_FALSE(fake.app.InitInstance());

    EXPECT_EQ(fake.romDevice.romInfo.platformMode, kPlatformWin9x);
    EXPECT_TRUE(platform().kordex.requests.empty());
    EXPECT_TRUE(platform().serviceManager.calls.empty());
    EXPECT_EQ(platform().hardware.CountOf(smi::kControl), 1u);
    EXPECT_TRUE(fake.app.biosFileFound);
    EXPECT_TRUE(startPageSeen);
}

}  // namespace
}  // namespace varlin
