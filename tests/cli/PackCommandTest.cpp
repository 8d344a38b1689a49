// pack as users run it.
#include <gtest/gtest.h>

#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::RunVarlin;

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(PackCommandTest, PacksWithTheFileNameAndTheDefaultLoadAddress)
{
    test::TempDir dir;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i % 7) + " of the logo\n";
    const std::string input = dir.Write("logo.tbp", TextBytes(text));
    const std::string archive = dir.File("logo.lzh");

    test::TempDir elsewhere(test::TempDir::Enter);  // nothing may be left in the current directory
    const test::CommandResult result = RunVarlin({"pack", input, archive});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Adding logo.tbp  ", 0), 0U) << result.out;
    EXPECT_EQ(result.out.back(), '\n');
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.Path()));

    const Bytes bytes = test::ReadFile(archive);
    ASSERT_GT(bytes.size(), 36U);
    EXPECT_EQ(std::string(bytes.begin() + 2, bytes.begin() + 7), "-lh5-");
    EXPECT_EQ(Bytes(bytes.begin() + 15, bytes.begin() + 19), (Bytes{0x00, 0x00, 0x00, 0x40}));
    EXPECT_EQ(std::string(bytes.begin() + 22, bytes.begin() + 30), "logo.tbp");

    const test::CommandResult printed = test::RunProgram("lha", {"-pq", archive});
    EXPECT_EQ(printed.out, text);
}

TEST(PackCommandTest, NameAndLoadAddressOptions)
{
    test::TempDir dir;
    const std::string input = dir.Write("in.bin", TextBytes("abcabcabcabcabcabcabcabcabcabc"));
    const std::string archive = dir.File("out.lzh");
    const test::CommandResult result =
        RunVarlin({"pack", input, archive, "--name", "logo.bmp", "--load-address", "F000:1A"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Bytes bytes = test::ReadFile(archive);
    ASSERT_GT(bytes.size(), 30U);
    EXPECT_EQ(bytes[0], 33);
    EXPECT_EQ(Bytes(bytes.begin() + 15, bytes.begin() + 19), (Bytes{0x1A, 0x00, 0x00, 0xF0}));
    EXPECT_EQ(std::string(bytes.begin() + 22, bytes.begin() + 30), "logo.bmp");

    for (const char* bad : {"F000", "F000:", "10000:0", "G:0", "1:2:3"}) {
        EXPECT_EQ(RunVarlin({"pack", input, archive, "--load-address", bad}).exitCode, 2) << bad;
    }
    EXPECT_EQ(RunVarlin({"pack", input}).exitCode, 2);
}

TEST(PackCommandTest, FailureLeavesTheOldArchiveAlone)
{
    test::TempDir dir;
    const std::string archive = dir.Write("old.lzh", TextBytes("the old archive"));
    const std::string missing = dir.File("missing.tbp");

    test::CommandResult result = RunVarlin({"pack", missing, archive});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Can't open " + missing + "\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(test::ReadFile(archive), TextBytes("the old archive"));

    const std::string input = dir.Write("in.bin", TextBytes("data"));
    result = RunVarlin({"pack", input, archive, "--name", std::string(231, 'n')});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "The member name is longer than 230 bytes.\n");
    EXPECT_EQ(test::ReadFile(archive), TextBytes("the old archive"));

    result = RunVarlin({"pack", dir.Path().string(), archive});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Can't read " + dir.Path().string() + "\n");
    EXPECT_EQ(test::ReadFile(archive), TextBytes("the old archive"));
}

}  // namespace
}  // namespace varlin
