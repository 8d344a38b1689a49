#include <gtest/gtest.h>

#include "tests/support/FakeProgram.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using test::FileExists;

TEST(WizardAppTest, StartsWithTheDefaultFilesOfTheProgramDirectory)
{
    test::FakeProgram fake;
    EXPECT_EQ(fake.app.biosFilePath, "./yta.bin");
    EXPECT_EQ(fake.app.pictureFilePath, "./yta.bmp");
    EXPECT_EQ(fake.app.advancedMode, 0);
    EXPECT_EQ(fake.app.easyResolution, 0);
    EXPECT_FALSE(fake.app.biosFileFound);
}

TEST(WizardAppTest, QuitProgramDeletesTheWorkingCopiesOfTheProgramDirectoryOnly)
{
    test::TempDir programDirectory;
    test::TempDir elsewhere(test::TempDir::Enter);
    for (const char* name : {"yta.bin", "tmp.bin", "other.bin"}) {
        programDirectory.Write(name, {1});
        elsewhere.Write(name, {2});
    }
    test::FakeProgram fake;
    fake.platform.system.programDirectory = programDirectory.Path().string() + "/";
    try {
        fake.app.QuitProgram(0);
        ADD_FAILURE() << "QuitProgram returned";
    } catch (const test::ProcessEnded& ended) {
        EXPECT_EQ(ended.exitCode, 0);
    }
    EXPECT_FALSE(FileExists(programDirectory.File("yta.bin")));
    EXPECT_FALSE(FileExists(programDirectory.File("tmp.bin")));
    EXPECT_TRUE(FileExists(programDirectory.File("other.bin")));
    for (const char* name : {"yta.bin", "tmp.bin", "other.bin"}) EXPECT_TRUE(FileExists(elsewhere.File(name))) << name;

    // Missing files are no error.
    EXPECT_THROW(fake.app.QuitProgram(3), test::ProcessEnded);
}

TEST(WizardAppTest, RebootAsksForThePrivilegeAndForcesOnlyOnTheNtFamily)
{
    test::FakeProgram nt;
    nt.romDevice.romInfo.platformMode = kPlatformNt;
    nt.app.RebootSystem();
    EXPECT_EQ(nt.platform.system.events, (std::vector<std::string>{"shutdown privilege", "restart forced"}));

    test::FakeProgram win9x;
    win9x.romDevice.romInfo.platformMode = kPlatformWin9x;
    win9x.app.RebootSystem();
    EXPECT_EQ(win9x.platform.system.events, (std::vector<std::string>{"restart"}));
}

}  // namespace
}  // namespace varlin
