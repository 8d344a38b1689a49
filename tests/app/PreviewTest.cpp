#include <gtest/gtest.h>

#include "app/PreviewComposition.h"
#include "logo/StockLogo.h"
#include "tests/support/FakeProgram.h"
#include "tests/support/Pictures.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

constexpr char kStockBios[] = VARLIN_SOURCE_DIR "/samples/bios/award-256k-stock.bin";

struct LayoutCase {
    PreviewSettings settings;
    int x;
    int y;
    int position;
};

TEST(PreviewLayoutTest, ScaleAndPlaceOfTheLogo)
{
    // resolution, post, position, advanced, width, height -> x, y, position in force
    const LayoutCase cases[] = {
        {{0, 0, 0, 0, 640, 480}, 0, 0, 0},
        {{0, 0, 1, 1, 320, 240}, 320, 240, 1},  // Bottom Right in the Advanced Mode
        {{0, 0, 2, 1, 320, 240}, 0, 240, 2},    // Bottom Left
        {{0, 0, 3, 1, 320, 240}, 320, 0, 3},    // Top Right
        {{0, 0, 4, 1, 320, 240}, 0, 0, 4},      // Top Left
        {{0, 0, 9, 1, 320, 240}, 0, 0, 9},      // any other value draws at the top left
        {{0, 0, 1, 0, 320, 240}, 160, 120, 0},  // the Easy Mode always centres
        {{1, 0, 3, 1, 800, 600}, 0, 0, 0},      // 800*600 always centres
        {{1, 0, 0, 0, 700, 500}, 75, 65, 0},
        {{0, 0, 0, 0, 639, 480}, 0, 0, 0},  // an odd free width is truncated
    };
    for (const LayoutCase& c : cases) {
        const PreviewLayout layout = LayOutPreview(c.settings);
        EXPECT_EQ(layout.logoX, c.x) << c.settings.pictureWidth << " position " << c.settings.logoPosition;
        EXPECT_EQ(layout.logoY, c.y) << c.settings.pictureWidth << " position " << c.settings.logoPosition;
        EXPECT_EQ(layout.logoPosition, c.position);
    }
    EXPECT_EQ(LayOutPreview({1, 0, 0, 0, 800, 600}).scale, 0.8f);
    const float seventy = LayOutPreview({1, 0, 0, 0, 700, 500}).scale;
    EXPECT_LT(seventy, 0.7);  // a 32-bit float a hair below 0.7
    EXPECT_EQ(seventy, 0.7f);
    EXPECT_EQ(LayOutPreview({1, 0, 0, 0, 400, 600}).scale, 0.8f);  // the larger of the two ratios

    EXPECT_TRUE(LayOutPreview({0, 1, 0, 1, 10, 10}).drawOverlays);
    EXPECT_FALSE(LayOutPreview({1, 1, 0, 1, 10, 10}).drawOverlays);
    EXPECT_FALSE(LayOutPreview({0, 0, 0, 1, 10, 10}).drawOverlays);
}

// The rectangle of pixels that are not black.
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Box LitBox(const std::vector<uint8_t>& rgb, int width, int height)
{
    Box box;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            if (p[0] + p[1] + p[2] < 30) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

// A picture of one bright colour, so that the lit pixels are the logo.
Bytes Solid(const char* kind, int width, int height)
{
    if (std::string(kind) == "jpg") return test::MakeSolidJpeg(width, height, {200, 180, 40});
    test::IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.palette = {{200, 180, 40}};
    picture.pixels.assign(static_cast<size_t>(width) * height, 0);
    return test::MakeBmp(picture);
}

TEST(PreviewCommandTest, TheRenderedLogoStandsWhereTheRulesSay)
{
    struct Case {
        const char* kind;
        int width;
        int height;
        std::vector<std::string> options;
        Box expected;
    };
    const Case cases[] = {
        {"bmp", 640, 480, {}, {0, 0, 640, 480}},
        {"bmp", 320, 240, {"--advanced", "--position", "bottom-right"}, {320, 240, 640, 480}},
        {"jpg", 800, 600, {}, {0, 0, 640, 480}},
        {"jpg", 700, 500, {}, {75, 65, 75 + 489, 65 + 349}},
        {"bmp", 639, 480, {}, {0, 0, 639, 480}},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const std::string picture = dir.Write(std::string("logo.") + c.kind, Solid(c.kind, c.width, c.height));
        std::vector<std::string> arguments = {"preview", "--picture", picture, "--output", dir.File("screen.png")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const test::CommandResult result = test::RunVarlin(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        int width = 0;
        int height = 0;
        const auto rgb = test::DecodeRgb(test::ReadFile(dir.File("screen.png")), width, height);
        ASSERT_EQ(width, 640);
        ASSERT_EQ(height, 480);
        const Box box = LitBox(rgb, width, height);
        EXPECT_EQ(box.left, c.expected.left);
        EXPECT_EQ(box.top, c.expected.top);
        EXPECT_EQ(box.right, c.expected.right);
        EXPECT_EQ(box.bottom, c.expected.bottom);
    }
}

// For a stock board the screen is the picture as the build converts it,
// over the whole screen, without the POST-message lines.
TEST(PreviewCommandTest, AStockBoardShowsTheConvertedPictureOverTheWholeScreen)
{
    test::TempDir dir;
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(200, 100, 64));
    const std::string picture = dir.Write("logo.bmp", bitmap);
    const test::CommandResult result =
        test::RunVarlin({"preview", "--picture", picture, "--bios", kStockBios, "--post-message", "--advanced",
                         "--output", dir.File("screen.png")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "preview " + dir.File("screen.png") + ": the logo as stock 4-bit 640x480, over the whole screen\n");

    StockPicture logo;
    ASSERT_TRUE(DecodeStockLogo(test::StockLogoOf(bitmap), logo));
    int width = 0;
    int height = 0;
    const auto rgb = test::DecodeRgb(test::ReadFile(dir.File("screen.png")), width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    for (size_t i = 0; i < logo.pixels.size(); ++i) {
        const auto& entry = logo.palette[logo.pixels[i]];
        for (size_t c = 0; c < 3; ++c) ASSERT_EQ(rgb[i * 3 + c], ScreenComponent(entry[c])) << "pixel " << i;
    }

    // Forced to our payload, the same picture is drawn as the preview always drew it.
    const test::CommandResult payload =
        test::RunVarlin({"preview", "--picture", picture, "--bios", kStockBios, "--logo-format", "payload", "--output",
                         dir.File("screen.png")});
    EXPECT_EQ(payload.out, "preview " + dir.File("screen.png") + ": logo 200x100 at 220,190 (scale 1)\n");
}

TEST(PreviewCommandTest, TheAdvancedPreviewKeepsTheResolutionRule)
{
    test::TempDir dir;
    const std::string picture = dir.Write("big.jpg", test::MakeJpeg(700, 500));
    const test::CommandResult result =
        test::RunVarlin({"preview", "--picture", picture, "--advanced", "--output", dir.File("screen.png")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is 700 * 500 .\n");
    EXPECT_FALSE(test::FileExists(dir.File("screen.png")));
}

class PreviewDialogTest : public ::testing::Test {
protected:
    PreviewDialogTest()
    {
        fake.platform.system.programDirectory = programDir.Path().string() + "/";
        // Overlays of one colour each, 40 x 16, in the program directory.
        for (const OverlayPlace& place : kOverlayPlaces) {
            test::IndexedPicture line;
            line.width = 40;
            line.height = 16;
            line.palette = {{255, 255, 255}};
            line.pixels.assign(40 * 16, 0);
            programDir.Write(place.fileName, test::MakeBmp(line));
        }
        preview.picturePath = dir.Write("logo.bmp", Solid("bmp", 640, 480));
        preview.pictureWidth = 640;
        preview.pictureHeight = 480;
    }

    const uint8_t* PixelAt(int x, int y)
    {
        const Frame& frame = fake.platform.windows.State(preview).lastFrame;
        return frame.rgb + (static_cast<size_t>(y) * frame.width + x) * 3;
    }

    test::TempDir programDir;
    test::TempDir dir;
    test::FakeProgram fake;
    CPreviewDialog& preview = fake.app.previewDialog;
};

TEST_F(PreviewDialogTest, PostMessageLinesAreDrawnOverTheLogoIn640x480Only)
{
    preview.showPostMessage = 1;
    preview.LoadPictures();
    for (const CPicture& overlay : preview.overlayPictures) EXPECT_TRUE(overlay.Loaded());
    ASSERT_TRUE(preview.OnPaint());
    for (const OverlayPlace& place : kOverlayPlaces) {
        EXPECT_EQ(PixelAt(place.x, place.y)[0], 255) << place.fileName;
        EXPECT_EQ(PixelAt(place.x + 39, place.y + 15)[2], 255) << place.fileName;
    }
    EXPECT_EQ(PixelAt(300, 300)[0], 200);  // the logo elsewhere

    // In 800*600 the overlays are neither loaded nor drawn.
    test::FakeProgram other;
    other.platform.system.programDirectory = programDir.Path().string() + "/";
    CPreviewDialog& wide = other.app.previewDialog;
    wide.picturePath = preview.picturePath;
    wide.showPostMessage = 1;
    wide.screenResolution = 1;
    wide.LoadPictures();
    for (const CPicture& overlay : wide.overlayPictures) EXPECT_FALSE(overlay.Loaded());
}

TEST_F(PreviewDialogTest, TheWindowIsPlacedOnceAndClosingOnlyHidesIt)
{
    ASSERT_TRUE(preview.Create());
    test::WindowState& state = fake.platform.windows.State(preview);
    EXPECT_TRUE(state.placed);
    EXPECT_EQ(state.placement.width, 646);
    EXPECT_EQ(state.placement.height, 506);
    EXPECT_TRUE(state.visible);
    preview.OnCommand(kResultCancel);
    EXPECT_FALSE(state.visible);
    EXPECT_TRUE(preview.IsWindow());
    preview.ShowWindow(ShowCommand::Show);
    preview.OnCommand(1003);
    EXPECT_FALSE(state.visible);
    preview.ShowWindow(ShowCommand::Show);
    preview.OnCommand(kResultOk);
    EXPECT_FALSE(state.visible);
    EXPECT_TRUE(preview.IsWindow());

    // The Easy Mode overwrites the position with the centre when it paints.
    preview.logoPosition = 3;
    preview.OnPaint();
    EXPECT_EQ(preview.logoPosition, 0);
}

}  // namespace
}  // namespace varlin
