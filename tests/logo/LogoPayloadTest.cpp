#include <gtest/gtest.h>

#include <filesystem>

#include "logo/LogoBuild.h"
#include "platform/support/ByteOrder.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::FileExists;
using test::ReadFile;

class LogoPayloadTest : public ::testing::Test {
protected:
    std::vector<std::string> Shown() const { return platform.messages.Texts(); }
    bool WritePayload() { return build.WriteLogoPayload(picturePath, settings); }

    test::TempDir dir{test::TempDir::Enter};  // the working files go to the current directory
    test::FakePlatform platform;
    LogoBuild build{platform.messages, platform.pictures};
    LogoSettings settings;
    std::string picturePath;
};

struct HeaderWordCase {
    int32_t isBitmap;
    int32_t screenResolution;
    int32_t showPostMessage;
    int32_t logoPosition;
    uint16_t expected;
};

TEST_F(LogoPayloadTest, HeaderWordTable)
{
    const HeaderWordCase cases[] = {
        // bitmap, resolution, post, position  -> word
        {1, 0, 1, kPositionTopLeft, 0x0110},
        {1, 0, 0, kPositionCenter, 0x0000},
        {1, 0, 0, kPositionBottomRight, 0x0030},
        {1, 0, 0, kPositionBottomLeft, 0x0040},
        {1, 0, 0, kPositionTopRight, 0x0020},
        {1, 0, 1, 5, 0x0100},  // an unknown position counts as centre
        {1, 0, 1, -1, 0x0100},
        {0, 0, 1, kPositionBottomRight, 0x0132},
        {0, 0, 0, kPositionCenter, 0x0002},
        {0, 1, 1, kPositionBottomLeft, 0x000A},  // 800*600 drops position and POST flag
        {1, 1, 1, kPositionBottomLeft, 0x0000},
        {0, 1, 0, kPositionCenter, 0x000A},  // the Easy path's large JPEG
        {0, 0, 1, kPositionTopRight, 0x0122},
    };
    for (const HeaderWordCase& c : cases) {
        settings.screenResolution = c.screenResolution;
        settings.showPostMessage = c.showPostMessage;
        settings.logoPosition = c.logoPosition;
        EXPECT_EQ(MakeLogoHeaderWord(settings, c.isBitmap), c.expected)
            << "bitmap " << c.isBitmap << " resolution " << c.screenResolution << " post " << c.showPostMessage
            << " position " << c.logoPosition;
    }
}

TEST_F(LogoPayloadTest, BitmapPayloadIsTheFileAfterItsSignature)
{
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(64, 32));
    picturePath = dir.Write("logo.bmp", bitmap);
    settings.showPostMessage = 1;
    settings.logoPosition = kPositionTopLeft;
    ASSERT_TRUE(WritePayload());
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(build.pictureIsBitmap, 1);
    EXPECT_EQ(build.logoHeaderWord, 0x0110);

    const Bytes payload = ReadFile("tmp.tbp");
    ASSERT_EQ(payload.size(), bitmap.size());
    EXPECT_EQ(payload[0], 0x10);
    EXPECT_EQ(payload[1], 0x01);
    EXPECT_TRUE(std::equal(payload.begin() + 2, payload.end(), bitmap.begin() + 2));
    EXPECT_FALSE(FileExists("tmp.jpg"));
}

TEST_F(LogoPayloadTest, OtherBitmapVariantsEnterThePayloadInLogoForm)
{
    const test::IndexedPicture picture = test::MakeIndexedPicture(30, 20, 256, 3);
    const Bytes logoForm = test::MakeBmp(picture);
    for (const test::BmpOptions& options : {test::BmpOptions{test::BmpHeader::V5_124, false, false, true, 8},
                                            test::BmpOptions{test::BmpHeader::Info40, true, false, true, 8},
                                            test::BmpOptions{test::BmpHeader::Info40, false, true, true, 8}}) {
        picturePath = dir.Write("variant.bmp", test::MakeBmp(picture, options));
        ASSERT_TRUE(WritePayload());
        const Bytes payload = ReadFile("tmp.tbp");
        ASSERT_EQ(payload.size(), logoForm.size());
        // Pixel offset, info header, palette and rows where the palette step reads them.
        EXPECT_EQ(ReadLe32(&payload[10]), ReadLe32(&logoForm[10]));
        EXPECT_EQ(ReadLe32(&payload[14]), 40u);
        EXPECT_TRUE(std::equal(payload.begin() + 54, payload.end(), logoForm.begin() + 54));
    }
}

TEST_F(LogoPayloadTest, JpegPayloadCarriesTheReducedStream)
{
    const Bytes exif = {'E', 'x', 'i', 'f', 0, 0, 1, 2, 3};
    const Bytes note = {'m', 'a', 'd', 'e', ' ', 'b', 'y', ' ', 'h', 'a', 'n', 'd'};
    const Bytes original = test::MakeJpeg(320, 200);
    const Bytes jpeg = test::InsertSegmentAfterApp0(test::InsertSegmentAfterApp0(original, 0xFE, note), 0xE1, exif);
    picturePath = dir.Write("photo.jpg", jpeg);
    settings.logoPosition = kPositionBottomRight;
    settings.showPostMessage = 1;
    ASSERT_TRUE(WritePayload());
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(build.pictureIsBitmap, 0);
    EXPECT_EQ(build.logoHeaderWord, 0x0132);

    // stb writes only segments the BIOS keeps, so the reduction gives back
    // exactly the encoder's own stream.
    const Bytes reduced = ReadFile("tmp.jpg");
    EXPECT_EQ(reduced, original);
    const Bytes payload = ReadFile("tmp.tbp");
    ASSERT_EQ(payload.size(), reduced.size() + 2);
    EXPECT_EQ(payload[0], 0x32);
    EXPECT_EQ(payload[1], 0x01);
    EXPECT_TRUE(std::equal(payload.begin() + 2, payload.end(), reduced.begin()));

    // A real decoder sees the same pixels in the reduced stream.
    int width = 0;
    int height = 0;
    int reducedWidth = 0;
    int reducedHeight = 0;
    const auto pixels = test::DecodeRgb(jpeg, width, height);
    const auto reducedPixels = test::DecodeRgb(reduced, reducedWidth, reducedHeight);
    ASSERT_FALSE(pixels.empty());
    EXPECT_EQ(reducedWidth, 320);
    EXPECT_EQ(reducedHeight, 200);
    EXPECT_EQ(reducedPixels, pixels);
}

TEST_F(LogoPayloadTest, FillBytesBeforeTheEndShrink)
{
    Bytes jpeg = test::MakeJpeg(16, 16);
    ASSERT_EQ(jpeg[jpeg.size() - 1], 0xD9);
    jpeg.insert(jpeg.end() - 2, {0xFF, 0xFF});  // ... FF FF FF D9
    picturePath = dir.Write("fill.jpg", jpeg);
    ASSERT_TRUE(WritePayload());
    const Bytes reduced = ReadFile("tmp.jpg");
    ASSERT_GE(reduced.size(), 3u);
    EXPECT_EQ(reduced[reduced.size() - 2], 0xFF);
    EXPECT_EQ(reduced[reduced.size() - 1], 0xD9);
    EXPECT_NE(reduced[reduced.size() - 3], 0xFF);
    EXPECT_EQ(reduced.size(), jpeg.size() - 2);
}

TEST_F(LogoPayloadTest, FailuresWriteNoPayload)
{
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    const Case cases[] = {
        {"noscan.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0xFF, 0xD9}, "Invalid picture file"},
        {"cut.jpg", {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x40, 0x01}, "Invalid picture file"},
        {"empty.jpg", {}, "Invalid picture file"},
    };
    for (const Case& c : cases) {
        platform.messages.shown.clear();
        picturePath = dir.Write(c.name, c.bytes);
        EXPECT_FALSE(WritePayload()) << c.name;
        EXPECT_EQ(Shown().back(), c.message) << c.name;
        EXPECT_FALSE(FileExists("tmp.tbp")) << c.name;
    }

    platform.messages.shown.clear();
    picturePath = dir.File("missing.bmp");
    EXPECT_FALSE(WritePayload());
    EXPECT_EQ(Shown(), std::vector<std::string>{"Bitmap file open error!"});
    // A picture larger than the check lets through is not read whole (a
    // bitmap padded to gigabytes once took minutes and gigabytes of memory).
    for (const char* name : {"padded.bmp", "padded.jpg"}) {
        platform.messages.shown.clear();
        picturePath = dir.Write(name, test::MakeJpeg(64, 48));
        std::filesystem::resize_file(picturePath, kPictureReadLimit + 1);
        EXPECT_FALSE(WritePayload()) << name;
        EXPECT_EQ(Shown().back(), name[7] == 'b' ? "Bitmap file open error!" : "Invalid picture file");
    }
    platform.messages.shown.clear();
    picturePath = dir.File("missing.jpg");
    EXPECT_FALSE(WritePayload());
    EXPECT_EQ(Shown(), std::vector<std::string>{"Picture file is not existed!"});
    EXPECT_FALSE(FileExists("tmp.tbp"));
}

TEST_F(LogoPayloadTest, AJpegWithoutStartOfImageIsWarnedAboutAndStillReduced)
{
    Bytes jpeg = test::MakeJpeg(16, 16);
    jpeg[1] = 0xD7;
    picturePath = dir.Write("odd.jpg", jpeg);
    ASSERT_TRUE(WritePayload());
    EXPECT_EQ(Shown(), std::vector<std::string>{"File " + picturePath + " is not a valid jpeg file!"});
    const Bytes reduced = ReadFile("tmp.jpg");
    EXPECT_EQ(reduced[0], 0xFF);
    EXPECT_EQ(reduced[1], 0xD8);
}

TEST_F(LogoPayloadTest, AnUnwritablePayloadIsAFailureWithAMessage)
{
    std::filesystem::create_directory("tmp.tbp");  // the name is taken by a directory
    picturePath = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(8, 8)));
    EXPECT_FALSE(WritePayload());
    EXPECT_EQ(Shown(), std::vector<std::string>{"Can not create file tmp.tbp"});
}

}  // namespace
}  // namespace varlin
