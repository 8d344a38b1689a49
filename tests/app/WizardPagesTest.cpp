// The wizard's pages, played on the test window host: every row of the
// pages' state table, the Easy resolution rule, and the picture path that
// survives going back.
#include <gtest/gtest.h>

#include "resources/ResourceIds.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::Click;
using test::UserAction;

class WizardPagesTest : public ::testing::Test {
protected:
    WizardPagesTest()
    {
        fake.platform.system.programDirectory = programDir.Path().string() + "/";
        App().biosFilePath = programDir.File("yta.bin");
        App().biosFileFound = true;
    }

    CWizardApp& App() { return fake.app; }
    test::FakeWindowHost& Host() { return fake.platform.windows; }
    std::vector<std::string> Shown() const { return fake.platform.messages.Texts(); }

    // The user browses to this file and confirms it.
    UserAction Browse(const std::string& path)
    {
        return [this, path](DialogHandler& page) {
            fake.platform.fileDialogs.answer = path;
            page.OnCommand(IDC_PAGE_BROWSE);
        };
    }
    UserAction Check(const std::function<void()>& check)
    {
        return [check](DialogHandler&) { check(); };
    }

    // Runs the start page until the program ends; returns its exit code.
    int RunUntilTheEnd()
    {
        try {
            App().startPage.DoModal();
        } catch (const test::ProcessEnded& ended) {
            return ended.exitCode;
        }
        ADD_FAILURE() << "the program did not end";
        return -1;
    }

    void ExpectEasyResolution(const std::string& name, const Bytes& bytes, int32_t resolution);

    test::TempDir programDir;
    test::TempDir dir{test::TempDir::Enter};
    test::FakeProgram fake;
};

TEST_F(WizardPagesTest, NextIsOnlyThereWithTheBoardsBios)
{
    App().biosFileFound = false;
    Host().Script(
        IDD_START_PAGE,
        {Check([this] { EXPECT_TRUE(Host().State(App().startPage).disabled[IDC_PAGE_NEXT]); }), Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);

    App().biosFileFound = true;
    Host().Script(
        IDD_START_PAGE,
        {Check([this] { EXPECT_FALSE(Host().State(App().startPage).disabled[IDC_PAGE_NEXT]); }), Click(kResultCancel)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

// Runs the Easy path up to the accept page with this picture, after a
// visit to the Advanced page, and checks what the picture page decided.
void WizardPagesTest::ExpectEasyResolution(const std::string& name, const Bytes& bytes, int32_t resolution)
{
    const std::string picture = dir.Write(name, bytes);
    App().advancedMode = 1;
    App().easyResolution = 1 - resolution;
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE, {Browse(picture), Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_ACCEPT_PAGE, {Check([&] {
                                        EXPECT_EQ(App().advancedMode, 0);
                                        EXPECT_EQ(App().easyResolution, resolution);
                                        EXPECT_EQ(App().previewDialog.screenResolution, resolution);
                                        EXPECT_EQ(App().pictureFilePath, picture);
                                        EXPECT_EQ(App().previewDialog.picturePath, picture);
                                        EXPECT_TRUE(Host().Visible(App().previewDialog));
                                        EXPECT_FALSE(Host().Visible(App().picturePage));
                                        EXPECT_FALSE(Host().Visible(App().startPage));
                                    }),
                                    Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

TEST_F(WizardPagesTest, APictureLargerThan640x480IsShownIn800x600)
{
    ExpectEasyResolution("big.jpg", test::MakeJpeg(700, 500), 1);
}

TEST_F(WizardPagesTest, APictureOf640x480IsShownIn640x480)
{
    ExpectEasyResolution("fits.jpg", test::MakeJpeg(640, 480), 0);
}

TEST_F(WizardPagesTest, ABitmapIsAlwaysShownIn640x480)
{
    ExpectEasyResolution("small.bmp", test::MakeBmp(test::MakeIndexedPicture(320, 240)), 0);
}

// On a stock board the preview shows the picture as the build will write
// it: in the board's own full-screen format.
TEST_F(WizardPagesTest, OnAStockBoardThePreviewShowsTheBoardsOwnFormat)
{
    programDir.Write("yta.bin", test::ReadFile(VARLIN_SOURCE_DIR "/samples/bios/award-256k-stock.bin"));
    const std::string picture = dir.Write("small.bmp", test::MakeBmp(test::MakeIndexedPicture(320, 240)));
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE, {Browse(picture), Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_ACCEPT_PAGE, {Check([&] {
                                        const CPreviewDialog& preview = App().previewDialog;
                                        EXPECT_TRUE(preview.logoTarget.stock);
                                        EXPECT_EQ(preview.logo.Width(), 640);
                                        EXPECT_EQ(preview.logo.Height(), 480);
                                        EXPECT_TRUE(Host().Visible(preview));
                                    }),
                                    Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

TEST_F(WizardPagesTest, ARefusedPictureKeepsTheUserOnThePage)
{
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE,
                  {Click(IDC_PAGE_NEXT),  // nothing browsed: an empty path
                   Check([this] {
                       EXPECT_EQ(Shown(), std::vector<std::string>{"You must choose a jpeg or bmp file!"});
                       EXPECT_TRUE(Host().Visible(App().picturePage));
                   }),
                   Browse(dir.Write("wide.bmp", test::MakeBmp(test::MakeIndexedPicture(641, 10)))),
                   Check([this] { EXPECT_TRUE(App().picturePage.picturePath.empty()); }),
                   [this](DialogHandler& page) {
                       fake.platform.fileDialogs.answer.reset();  // Browse cancelled
                       page.OnCommand(IDC_PAGE_BROWSE);
                   },
                   Check([this] {
                       EXPECT_TRUE(App().picturePage.picturePath.empty());
                       ASSERT_FALSE(fake.platform.fileDialogs.askedOpen.empty());
                       const OpenFileDialogOptions& asked = fake.platform.fileDialogs.askedOpen.back();
                       EXPECT_EQ(asked.filter, "Picture Files(*.bmp;*.jpg;*.jpeg)|*.jpg;*.jpeg;*.bmp|");
                       EXPECT_EQ(asked.initialDirectory, programDir.File("picture"));
                       EXPECT_TRUE(asked.allowMultiSelect);
                       EXPECT_TRUE(asked.pathMustExist);
                   }),
                   Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

TEST_F(WizardPagesTest, ThePicturePathSurvivesBackAndNext)
{
    const std::string picture = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(320, 240)));
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT), Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE,
                  {Browse(picture), Click(IDC_PAGE_NEXT),
                   // back from the accept page: on to the start page
                   Check([this] { EXPECT_TRUE(Host().Visible(App().picturePage)); }), Click(IDC_PAGE_BACK),
                   // the second run: the path is shown again and accepted without a browse
                   [](DialogHandler& page) { page.OnPaint(); },
                   Check([this, picture] { EXPECT_EQ(Host().Text(App().picturePage, IDC_PICTURE_PATH), picture); }),
                   Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_ACCEPT_PAGE, {Click(IDC_PAGE_BACK), Check([this] {
                                        EXPECT_EQ(App().pictureFilePath, App().picturePage.picturePath);
                                        EXPECT_TRUE(Host().Visible(App().previewDialog));
                                    }),
                                    Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
    EXPECT_EQ(Host().State(App().acceptPage).runs, 2);
    EXPECT_EQ(fake.platform.fileDialogs.askedOpen.size(), 1u);
}

TEST_F(WizardPagesTest, BackFromTheAcceptPageHidesThePreview)
{
    const std::string picture = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(320, 240)));
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE, {Browse(picture), Click(IDC_PAGE_NEXT), Check([this] {
                                         EXPECT_FALSE(Host().Visible(App().previewDialog));
                                         EXPECT_FALSE(Host().Visible(App().acceptPage));
                                         EXPECT_TRUE(Host().Visible(App().picturePage));
                                     }),
                                     Click(kResultCancel)});
    Host().Script(IDD_ACCEPT_PAGE, {Check([this] {
                                        test::WindowState& accept = Host().State(App().acceptPage);
                                        EXPECT_TRUE(accept.placed);
                                        EXPECT_EQ(accept.placement.x, 390);
                                        EXPECT_EQ(accept.placement.y, 350);
                                        EXPECT_TRUE(accept.placement.fitToClient);
                                        EXPECT_TRUE(accept.visible);
                                    }),
                                    Click(IDC_PAGE_BACK)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

TEST_F(WizardPagesTest, AcceptingWarnsBuildsAndFlashesTheBoardsBios)
{
    // The board's BIOS is the sample image; this machine has no flash
    // information, so the update refuses after the build (the flow was reached).
    std::filesystem::copy_file(VARLIN_SOURCE_DIR "/samples/bios/award-256k.bin", programDir.File("yta.bin"));
    const std::string picture = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(320, 240)));
    // A file an earlier Build BIOS File of the Advanced Mode saved: the Easy
    // path builds only its own work image and leaves that file alone.
    const std::string saved = dir.Write("saved.bin", {'k', 'e', 'e', 'p'});
    App().advancedModeDialog.outputPath = saved;
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE, {Browse(picture), Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_WARNING, {Click(kResultCancel), Click(kResultOk)});
    Host().Script(IDD_ACCEPT_PAGE,
                  {Click(IDC_PAGE_NEXT), Check([this] {
                       EXPECT_TRUE(Host().Visible(App().previewDialog));  // back after the cancelled warning
                       EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));
                   }),
                   Click(IDC_PAGE_NEXT), Check([this, saved] {
                       // Centred, without the POST messages, in 640*480.
                       EXPECT_EQ(App().logoBuild.pictureIsBitmap, 1);
                       EXPECT_EQ(App().logoBuild.logoHeaderWord, 0);
                       EXPECT_TRUE(test::FileExists(programDir.File("tmp.bin")));
                       EXPECT_EQ(test::ReadFile(saved), (Bytes{'k', 'e', 'e', 'p'}));
                       EXPECT_EQ(Shown(),
                                 std::vector<std::string>{"Your system not support flashing under Windows mode!"});
                       EXPECT_TRUE(Host().Visible(App().acceptPage));
                   }),
                   Click(IDC_PAGE_EXIT)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
    EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));  // the exit removes the working copies
}

TEST_F(WizardPagesTest, TheAdvancedPageUpdatesAndOpensTheAdvancedMode)
{
    const std::string bios = dir.Write("other.bin", {1, 2, 3});
    Host().Script(IDD_START_PAGE, {Click(IDC_PAGE_ADVANCED)});
    Host().Script(IDD_ADVANCED_PAGE,
                  {[this](DialogHandler& page) {
                       fake.platform.fileDialogs.answer.reset();
                       page.OnCommand(IDC_PAGE_UPDATE);
                   },
                   Check([this] {
                       EXPECT_EQ(App().biosFilePath, programDir.File("yta.bin"));
                       EXPECT_TRUE(Shown().empty());
                   }),
                   [this, bios](DialogHandler& page) {
                       fake.platform.fileDialogs.answer = bios;
                       page.OnCommand(IDC_PAGE_UPDATE);
                   },
                   Check([this, bios] {
                       EXPECT_EQ(App().biosFilePath, bios);
                       EXPECT_EQ(Shown(),
                                 std::vector<std::string>{"Your system not support flashing under Windows mode!"});
                       const OpenFileDialogOptions& asked = fake.platform.fileDialogs.askedOpen.back();
                       EXPECT_EQ(asked.defaultExtension, "bin");
                       EXPECT_EQ(asked.filter, "Bios Files(*.bin)|*.bin|");
                   }),
                   Click(IDC_PAGE_NEXT)});
    App().advancedModeDialog.biosPath = "old.bin";
    App().advancedModeDialog.screenResolution = 1;
    Host().Script(IDD_ADVANCED_MODE, {Check([this] {
                                          EXPECT_EQ(App().advancedMode, 1);
                                          EXPECT_TRUE(App().advancedModeDialog.biosPath.empty());
                                          EXPECT_EQ(App().advancedModeDialog.screenResolution, 0);
                                          EXPECT_EQ(Host().mainWindow, &App().advancedModeDialog);
                                          EXPECT_FALSE(Host().Visible(App().advancedPage));
                                      }),
                                      Click(IDC_MODE_BACK), Check([this] {
                                          EXPECT_EQ(App().advancedMode, 0);
                                          EXPECT_TRUE(Host().Visible(App().advancedPage));
                                          EXPECT_EQ(Host().mainWindow, &App().advancedPage);
                                      }),
                                      Click(kResultCancel)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
}

TEST_F(WizardPagesTest, AboutOpensFromTheSystemMenuOfEveryPage)
{
    const std::string picture = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(32, 24)));
    auto about = [](DialogHandler& page) { EXPECT_TRUE(page.OnSysCommand(kAboutCommand)); };
    Host().Script(IDD_START_PAGE, {about, Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_PICTURE_PAGE, {about, Browse(picture), Click(IDC_PAGE_NEXT)});
    Host().Script(IDD_ACCEPT_PAGE, {about, Click(IDC_PAGE_EXIT)});
    Host().Script(IDD_ABOUT, {Click(kResultOk), Click(kResultCancel), Click(kResultOk)});
    EXPECT_EQ(RunUntilTheEnd(), 0);
    EXPECT_EQ(Host().State(App().startPage).runs, 1);

    // Other system commands take the default handling.
    EXPECT_FALSE(App().startPage.OnSysCommand(0xF020));
}

}  // namespace
}  // namespace varlin
