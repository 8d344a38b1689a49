// The Advanced Mode dialog's handlers, played on the test window host: the
// controls, the data exchange and the order of the checks of each button.
#include <gtest/gtest.h>

#include "app/AdvancedModeDialog.h"
#include "resources/ResourceIds.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

constexpr char kSamples[] = VARLIN_SOURCE_DIR "/samples";
constexpr int kSettingsOf640x480[] = {IDC_POSITION_CENTER,    IDC_POSITION_BOTTOM_RIGHT, IDC_POSITION_BOTTOM_LEFT,
                                      IDC_POSITION_TOP_RIGHT, IDC_POSITION_TOP_LEFT,     IDC_SHOW_POST_MESSAGE};

class AdvancedModeDialogTest : public ::testing::Test {
protected:
    AdvancedModeDialogTest()
    {
        fake.platform.system.programDirectory = programDir.Path().string() + "/";
        fake.app.advancedMode = 1;
        dialog.OnInitDialog();
    }

    test::WindowState& Window() { return fake.platform.windows.State(dialog); }
    std::vector<std::string> Shown() const { return fake.platform.messages.Texts(); }
    bool Enabled(int id) { return !Window().disabled[id]; }

    // The user picks this file in the Open dialog of the picture's Browse.
    void BrowsePicture(const std::string& path)
    {
        fake.platform.fileDialogs.answer = path;
        dialog.OnCommand(IDC_BROWSE_PICTURE);
    }

    void Type(int id, const std::string& text) { fake.platform.windows.SetItemText(dialog, id, text); }
    void Select(int id) { fake.platform.windows.SetChecked(dialog, id, true); }

    test::TempDir programDir;
    test::TempDir dir{test::TempDir::Enter};
    test::FakeProgram fake;
    CAdvancedModeDialog& dialog = fake.app.advancedModeDialog;
};

TEST_F(AdvancedModeDialogTest, StartsWithTheFieldsShownAndTheFrameSetUp)
{
    EXPECT_TRUE(Window().checked[IDC_RESOLUTION_640]);
    EXPECT_FALSE(Window().checked[IDC_RESOLUTION_800]);
    EXPECT_TRUE(Window().checked[IDC_POSITION_CENTER]);
    EXPECT_FALSE(Window().checked[IDC_SHOW_POST_MESSAGE]);
    EXPECT_EQ(Window().icon, IDI_PROGRAM);
    EXPECT_EQ(Window().menuItemsRemoved, 3);
    ASSERT_EQ(Window().menuItemsAdded.size(), 1u);
    EXPECT_EQ(Window().menuItemsAdded[0], (std::pair<int, std::string>{16, "&About VARLIN..."}));
}

TEST_F(AdvancedModeDialogTest, BrowsingABitmapForces640x480AndAJpegFreesIt)
{
    Select(IDC_RESOLUTION_800);
    fake.platform.windows.SetChecked(dialog, IDC_RESOLUTION_640, false);
    dialog.OnCommand(IDC_RESOLUTION_800);
    for (int id : kSettingsOf640x480) EXPECT_FALSE(Enabled(id)) << id;
    Type(IDC_BIOS_PATH, "typed by hand");

    BrowsePicture(dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(64, 48))));
    EXPECT_EQ(dialog.picturePath, dir.File("logo.bmp"));
    EXPECT_EQ(fake.platform.windows.Text(dialog, IDC_PICTURE_FILE), dir.File("logo.bmp"));
    EXPECT_EQ(dialog.pictureIsBitmap, 1);
    EXPECT_EQ(dialog.screenResolution, 0);
    EXPECT_TRUE(Window().checked[IDC_RESOLUTION_640]);
    EXPECT_FALSE(Window().checked[IDC_RESOLUTION_800]);
    EXPECT_FALSE(Enabled(IDC_RESOLUTION_800));
    for (int id : kSettingsOf640x480) EXPECT_TRUE(Enabled(id)) << id;
    // Showing the fields put the stored (empty) BIOS path over the typed one.
    EXPECT_EQ(fake.platform.windows.Text(dialog, IDC_BIOS_PATH), "");

    BrowsePicture(dir.Write("photo.jpg", test::MakeJpeg(320, 200)));
    EXPECT_TRUE(Enabled(IDC_RESOLUTION_800));
    EXPECT_TRUE(Window().checked[IDC_RESOLUTION_640]);  // the selection stays
    EXPECT_EQ(dialog.pictureIsBitmap, 0);

    dialog.OnCommand(IDC_RESOLUTION_640);
    for (int id : kSettingsOf640x480) EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Shown().empty());
}

TEST_F(AdvancedModeDialogTest, RefusedOrCancelledBrowsesChangeNothing)
{
    fake.platform.fileDialogs.answer.reset();
    dialog.OnCommand(IDC_BROWSE_PICTURE);
    dialog.OnCommand(IDC_BROWSE_BIOS);
    EXPECT_TRUE(dialog.picturePath.empty());
    EXPECT_TRUE(dialog.biosPath.empty());

    BrowsePicture(dir.Write("wide.bmp", test::MakeBmp(test::MakeIndexedPicture(641, 10))));
    EXPECT_EQ(Shown(), std::vector<std::string>{
                           "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's width is 641."});
    EXPECT_TRUE(dialog.picturePath.empty());

    fake.platform.fileDialogs.answer = dir.File("board.bin");
    dialog.OnCommand(IDC_BROWSE_BIOS);
    EXPECT_EQ(dialog.biosPath, dir.File("board.bin"));
    EXPECT_EQ(fake.platform.windows.Text(dialog, IDC_BIOS_PATH), dir.File("board.bin"));
    ASSERT_EQ(fake.platform.fileDialogs.askedOpen.size(), 4u);
    EXPECT_EQ(fake.platform.fileDialogs.askedOpen[0].filter, "Picture Files(*.bmp;*.jpg;*.jpeg)|*.jpg;*.jpeg;*.bmp|");
    EXPECT_TRUE(fake.platform.fileDialogs.askedOpen[0].pathMustExist);
    EXPECT_EQ(fake.platform.fileDialogs.askedOpen[3].filter, "Bios Files(*.bin)|*.bin|");
}

TEST_F(AdvancedModeDialogTest, EmptyBiosPathMessagesDifferByButton)
{
    dialog.OnCommand(IDC_PREVIEW);
    EXPECT_EQ(Shown(), std::vector<std::string>{"No BIOS file selected."});
    fake.platform.messages.shown.clear();
    dialog.OnCommand(IDC_BUILD);
    EXPECT_EQ(Shown(), std::vector<std::string>{"No BIOS source file selected!"});
    EXPECT_EQ(Window().focus, IDC_BIOS_PATH);
    fake.platform.messages.shown.clear();
    Window().focus = 0;
    dialog.OnCommand(IDC_FLASH);
    EXPECT_EQ(Shown(), std::vector<std::string>{"No BIOS source file selected!"});
    EXPECT_EQ(Window().focus, 0);
}

TEST_F(AdvancedModeDialogTest, TheResolutionRuleComesFirstForBuildAndFlashAndLastForPreview)
{
    BrowsePicture(dir.Write("big.jpg", test::MakeJpeg(700, 500)));
    const std::string refusal =
        "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is 700 * 500 .";
    for (int button : {IDC_BUILD, IDC_FLASH}) {
        fake.platform.messages.shown.clear();
        dialog.OnCommand(button);  // the BIOS path is empty too, but this is said first
        EXPECT_EQ(Shown(), std::vector<std::string>{refusal}) << button;
    }
    EXPECT_TRUE(fake.platform.fileDialogs.asked.empty());
    EXPECT_EQ(fake.platform.windows.State(dialog).runs, 0);

    Type(IDC_BIOS_PATH, dir.File("board.bin"));
    fake.platform.messages.shown.clear();
    dialog.OnCommand(IDC_PREVIEW);
    EXPECT_EQ(Shown(), std::vector<std::string>{refusal});
    // The preview was given the settings before the refusal, but not shown.
    EXPECT_EQ(fake.app.previewDialog.pictureWidth, 700);
    EXPECT_EQ(fake.app.previewDialog.picturePath, dialog.picturePath);
    EXPECT_FALSE(fake.app.previewDialog.IsWindow());

    Select(IDC_RESOLUTION_800);
    fake.platform.windows.SetChecked(dialog, IDC_RESOLUTION_640, false);
    fake.platform.messages.shown.clear();
    dialog.OnCommand(IDC_PREVIEW);
    EXPECT_TRUE(Shown().empty());
    EXPECT_TRUE(fake.platform.windows.Visible(fake.app.previewDialog));
    EXPECT_EQ(fake.app.previewDialog.screenResolution, 1);
    EXPECT_FALSE(fake.app.previewDialog.logoTarget.stock);

    // A stock board's BIOS: the preview shows the logo in the board's own format.
    Type(IDC_BIOS_PATH, std::string(kSamples) + "/bios/award-256k-stock.bin");
    dialog.OnCommand(IDC_PREVIEW);
    EXPECT_TRUE(fake.app.previewDialog.logoTarget.stock);
    EXPECT_EQ(fake.app.previewDialog.logo.Width(), 640);
}

TEST_F(AdvancedModeDialogTest, BuildWritesTheChosenFileOnlyWhenTheUserConfirms)
{
    // (Browsing a bitmap shows the stored fields, so the path is typed after.)
    BrowsePicture(std::string(kSamples) + "/pictures/varlin-320x240.bmp");
    Type(IDC_BIOS_PATH, std::string(kSamples) + "/bios/award-256k.bin");
    Select(IDC_SHOW_POST_MESSAGE);
    fake.platform.windows.SetChecked(dialog, IDC_POSITION_CENTER, false);
    Select(IDC_POSITION_TOP_LEFT);

    fake.platform.fileDialogs.answer.reset();  // Save As cancelled
    dialog.OnCommand(IDC_BUILD);
    EXPECT_TRUE(dialog.outputPath.empty());
    EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));

    fake.platform.fileDialogs.answer = dir.File("new.bin");
    dialog.OnCommand(IDC_BUILD);
    EXPECT_EQ(dialog.outputPath, dir.File("new.bin"));
    EXPECT_EQ(test::ReadFile(dir.File("new.bin")), test::ReadFile(programDir.File("tmp.bin")));
    EXPECT_EQ(dialog.logoHeaderWord, 0x0110);  // the controls' settings: top left, POST messages
    ASSERT_EQ(fake.platform.fileDialogs.asked.size(), 2u);
    EXPECT_EQ(fake.platform.fileDialogs.asked[1].defaultExtension, "bin");
    EXPECT_EQ(fake.platform.fileDialogs.asked[1].filter, "Bios Files(*.bin)|*.bin|");
    EXPECT_TRUE(Shown().empty()) << Shown()[0];
}

// A BIOS that shows no full-screen logo gets none: Build and Flash say so
// in the application's message box and write nothing; a stock board's
// image whose logo is followed by members is built.
TEST_F(AdvancedModeDialogTest, ABiosThatShowsNoLogoIsRefusedAndAStockOneBuilt)
{
    BrowsePicture(std::string(kSamples) + "/pictures/varlin-320x240.bmp");
    Type(IDC_BIOS_PATH, std::string(kSamples) + "/bios/award-128k-450pg.bin");
    fake.platform.fileDialogs.answer = dir.File("new.bin");
    dialog.OnCommand(IDC_BUILD);
    fake.platform.windows.Script(IDD_WARNING, {test::Click(kResultOk)});
    dialog.OnCommand(IDC_FLASH);
    const auto& shown = fake.platform.messages.shown;
    ASSERT_EQ(shown.size(), 2u);
    for (const test::ShownMessage& message : shown) {
        EXPECT_FALSE(message.system);  // the framework's box, with the application's title
        EXPECT_TRUE(message.text.starts_with("This BIOS shows no full-screen logo:")) << message.text;
    }
    EXPECT_FALSE(test::FileExists(dir.File("new.bin")));
    EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));

    fake.platform.messages.shown.clear();
    Type(IDC_BIOS_PATH, std::string(kSamples) + "/bios/award-256k-stock-split.bin");
    dialog.OnCommand(IDC_BUILD);
    EXPECT_TRUE(Shown().empty()) << Shown()[0];
    EXPECT_TRUE(test::FileExists(dir.File("new.bin")));
    EXPECT_TRUE(fake.app.logoBuild.lastRebuild.logo.stock);
    EXPECT_EQ(fake.app.logoBuild.lastRebuild.membersMoved, 2u);
}

TEST_F(AdvancedModeDialogTest, FlashWarnsThenBuildsIntoTheWorkImageAndHandsItOn)
{
    BrowsePicture(std::string(kSamples) + "/pictures/varlin-320x240.bmp");
    Type(IDC_BIOS_PATH, std::string(kSamples) + "/bios/award-256k.bin");

    fake.platform.windows.Script(IDD_WARNING, {test::Click(kResultCancel)});
    dialog.OnCommand(IDC_FLASH);
    EXPECT_TRUE(dialog.outputPath.empty());
    EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));

    // Without an earlier Build the image goes to the program directory's
    // "tmp.bin"; this machine's ROM has no flash information, so the update
    // then refuses (the flow has been reached with the built file).
    fake.platform.windows.Script(IDD_WARNING, {test::Click(kResultOk)});
    dialog.OnCommand(IDC_FLASH);
    EXPECT_EQ(dialog.outputPath, programDir.File("tmp.bin"));
    EXPECT_TRUE(test::FileExists(programDir.File("tmp.bin")));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Your system not support flashing under Windows mode!"});
}

TEST_F(AdvancedModeDialogTest, BackResetsTheSettingsButNotTheControls)
{
    fake.app.biosFilePath = "chosen.bin";
    fake.app.easyResolution = 1;
    dialog.biosPath = "x.bin";
    dialog.screenResolution = 1;
    dialog.logoPosition = 3;
    dialog.showPostMessage = 1;
    Type(IDC_BIOS_PATH, "still shown");
    dialog.OnCommand(IDC_MODE_BACK);
    EXPECT_EQ(fake.app.biosFilePath, programDir.File("yta.bin"));
    EXPECT_EQ(fake.app.pictureFilePath, programDir.File("yta.bmp"));
    EXPECT_EQ(fake.app.easyResolution, 0);
    EXPECT_EQ(fake.app.advancedMode, 0);
    EXPECT_TRUE(dialog.biosPath.empty());
    EXPECT_EQ(dialog.screenResolution, 0);
    EXPECT_EQ(dialog.logoPosition, 0);
    EXPECT_EQ(dialog.showPostMessage, 0);
    EXPECT_EQ(fake.platform.windows.Text(dialog, IDC_BIOS_PATH), "still shown");
    EXPECT_FALSE(fake.platform.windows.Visible(dialog));
    EXPECT_EQ(fake.platform.windows.mainWindow, &fake.app.advancedPage);
    EXPECT_TRUE(fake.platform.windows.Visible(fake.app.advancedPage));
}

TEST_F(AdvancedModeDialogTest, ExitEndsTheProgramAndEnterDoesNothing)
{
    dialog.OnCommand(kResultOk);
    EXPECT_FALSE(Window().ended);
    programDir.Write("tmp.bin", {1});
    EXPECT_THROW(dialog.OnCommand(kResultCancel), test::ProcessEnded);
    EXPECT_FALSE(test::FileExists(programDir.File("tmp.bin")));
}

}  // namespace
}  // namespace varlin
