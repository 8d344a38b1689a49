// The way from a BIOS file to the flash ROM through the program's windows:
// the Update BIOS dialog's handlers, the wizard's windows around it, and
// the Finished dialog, played on the test window host over an emulated
// board.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "flash/FlashSmi.h"
#include "resources/ResourceIds.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/BiosImages.h"
#include "tests/support/BothModes.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/FlashImages.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::Click;
using test::kKiB;
using test::UserAction;

// A 256 KiB board (Main, DMI, PNP, Boot) whose ROM lacks the DMI
// signature, so that every region is rewritten.
emulated::BoardOptions Board256()
{
    emulated::BoardOptions options;
    options.chipId = 0x7C89;
    options.layout = 4;
    options.dmiRegion = options.pnpRegion = true;
    return options;
}

class UpdateFlowFixture : public ::testing::Test {
protected:
    void StartBoard(bool direct, const std::string& settings, std::string_view biosId)
    {
        fake.platform.system.programDirectory = programDirectory.Path().string() + "/";
        oldImage = test::MakeFlashImage(256 * kKiB, "TESTBIOS", 1);
        newImage = test::MakeFlashImage(256 * kKiB, biosId, 2);
        board = std::make_unique<test::TestBoard>(oldImage, Board256(), settings);
        ASSERT_TRUE(test::StartRomAccessOn(board->Board(), fake.platform, fake.romDevice, direct));
        biosPath = programDirectory.Write("new.bin", newImage);
    }

    test::FakeWindowHost& Host() { return fake.platform.windows; }
    CWizardApp& App() { return fake.app; }
    Bytes Rom() const { return test::ReadFile(board->RomPath()); }

    // The wizard's windows as the Easy path has them when it flashes.
    void OpenEasyPathWindows()
    {
        App().advancedMode = 0;
        App().acceptPage.Create();
        App().previewDialog.Create();
        Host().log.clear();
    }

    // Clicks Update, keeping the dialog's window state as the click left it
    // (the dialog object is gone when the flow returns).
    UserAction ClickUpdate()
    {
        return [this](DialogHandler& dialog) {
            initialState = Host().State(dialog);
            dialog.OnCommand(IDC_UPDATE_START);
            updateState = Host().State(dialog);
        };
    }
    UserAction KeepFinishedState()
    {
        return [this](DialogHandler& dialog) { finishedState = Host().State(dialog); };
    }

    test::TempDir programDirectory{test::TempDir::Enter};
    test::FakeProgram fake;
    Bytes oldImage;
    Bytes newImage;
    std::unique_ptr<test::TestBoard> board;
    std::string biosPath;
    test::WindowState initialState;
    test::WindowState updateState;
    test::WindowState finishedState;
};

class UpdateFlowTest : public UpdateFlowFixture, public ::testing::WithParamInterface<bool> {
protected:
    void Start(const std::string& settings = "", std::string_view biosId = "TESTBIOS")
    {
        StartBoard(GetParam(), settings, biosId);
    }
};

VARLIN_IN_BOTH_MODES(UpdateFlowTest);

TEST_P(UpdateFlowTest, UpdateRunsTopmostAtTimeCriticalPriorityAndTheFinishedDialogReboots)
{
    Start();
    App().advancedMode = 1;
    Host().Script(IDD_UPDATE_BIOS, {ClickUpdate()});
    Host().Script(IDD_FINISHED, {KeepFinishedState(), Click(kResultOk)});
    ASSERT_TRUE(App().FlashBios(biosPath));
    EXPECT_EQ(Rom(), newImage);
    EXPECT_TRUE(fake.platform.messages.shown.empty());

    EXPECT_EQ(Host().log, (std::vector<std::string>{"run 155", "redraw 155", "place 155", "end 155 1", "hide 139",
                                                    "run 154", "place 154", "end 154 1"}));
    // Before Update: the icon and the wait text are hidden.
    EXPECT_TRUE(initialState.hidden[IDC_UPDATE_ICON]);
    EXPECT_TRUE(initialState.hidden[IDC_PLEASE_WAIT]);
    // After it: they show, the buttons and the prompt are gone, the bar is
    // hidden again.
    EXPECT_FALSE(updateState.hidden[IDC_UPDATE_ICON]);
    EXPECT_FALSE(updateState.hidden[IDC_PLEASE_WAIT]);
    for (int id : {IDC_UPDATE_START, kResultCancel, IDC_PRESS_TO_BEGIN, IDC_UPDATE_PROGRESS}) {
        EXPECT_TRUE(updateState.hidden[id]) << id;
    }
    EXPECT_FALSE(updateState.hidden[IDC_STEP_TEXT]);
    EXPECT_TRUE(updateState.placement.topmost);
    EXPECT_TRUE(updateState.placement.keepPosition);
    EXPECT_EQ(updateState.placement.width, -1);
    EXPECT_EQ(updateState.textHistory[IDC_STEP_TEXT], test::UpdateSteps({"Main", "DMI", "PNP", "Boot"}));
    const std::vector<std::string>& percentages = updateState.textHistory[IDC_UPDATE_PERCENT];
    ASSERT_EQ(percentages.size(), 64u);
    EXPECT_EQ(percentages.front(), "1");  // 4 of Main's 224 KiB
    EXPECT_EQ(percentages[55], "100");
    EXPECT_EQ(percentages.back(), "100");
    EXPECT_EQ(updateState.progressUpper[IDC_UPDATE_PROGRESS], 16u);  // Boot's 16 KiB
    EXPECT_EQ(fake.platform.system.priorities,
              (std::vector<ThreadPriority>{ThreadPriority::TimeCritical, ThreadPriority::Normal}));
    EXPECT_EQ(Host().waitCursorChanges, (std::vector<bool>{true, false}));

    // The Finished dialog stands at 240, 200 in its own size, above all.
    EXPECT_EQ(finishedState.placement.x, 240);
    EXPECT_EQ(finishedState.placement.y, 200);
    EXPECT_EQ(finishedState.placement.width, -1);
    EXPECT_EQ(finishedState.placement.height, -1);
    EXPECT_TRUE(finishedState.placement.topmost);
    EXPECT_TRUE(finishedState.placement.show);
    EXPECT_FALSE(finishedState.placement.keepPosition);
    const std::vector<std::string> restart = GetParam()
                                                 ? std::vector<std::string>{"restart"}
                                                 : std::vector<std::string>{"shutdown privilege", "restart forced"};
    EXPECT_EQ(fake.platform.system.events, restart);
}

TEST_P(UpdateFlowTest, EnterDoesNothingAndCancelEndsTheProgramBeforeAnythingIsWritten)
{
    Start();
    programDirectory.Write("yta.bin", {1});
    programDirectory.Write("tmp.bin", {2});
    // The Cancel button, Escape and the close box all send kResultCancel.
    Host().Script(IDD_UPDATE_BIOS, {Click(kResultOk), Click(kResultCancel)});
    try {
        App().FlashBios(biosPath);
        ADD_FAILURE() << "the program went on";
    } catch (const test::ProcessEnded& ended) {
        EXPECT_EQ(ended.exitCode, 0);
    }
    EXPECT_EQ(Rom(), oldImage);
    EXPECT_FALSE(test::FileExists(programDirectory.File("yta.bin")));
    EXPECT_FALSE(test::FileExists(programDirectory.File("tmp.bin")));
    EXPECT_EQ(Host().log, (std::vector<std::string>{"run 155"}));
    EXPECT_TRUE(fake.platform.system.priorities.empty());
}

TEST_P(UpdateFlowTest, EasyPathMinimisesTheAcceptPageAndHidesItAfterAnUpdate)
{
    Start();
    OpenEasyPathWindows();
    Host().Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
    Host().Script(IDD_FINISHED, {Click(kResultOk)});
    ASSERT_TRUE(App().FlashBios(biosPath));
    EXPECT_EQ(Host().log, (std::vector<std::string>{"minimise 132", "run 155", "redraw 155", "place 155", "end 155 1",
                                                    "hide 132", "run 154", "place 154", "end 154 1"}));
    EXPECT_FALSE(Host().Visible(App().acceptPage));
}

TEST_P(UpdateFlowTest, FinishedCancelEndsTheProgramWithoutARestart)
{
    Start();
    programDirectory.Write("yta.bin", {1});
    Host().Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
    Host().Script(IDD_FINISHED, {Click(kResultCancel)});
    EXPECT_THROW(App().FlashBios(biosPath), test::ProcessEnded);
    EXPECT_EQ(Rom(), newImage);
    EXPECT_TRUE(fake.platform.system.events.empty());
    EXPECT_FALSE(test::FileExists(programDirectory.File("yta.bin")));
    EXPECT_FALSE(test::FileExists(programDirectory.File("tmp.bin")));
}

// Faults of the board that fail the update; none may reach the Finished
// dialog, whose run the test host would report as unscripted.
class UpdateFlowFaultTest : public UpdateFlowFixture,
                            public ::testing::WithParamInterface<std::tuple<bool, std::string>> {};

INSTANTIATE_TEST_SUITE_P(BothModes, UpdateFlowFaultTest,
                         ::testing::Combine(::testing::Values(false, true),
                                            ::testing::Values(std::string("stuck-block = 0xFFFD0000\n"),
                                                              std::string("stuck-byte = 0xFFFFA123\n"),
                                                              std::string("fail = program 0xFFFFC000\n"),
                                                              std::string("protect = 0xFFFFC000 0x4000\n"))),
                         [](const ::testing::TestParamInfo<std::tuple<bool, std::string>>& fault) {
                             std::string name = std::get<0>(fault.param) ? "Direct_" : "Driver_";
                             const std::string& setting = std::get<1>(fault.param);
                             for (char c : setting.substr(0, setting.find('='))) {
                                 if (std::isalpha(static_cast<unsigned char>(c))) name += c;
                             }
                             return name;
                         });

TEST_P(UpdateFlowFaultTest, AFailedUpdateOnTheEasyPathBringsTheWizardBack)
{
    StartBoard(std::get<0>(GetParam()), std::get<1>(GetParam()), "TESTBIOS");
    OpenEasyPathWindows();
    Host().Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
    EXPECT_FALSE(App().FlashBios(biosPath));
    EXPECT_EQ(Host().log, (std::vector<std::string>{"minimise 132", "run 155", "redraw 155", "place 155", "end 155 0",
                                                    "show 141", "normal 132"}));
    EXPECT_TRUE(Host().Visible(App().acceptPage));
    EXPECT_FALSE(Host().State(App().acceptPage).minimised);
    EXPECT_TRUE(Host().Visible(App().previewDialog));
    ASSERT_FALSE(fake.platform.messages.shown.empty());
    EXPECT_NE(fake.platform.messages.shown.back().text.find("The BIOS update is incomplete."), std::string::npos);
    EXPECT_EQ(fake.platform.system.priorities,
              (std::vector<ThreadPriority>{ThreadPriority::TimeCritical, ThreadPriority::Normal}));
    EXPECT_FALSE(Host().waitCursor);
    EXPECT_TRUE(fake.platform.system.events.empty());
}

TEST_P(UpdateFlowTest, AFailedUpdateOnTheAdvancedPathLeavesItsWindowsAlone)
{
    Start("stuck-byte = 0xFFFFA123\n");
    App().advancedMode = 1;
    Host().Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
    EXPECT_FALSE(App().FlashBios(biosPath));
    EXPECT_EQ(Host().log, (std::vector<std::string>{"run 155", "redraw 155", "place 155", "end 155 0"}));
}

TEST_P(UpdateFlowTest, ARefusedFileNeverOpensTheUpdateDialog)
{
    Start("", "OTHERID");
    OpenEasyPathWindows();
    EXPECT_FALSE(App().FlashBios(biosPath));  // the BIOS ID question is answered No
    EXPECT_EQ(fake.platform.messages.Texts(),
              (std::vector<std::string>{
                  "  BIOS ID error!\n  This BIOS is not fit for your mainboard.\n  Are you sure to program ?\n"}));
    EXPECT_TRUE(Host().log.empty());
    EXPECT_EQ(Rom(), oldImage);

    fake.platform.messages.answers.push_back(MessageAnswer::Yes);
    Host().Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
    Host().Script(IDD_FINISHED, {Click(kResultOk)});
    EXPECT_TRUE(App().FlashBios(biosPath));
    EXPECT_EQ(Rom(), newImage);
}

TEST_P(UpdateFlowTest, BuildAndFlashFlashesOnlyWhatWasBuilt)
{
    Start();
    LogoJob job;
    job.workImagePath = programDirectory.File("tmp.bin");
    job.biosPath = programDirectory.Write("yta.bin", oldImage);
    job.picturePath = programDirectory.File("missing.bmp");
    EXPECT_FALSE(App().BuildAndFlash(job));
    EXPECT_TRUE(Host().log.empty());
    EXPECT_EQ(Rom(), oldImage);
}

// The Easy path on every shipped sample board: the board's own BIOS with a
// new logo goes into the ROM, and the ROM then holds exactly the image
// built, whose logo decodes.
TEST_P(UpdateFlowTest, EasyPathOnEverySampleBoard)
{
    const std::filesystem::path boards = VARLIN_SOURCE_DIR "/samples/boards";
    if (!std::filesystem::is_directory(boards)) GTEST_SKIP() << "no sample boards";
    const std::string picture = VARLIN_SOURCE_DIR "/samples/pictures/varlin-640x480.bmp";
    const Bytes payload = test::CentredBitmapPayload(test::ReadFile(picture));
    const Bytes stockLogo = test::StockLogoOf(test::ReadFile(picture));  // the stock board's own format
    for (const auto& entry : std::filesystem::directory_iterator(boards)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        test::TempDir dir(test::TempDir::Enter);
        std::filesystem::copy(entry.path(), dir.File("board"));
        std::string error;
        auto sample = emulated::EmulatedBoard::Open(dir.File("board"), error);
        ASSERT_TRUE(sample) << error;
        const Bytes original = sample->Rom();

        test::FakeProgram program;
        program.platform.system.programDirectory = dir.Path().string() + "/";
        ASSERT_TRUE(test::StartRomAccessOn(*sample, program.platform, program.romDevice, GetParam()));

        CWizardApp& app = program.app;
        app.advancedMode = 0;
        LogoJob job;  // the Easy path's: centred, without the POST messages
        job.biosPath = dir.Write("yta.bin", original);
        job.picturePath = picture;
        job.workImagePath = dir.File("tmp.bin");
        const bool locked = name == "board-sst-protected";
        program.platform.windows.Script(IDD_UPDATE_BIOS, {Click(IDC_UPDATE_START)});
        if (!locked) program.platform.windows.Script(IDD_FINISHED, {Click(kResultOk)});
        EXPECT_EQ(app.BuildAndFlash(job), !locked);

        const Bytes built = test::ReadFile(dir.File("tmp.bin"));
        ASSERT_EQ(built.size(), original.size());
        const Bytes rom = test::ReadFile(dir.File("board/rom.bin"));
        if (locked) {
            // Everything but the locked 64 KiB Boot region is the new BIOS.
            const size_t boot = rom.size() - 0x10000;
            EXPECT_TRUE(std::equal(rom.begin(), rom.begin() + static_cast<long>(boot), built.begin()));
            EXPECT_TRUE(std::equal(rom.begin() + static_cast<long>(boot), rom.end(),
                                   original.begin() + static_cast<long>(boot)));
        } else {
            EXPECT_EQ(rom, built);
        }
        const Bytes member = test::LogoMemberOf(dir.File("board/rom.bin"));
        ASSERT_FALSE(member.empty());
        EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", member),
                                          name.starts_with("board-stock") ? stockLogo : payload),
                  "");
    }
}

}  // namespace
}  // namespace varlin
