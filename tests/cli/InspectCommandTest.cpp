// varlin inspect on the sample images and on damaged chains.
#include <gtest/gtest.h>

#include "tests/support/BiosImages.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

const std::string kSamples = VARLIN_SOURCE_DIR "/samples/bios/";

TEST(InspectCommandTest, ListsTheChainTheSlotTheSizeCodeAndTheId)
{
    const test::CommandResult result = test::RunVarlin({"inspect", kSamples + "award-256k.bin"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line : {"-lh5-  5000:0", "original.tm", "4000:0", "varlin.bmp", "logo slot:  0xDC68, old logo",
                             "size code:  'Z' (256 KiB)", "BIOS ID:    VL256K01"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
    }

    const test::CommandResult json = test::RunVarlin({"inspect", "--json", kSamples + "award-256k-nologo.bin"});
    ASSERT_EQ(json.exitCode, 0);
    for (const char* field : {"\"members\": [", "\"loadAddress\": \"5000:0\"", "\"name\": \"acpitbl.bin\"",
                              "\"oldLength\": 0", "\"slotRefusal\": null", "\"romSize\": 262144",
                              "\"biosId\": \"VL256K02\""}) {
        EXPECT_NE(json.out.find(field), std::string::npos) << field << "\n" << json.out;
    }
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '{'), std::count(json.out.begin(), json.out.end(), '}'));
}

TEST(InspectCommandTest, SaysWhyAnImageHasNoSlot)
{
    test::TempDir dir;
    Bytes image = test::MakeMember({"logo.bmp", 64, 0, 0x4000});
    const Bytes after = test::MakeMember({"other.bin", 64, 0, 0x4001});
    image.insert(image.end(), after.begin(), after.end());
    image.resize(0x20000, 0xFF);
    const test::CommandResult result = test::RunVarlin({"inspect", dir.Write("bios.bin", image)});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("logo slot:  none: The logo is not at the end of BIOS ROM!"), std::string::npos) << result.out;

    const test::CommandResult missing = test::RunVarlin({"inspect", dir.File("missing.bin")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Cannot open BIOS file!\n");
}

}  // namespace
}  // namespace varlin
