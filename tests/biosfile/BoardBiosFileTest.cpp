// Finding the board's own BIOS file in the "bios" folder at start-up.
#include <gtest/gtest.h>

#include <filesystem>

#include "biosfile/BoardBiosFile.h"
#include "tests/support/FlashImages.h"

namespace varlin {
namespace {

using test::kKiB;

class BoardBiosFileTest : public ::testing::Test {
protected:
    BoardBiosFileTest()
    {
        harness.platform.system.programDirectory = dir.Path().string() + "/";
        EXPECT_TRUE(harness.Start(board));
    }

    std::string BiosFolder() const { return dir.File("bios") + "/"; }
    std::string Advice() const
    {
        return "Please download the correct bios from http://www.varlin.example/bios\n or backup bios from "
               "mainboard and copy to\n" +
               BiosFolder();
    }
    void MakeBiosFolder() const { std::filesystem::create_directory(dir.File("bios")); }
    Bytes PutBios(const std::string& name, std::string_view id, unsigned seed = 3) const
    {
        MakeBiosFolder();
        Bytes file = test::MakeFlashImage(128 * kKiB, id, seed);
        dir.Write("bios/" + name, file);
        return file;
    }
    int Find() { return FindBoardBiosFile(harness.rom, harness.platform.services); }
    std::vector<std::string> Shown() const { return harness.platform.messages.Texts(); }
    std::string Copy() const { return dir.File("yta.bin"); }

    test::TempDir dir;
    // The board's identification is "01/01/2004-EMULATED-TESTBIOS-00".
    test::TestBoard board{test::MakeFlashImage(128 * kKiB, "TESTBIOS"), {}};
    test::BoardHarness harness;
};

TEST_F(BoardBiosFileTest, NoFolderNoFileOrNoFittingFileGiveTheAdvice)
{
    EXPECT_EQ(Find(), -1);
    MakeBiosFolder();
    EXPECT_EQ(Find(), -1);
    PutBios("other.bin", "OTHERBRD");
    dir.Write("bios/short.bin", Bytes(23, 'T'));
    EXPECT_EQ(Find(), -1);
    EXPECT_EQ(Shown(), (std::vector<std::string>(3, Advice())));
    EXPECT_FALSE(harness.platform.messages.shown[0].system);
    EXPECT_FALSE(test::FileExists(Copy()));
}

TEST_F(BoardBiosFileTest, TheFirstFittingFileInListingOrderIsCopied)
{
    const Bytes second = PutBios("a.bin", "TESTBIOS", 4);
    const Bytes first = PutBios("b.bin", "TESTBIOS", 5);
    harness.platform.system.listings[BiosFolder()] = {".", "..", "b.bin", "a.bin"};
    dir.Write("yta.bin", Bytes{1, 2, 3});
    EXPECT_EQ(Find(), 1);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(test::ReadFile(Copy()), first);
    (void)second;
}

TEST_F(BoardBiosFileTest, EntriesWithoutAnIdAreSkipped)
{
    MakeBiosFolder();
    std::filesystem::create_directory(dir.File("bios/sub"));
    dir.Write("bios/short.bin", Bytes(10, 0));
    PutBios("no-id.bin", "");  // would occur in every board's identification
    const Bytes fits = PutBios("z.bin", "TESTBIOS");
    harness.platform.system.listings[BiosFolder()] = {"sub", "short.bin", "missing.bin", "no-id.bin", "z.bin"};
    EXPECT_EQ(Find(), 1);
    EXPECT_EQ(test::ReadFile(Copy()), fits);
}

TEST_F(BoardBiosFileTest, TheIdMayStandAnywhereInTheIdentification)
{
    const Bytes part = PutBios("part.bin", "EMULATED");
    EXPECT_EQ(Find(), 1);
    EXPECT_EQ(test::ReadFile(Copy()), part);
}

}  // namespace
}  // namespace varlin
