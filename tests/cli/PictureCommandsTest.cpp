// check-picture and payload as users run them.
#include <gtest/gtest.h>

#include "tests/support/Pictures.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::RunVarlin;

TEST(PictureCommandsTest, CheckPictureAcceptsAndRefuses)
{
    test::TempDir dir;
    const std::string bitmap = dir.Write("logo.bmp", test::MakeBmp(test::MakeIndexedPicture(640, 480)));
    const std::string jpeg = dir.Write("photo.jpg", test::MakeJpeg(700, 500));
    const std::string wide = dir.Write("wide.bmp", test::MakeBmp(test::MakeIndexedPicture(641, 10)));

    test::CommandResult result = RunVarlin({"check-picture", bitmap});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "accepted 640x480 bmp\n");

    result = RunVarlin({"check-picture", jpeg});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "accepted 700x500 jpeg\n");

    result = RunVarlin({"check-picture", jpeg, "--resolution", "640x480"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is 700 * 500 .\n");

    result = RunVarlin({"check-picture", wide});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Sorry, we only support 640*480 or smaller bitmap picture.\nThis picture's width is 641.\n");

    EXPECT_EQ(RunVarlin({"check-picture"}).exitCode, 2);
    EXPECT_EQ(RunVarlin({"check-picture", bitmap, "--resolution", "1024x768"}).exitCode, 2);
    EXPECT_EQ(RunVarlin({"no-such-command"}).exitCode, 2);
    EXPECT_EQ(RunVarlin({}).exitCode, 2);
}

TEST(PictureCommandsTest, PayloadWritesTheHeaderWordAndThePicture)
{
    test::TempDir dir;
    const Bytes bitmap = test::MakeBmp(test::MakeIndexedPicture(100, 50));
    const std::string picture = dir.Write("logo.bmp", bitmap);
    const std::string output = dir.File("logo.tbp");

    test::TempDir elsewhere(test::TempDir::Enter);  // nothing may be left in the current directory
    const test::CommandResult result =
        RunVarlin({"payload", picture, "-o", output, "--position", "top-left", "--post-message"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Bytes payload = test::ReadFile(output);
    ASSERT_EQ(payload.size(), bitmap.size());
    EXPECT_EQ(payload[0], 0x10);
    EXPECT_EQ(payload[1], 0x01);
    EXPECT_TRUE(std::equal(payload.begin() + 2, payload.end(), bitmap.begin() + 2));
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));

    const std::string jpeg = dir.Write("photo.jpeg", test::MakeJpeg(800, 600));
    ASSERT_EQ(RunVarlin({"payload", jpeg, "-o", output, "--resolution", "800x600"}).exitCode, 0);
    const Bytes jpegPayload = test::ReadFile(output);
    EXPECT_EQ(jpegPayload[0], 0x0A);
    EXPECT_EQ(jpegPayload[1], 0x00);
    EXPECT_EQ(jpegPayload[2], 0xFF);
    EXPECT_EQ(jpegPayload[3], 0xD8);

    // The screen-resolution rule and the bitmap-only-640x480 rule.
    test::CommandResult refused = RunVarlin({"payload", jpeg, "-o", output});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Under 640*480 mode"), std::string::npos);
    EXPECT_EQ(RunVarlin({"payload", picture, "-o", output, "--resolution", "800x600"}).exitCode, 2);
    EXPECT_EQ(RunVarlin({"payload", picture, "-o", output, "--position", "middle"}).exitCode, 2);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));
}

}  // namespace
}  // namespace varlin
