#include "logo/PictureChecker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>

#include "logo/PictureMessages.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::BmpHeader;
using test::MakeBmp;
using test::MakeIndexedPicture;
using test::MakeJpeg;

constexpr char kUnsupported[] = "Sorry, we do not support JPEG files of this type!";

class PictureCheckerTest : public ::testing::Test {
protected:
    bool Check(const std::string& path) { return checker.CheckPicture(path); }
    std::vector<std::string> Shown() const { return platform.messages.Texts(); }
    std::string LastShown() const { return Shown().empty() ? "" : Shown().back(); }

    test::FakePlatform platform;
    CPictureChecker checker{platform.messages};
    test::TempDir dir;
};

TEST_F(PictureCheckerTest, KindFollowsTheUpperCasedExtension)
{
    const Bytes bitmap = MakeBmp(MakeIndexedPicture(20, 10));
    for (const char* name : {"logo.bmp", "LOGO.BMP", "logo.Bmp", "photo.jpeg.bmp"}) {
        EXPECT_TRUE(Check(dir.Write(name, bitmap))) << name;
        EXPECT_EQ(checker.pictureWidth, 20) << name;
    }
    EXPECT_TRUE(Shown().empty());

    const Bytes jpeg = MakeJpeg(32, 16);
    for (const char* name : {"a.jpg", "a.JPEG", "a.XJPGX", "a.bmp.jpg"}) {
        EXPECT_TRUE(Check(dir.Write(name, jpeg))) << name;
        EXPECT_EQ(checker.pictureHeight, 16) << name;
    }

    for (const char* name : {"logo.jpe", "logo.png", "logo"}) {
        platform.messages.shown.clear();
        EXPECT_FALSE(Check(dir.Write(name, bitmap))) << name;
        EXPECT_EQ(Shown(), std::vector<std::string>{"You must choose a jpeg or bmp file!"}) << name;
    }
    // Only the file name's dot counts, not one in the directory name.
    std::filesystem::create_directory(dir.Path() / "pictures.bmp");
    EXPECT_FALSE(Check(dir.Write("pictures.bmp/logo", bitmap)));
    EXPECT_EQ(LastShown(), "You must choose a jpeg or bmp file!");
}

TEST_F(PictureCheckerTest, BitmapSizeLimitsAndMeasuredSize)
{
    EXPECT_TRUE(Check(dir.Write("ok.bmp", MakeBmp(MakeIndexedPicture(640, 480)))));
    EXPECT_EQ(checker.pictureWidth, 640);
    EXPECT_EQ(checker.pictureHeight, 480);

    EXPECT_FALSE(Check(dir.Write("wide.bmp", MakeBmp(MakeIndexedPicture(641, 10)))));
    EXPECT_EQ(LastShown(), "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's width is 641.");
    EXPECT_EQ(checker.pictureWidth, 641);
    EXPECT_EQ(checker.pictureHeight, 10);

    EXPECT_FALSE(Check(dir.Write("high.bmp", MakeBmp(MakeIndexedPicture(640, 481)))));
    EXPECT_EQ(LastShown(), "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's height is 481");

    // Refused before measuring: the size stays that of the last measured picture.
    test::BmpOptions trueColour;
    trueColour.bitsPerPixel = 24;
    EXPECT_FALSE(Check(dir.Write("rgb.bmp", MakeBmp(MakeIndexedPicture(100, 100), trueColour))));
    EXPECT_EQ(LastShown(), "Only support 256 colors bitmap!");
    EXPECT_EQ(checker.pictureWidth, 640);
    EXPECT_EQ(checker.pictureHeight, 481);
}

TEST_F(PictureCheckerTest, EveryBitmapVariantTheWindowsLoaderTakesIsMeasured)
{
    const test::IndexedPicture picture = MakeIndexedPicture(37, 21, 200);
    struct Variant {
        const char* name;
        test::BmpOptions options;
    };
    const Variant variants[] = {
        {"core", {BmpHeader::Core12, false, false, true, 8}},    {"info", {BmpHeader::Info40, false, false, true, 8}},
        {"v2", {BmpHeader::V2_52, false, false, true, 8}},       {"v3", {BmpHeader::V3_56, false, false, true, 8}},
        {"v4", {BmpHeader::V4_108, false, false, true, 8}},      {"v5", {BmpHeader::V5_124, false, false, true, 8}},
        {"top-down", {BmpHeader::Info40, true, false, true, 8}}, {"rle8", {BmpHeader::Info40, false, true, true, 8}},
        {"v5 rle8", {BmpHeader::V5_124, false, true, true, 8}},
    };
    for (const Variant& variant : variants) {
        checker.pictureWidth = checker.pictureHeight = 0;
        EXPECT_TRUE(Check(dir.Write(std::string(variant.name) + ".bmp", MakeBmp(picture, variant.options))))
            << variant.name << ": " << LastShown();
        EXPECT_EQ(checker.pictureWidth, 37) << variant.name;
        EXPECT_EQ(checker.pictureHeight, 21) << variant.name;
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PictureCheckerTest, JfifMarkMustStartAnAttemptOfItsOwn)
{
    const Bytes standard = MakeJpeg(64, 48);
    ASSERT_EQ(standard[6], 'J');
    EXPECT_TRUE(Check(dir.Write("standard.jpg", standard)));

    // "JJFIF" at offset 5: the attempt at the first J fails on the second J,
    // and the next one starts after it, at the F.
    Bytes doubled = standard;
    doubled[5] = 'J';
    EXPECT_FALSE(Check(dir.Write("doubled.jpg", doubled)));
    EXPECT_EQ(LastShown(), kUnsupported);

    // The mark must lie wholly inside the first 16 bytes.
    Bytes late = standard;
    std::fill(late.begin() + 2, late.begin() + 16, 0x20);
    late[12] = 'J';
    late[13] = 'F';
    late[14] = 'I';
    late[15] = 'F';
    EXPECT_TRUE(Check(dir.Write("late.jpg", late)));
    late[12] = ' ';
    late[13] = 'J';
    late[14] = 'F';
    late[15] = 'I';
    late[16] = 'F';
    EXPECT_FALSE(Check(dir.Write("outside.jpg", late)));
}

TEST_F(PictureCheckerTest, JpegSizeLimits)
{
    EXPECT_TRUE(Check(dir.Write("ok.jpg", MakeJpeg(800, 600))));
    EXPECT_EQ(checker.pictureWidth, 800);
    EXPECT_EQ(checker.pictureHeight, 600);
    EXPECT_FALSE(Check(dir.Write("wide.jpg", MakeJpeg(801, 600))));
    EXPECT_EQ(LastShown(), "The JPEG Picture Size should be less than \n800*600 pixels.This picture is 801 * 600 .");
    EXPECT_FALSE(Check(dir.Write("high.jpg", MakeJpeg(800, 601))));
    EXPECT_EQ(LastShown(), "The JPEG Picture Size should be less than \n800*600 pixels.This picture is 800 * 601 .");
    EXPECT_EQ(checker.pictureHeight, 601);
}

TEST_F(PictureCheckerTest, ProgressiveJpegWithoutBaselineFrameIsRefused)
{
    Bytes jpeg = MakeJpeg(64, 48);
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) jpeg[i + 1] = 0xC2;
    }
    EXPECT_FALSE(Check(dir.Write("progressive.jpg", jpeg)));
    EXPECT_EQ(Shown(), std::vector<std::string>{kUnsupported});
    EXPECT_EQ(checker.pictureWidth, 0);
}

TEST_F(PictureCheckerTest, ScreenResolutionRule)
{
    ASSERT_TRUE(Check(dir.Write("wide.jpg", MakeJpeg(700, 500))));
    EXPECT_TRUE(CheckScreenResolution(checker, kResolution800x600, platform.messages));
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(CheckScreenResolution(checker, kResolution640x480, platform.messages));
    EXPECT_EQ(LastShown(),
              "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is 700 * 500 .");

    ASSERT_TRUE(Check(dir.Write("fits.jpg", MakeJpeg(640, 480))));
    EXPECT_TRUE(CheckScreenResolution(checker, kResolution640x480, platform.messages));
}

TEST_F(PictureCheckerTest, KindByNameForTheDialogAndForTheBuild)
{
    PictureKind kind = PictureKind::Jpeg;
    EXPECT_TRUE(DecidePictureKindForDialog("C:\\pictures\\Logo.BMP", platform.messages, kind));
    EXPECT_EQ(kind, PictureKind::Bitmap);
    EXPECT_TRUE(DecidePictureKindForDialog("/x/logo.jpeg", platform.messages, kind));
    EXPECT_EQ(kind, PictureKind::Jpeg);
    EXPECT_TRUE(DecidePictureKindForDialog("logo.JPG", platform.messages, kind));
    EXPECT_EQ(kind, PictureKind::Jpeg);
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(DecidePictureKindForDialog("logo.xjpgx", platform.messages, kind));
    EXPECT_EQ(Shown(), std::vector<std::string>{"Only support jpeg or bitmap picture."});

    EXPECT_EQ(PictureKindForBuild("logo.BMP"), PictureKind::Bitmap);
    EXPECT_EQ(PictureKindForBuild("logo.xjpgx"), PictureKind::Jpeg);
    EXPECT_EQ(PictureKindForBuild("no-extension"), PictureKind::Jpeg);
    EXPECT_EQ(Shown().size(), 1u);
}

// Inputs that are no picture at all, or pictures cut short or lying about
// their size, all end in the program's own refusal, never in a read outside
// the data (the sanitizer build runs this too).
TEST_F(PictureCheckerTest, HostileInputsGetARefusal)
{
    const Bytes bitmap = MakeBmp(MakeIndexedPicture(33, 17));
    const Bytes rle = MakeBmp(MakeIndexedPicture(33, 17), {BmpHeader::Info40, false, true, true, 8});
    const Bytes jpeg = MakeJpeg(40, 30);
    const std::set<std::string> bitmapRefusals = {"Invalid bitmap file!", "Only support 256 colors bitmap!"};
    const std::set<std::string> jpegRefusals = {kUnsupported};

    auto expectRefused = [&](const std::string& name, const Bytes& bytes, const std::set<std::string>& texts) {
        platform.messages.shown.clear();
        EXPECT_FALSE(Check(dir.Write(name, bytes))) << name << " of " << bytes.size() << " bytes";
        ASSERT_EQ(Shown().size(), 1u) << name;
        EXPECT_TRUE(texts.count(Shown()[0])) << name << ": " << Shown()[0];
    };

    // Every prefix of a bitmap is cut short somewhere.
    // (The last row's padding may be missing; its pixels may not.)
    for (size_t length = 0; length + 3 < bitmap.size(); length += length < 80 ? 1 : 97) {
        expectRefused("cut.bmp", Bytes(bitmap.begin(), bitmap.begin() + length), {"Invalid bitmap file!"});
    }
    for (size_t length = 0; length + 2 < rle.size(); length += 7) {
        expectRefused("cut-rle.bmp", Bytes(rle.begin(), rle.begin() + length), {"Invalid bitmap file!"});
    }
    size_t frame = 16;
    while (!(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0)) ++frame;
    for (size_t length = 0; length < frame + 9; ++length) {  // up to the frame's width field
        expectRefused("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + length), jpegRefusals);
    }

    // Headers that claim more than the file holds.
    Bytes huge = bitmap;
    huge[18] = huge[19] = huge[20] = 0xFF;
    huge[21] = 0x7F;  // width 2^31 - 1
    expectRefused("huge.bmp", huge, {"Invalid bitmap file!"});
    Bytes negativeWidth = bitmap;
    negativeWidth[21] = 0x80;
    expectRefused("negative.bmp", negativeWidth, {"Invalid bitmap file!"});
    Bytes manyColours = bitmap;
    manyColours[46] = 0x01;
    manyColours[47] = 0x01;  // 257 palette entries
    expectRefused("colours.bmp", manyColours, {"Invalid bitmap file!"});
    Bytes farPixels = bitmap;
    farPixels[13] = 0x40;  // pixel data offset far past the end
    expectRefused("offset.bmp", farPixels, {"Invalid bitmap file!"});

    // A frame of no pixels, and pictures padded past what is read of a picture.
    for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 30}, std::pair{40, 0}}) {
        Bytes empty = jpeg;
        empty[frame + 5] = empty[frame + 7] = 0;
        empty[frame + 6] = static_cast<uint8_t>(height);
        empty[frame + 8] = static_cast<uint8_t>(width);
        expectRefused("empty-frame.jpg", empty, jpegRefusals);
    }
    for (const auto& [name, bytes] : {std::pair{"padded.bmp", bitmap}, std::pair{"padded.jpg", jpeg}}) {
        platform.messages.shown.clear();
        std::filesystem::resize_file(dir.Write(name, bytes), kPictureReadLimit + 1);
        EXPECT_FALSE(Check(dir.File(name))) << name;
        EXPECT_EQ(LastShown(), name[7] == 'b' ? "Invalid bitmap file!" : kUnsupported);
    }

    // A JPEG whose segment lengths run off the end.
    Bytes longSegment = jpeg;
    longSegment[22] = 0xFF;
    longSegment[23] = 0xF0;  // the quantisation table's length
    longSegment.resize(60);
    expectRefused("segment.jpg", longSegment, jpegRefusals);

    // Random bytes, with and without a plausible start.
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Bytes noise(random() % 300);
        for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
        if (round % 2 == 1 && noise.size() > 16) {
            noise[0] = 'B';
            noise[1] = 'M';
        }
        expectRefused("noise.bmp", noise, bitmapRefusals);
        if (round % 2 == 1 && noise.size() > 16) {
            std::copy_n(jpeg.begin(), 16, noise.begin());
        }
        platform.messages.shown.clear();
        if (Check(dir.Write("noise.jpg", noise))) {
            EXPECT_LE(checker.pictureWidth, 800);  // found a frame header by chance: still measured within limits
        }
    }

    // Not regular files.
    for (const char* name : {"folder.bmp", "folder.jpg"}) {
        std::filesystem::create_directory(dir.Path() / name);
        platform.messages.shown.clear();
        EXPECT_FALSE(Check(dir.File(name)));
    }
    EXPECT_EQ(LastShown(), "Invalid JPEG file!");
    EXPECT_FALSE(Check(dir.File("missing.bmp")));
    EXPECT_EQ(LastShown(), "Invalid bitmap file!");
    EXPECT_FALSE(Check(dir.File("missing.jpg")));
    EXPECT_EQ(LastShown(), "Invalid JPEG file!");

    if (geteuid() != 0) {  // permissions do not stop root
        const std::string locked = dir.Write("locked.bmp", bitmap);
        std::filesystem::permissions(locked, std::filesystem::perms::none);
        EXPECT_FALSE(Check(locked));
        EXPECT_EQ(LastShown(), "Invalid bitmap file!");
    }
}

}  // namespace
}  // namespace varlin
