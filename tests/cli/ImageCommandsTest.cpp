// varlin inspect and extract on the sample images, on images just built and
// on damaged ones.
#include <gtest/gtest.h>

#include "logo/BitmapFile.h"
#include "award/MemberChain.h"
#include "logo/StockLogo.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/BiosImages.h"
#include "tests/support/Pictures.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

const std::string kSamples = VARLIN_SOURCE_DIR "/samples/bios/";

TEST(InspectCommandTest, ListsTheChainTheSlotTheSizeCodeAndTheId)
{
    const test::CommandResult result = test::RunVarlin({"inspect", kSamples + "award-256k.bin"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"-lh5-  5000:0  0xDF51 ok      fixed   original.tm", "4000:0", "varlin.bmp",
          "\nlogo format: our payload (bitmap)\nlogo slot:  0xCBDD, old logo",
          "\nsmall logo: classic 17x6 cells (136x84), member 2 (1602 bytes)\n", "checksums:  *BBSS* table at 0x37000\n",
          "  main     0x37FFE: stored 0xF7, computed 0xF7, holds\n",
          "  block    0x37FFF: stored 0xF9, computed 0xF9 from 0x37400, holds\n", "size code:  'Z' (256 KiB)",
          "BIOS ID:    VL256K01"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
    }

    const test::CommandResult json = test::RunVarlin({"inspect", "--json", kSamples + "award-256k-nologo.bin"});
    constexpr char kSmallLogoJson[] =
        "\"smallLogo\": {\"form\": \"classic\", \"text\": \"classic 17x6 cells (136x84)\", \"member\": 2, "
        "\"length\": 1602, \"width\": 136, \"height\": 84, \"columns\": 17, \"rows\": 6},";
    ASSERT_EQ(json.exitCode, 0);
    for (const char* field :
         {"\"members\": [", "\"loadAddress\": \"5000:0\"", "\"name\": \"smalllogo.bin\"", kSmallLogoJson,
          "\"oldLength\": 0", "\"slotRefusal\": null", "\"romSize\": 262144",
          "\"logoFormat\": {\"kind\": \"none\", \"text\": \"none\"},", "\"data\": \"ok\"",
          "\"main\": {\"offset\": 229374,", "\"start\": 226304, \"holds\": true", "\"biosId\": \"VL256K02\""}) {
        EXPECT_NE(json.out.find(field), std::string::npos) << field << "\n" << json.out;
    }
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '{'), std::count(json.out.begin(), json.out.end(), '}'));
}

TEST(InspectCommandTest, StaleChecksumsAndDamagedMembersAreShownAsSuch)
{
    test::TempDir dir;
    Bytes image = test::ReadFile(kSamples + "award-512k.bin");
    image[0x78FFE] ^= 0x01;  // the main sum; this sample keeps no block sum
    test::CommandResult result = test::RunVarlin({"inspect", dir.Write("stale.bin", image)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"  main     0x78FFE: stored 0xFA, computed 0xFB, stale\n",
          "  block    0x78FFF: stored 0x00, no block of the page sums to it (0x78000: 0xF8, 0x78400: "}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
    }

    image = test::MakeMember({"original.tm", 64, 0, 0x5000});
    image.resize(0x20000, 0xFF);
    result = test::RunVarlin({"inspect", dir.Write("plain.bin", image)});
    EXPECT_NE(result.out.find("checksums:  none recognised (no *BBSS* table in the last 64 KiB)\n"), std::string::npos)
        << result.out;
    for (const char* line :
         {"  0   0x0000000 0x24   64        128       -lh5-  5000:0  0x0000 broken  fixed   original.tm\n",
          "  member 0 cannot be decoded: "}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << "\n" << result.out;
    }
    result = test::RunVarlin({"inspect", "--json", dir.File("plain.bin")});
    EXPECT_NE(result.out.find("\"bootBlockChecksums\": null,"), std::string::npos) << result.out;
}

// The logo slot where members follow the logo, and why there is none
// where the logo may not be replaced.
TEST(InspectCommandTest, SaysWhereTheLogoGoesOrWhyItCannot)
{
    test::TempDir dir;
    const Bytes logo = test::MakeMember({"logo.bmp", 64, 0, 0x4000});
    struct Case {
        uint16_t after;    // the load segment of the member after the logo
        const char* line;  // what inspect says of the slot
    };
    const Case cases[] = {
        {0x4001, "logo slot:  0x0, old logo 100 bytes; 1 member after it moves with a new one\n"},
        {0x5000, "logo slot:  none: The logo is not at the end of BIOS ROM!\n"},  // the system BIOS never moves
    };
    for (const Case& c : cases) {
        Bytes image = logo;
        const Bytes after = test::MakeMember({"other.bin", 64, 0, c.after});
        image.insert(image.end(), after.begin(), after.end());
        image.resize(0x20000, 0xFF);
        const test::CommandResult result = test::RunVarlin({"inspect", dir.Write("bios.bin", image)});
        ASSERT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find(c.line), std::string::npos) << result.out;
    }

    const test::CommandResult missing = test::RunVarlin({"inspect", dir.File("missing.bin")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Cannot open BIOS file!\n");
}

// Every member of every sample, cut out as an archive of its own, is what
// lha gives back.
TEST(ExtractCommandTest, EverySampleMemberIsWhatLhaExtracts)
{
    test::TempDir dir;
    for (const char* sample : {"award-128k.bin", "award-256k.bin", "award-256k-nologo.bin", "award-256k-stock.bin",
                               "award-512k.bin", "award-1m.bin"}) {
        const Bytes image = test::ReadFile(kSamples + sample);
        const MemberChain chain = WalkMemberChain(image);
        ASSERT_GE(chain.members.size(), 3u) << sample;
        for (size_t i = 0; i < chain.members.size(); ++i) {
            SCOPED_TRACE(std::string(sample) + " member " + std::to_string(i));
            const auto start = image.begin() + static_cast<std::ptrdiff_t>(chain.members[i].offset);
            const std::string archive =
                dir.Write("member.lzh",
                          Bytes(start, start + static_cast<std::ptrdiff_t>(chain.members[i].header.ArchiveLength())));
            const test::CommandResult lha = test::RunProgram("lha", {"-pq", archive});
            ASSERT_EQ(lha.exitCode, 0) << lha.err;
            const test::CommandResult ours =
                test::RunVarlin({"extract", kSamples + sample, "--member", std::to_string(i), "-o", dir.File("ours")});
            ASSERT_EQ(ours.exitCode, 0) << ours.err;
            const Bytes extracted = test::ReadFile(dir.File("ours"));
            EXPECT_TRUE(extracted == Bytes(lha.out.begin(), lha.out.end()));
        }
    }
}

// The logo of a fresh build comes back as the picture in the form the
// build gives every bitmap, and a JPEG as its reduced stream.
TEST(ExtractCommandTest, TheLogoOfABuildIsThePictureBack)
{
    test::TempDir dir;
    const test::IndexedPicture picture = test::MakeIndexedPicture(200, 100, 40);
    const Bytes topDown = test::MakeBmp(picture, {.topDown = true});
    BitmapLayout layout;
    ASSERT_EQ(InspectBitmap(topDown, topDown.size(), layout), BitmapVerdict::Loadable);
    Bytes normalised;
    ASSERT_TRUE(NormaliseBitmap(topDown, layout, normalised));

    struct Case {
        std::string picture;
        std::vector<std::string> options;
        std::string settings;
    };
    const Case cases[] = {
        {dir.Write("top-down.bmp", topDown),
         {"--position", "top-left"},
         "logo: header word 0x0010: bitmap, 640x480, position top-left, POST messages hidden\n"},
        {dir.Write("photo.jpg", test::MakeJpeg(800, 600)),
         {"--resolution", "800x600"},
         "logo: header word 0x000A: JPEG, 800x600, position center, POST messages hidden\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        std::vector<std::string> build = {"build",   "--bios",   kSamples + "award-256k.bin", "--picture",
                                          c.picture, "--output", dir.File("new.bin")};
        build.insert(build.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(test::RunVarlin(build).exitCode, 0);
        const test::CommandResult result =
            test::RunVarlin({"extract", dir.File("new.bin"), "--logo", "-o", dir.File("logo")});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(result.out.starts_with(c.settings)) << result.out;
        const Bytes extracted = test::ReadFile(dir.File("logo"));
        if (c.picture.ends_with(".bmp")) {
            EXPECT_TRUE(extracted == normalised);
        } else {
            int width = 0;
            int height = 0;
            EXPECT_FALSE(test::DecodeRgb(extracted, width, height).empty());
            EXPECT_EQ(width, 800);
            EXPECT_EQ(height, 600);
        }
    }
}

// A stock board's logo is shown for what it is, and comes back as a bitmap
// of its own pixels and palette.
TEST(ExtractCommandTest, AStockLogoComesBackAsABitmap)
{
    test::TempDir dir;
    const std::string stock = kSamples + "award-256k-stock.bin";
    const test::CommandResult inspect = test::RunVarlin({"inspect", stock});
    EXPECT_NE(inspect.out.find("\nlogo format: stock 4-bit 640x480\n"), std::string::npos) << inspect.out;
    const test::CommandResult json = test::RunVarlin({"inspect", "--json", stock});
    EXPECT_NE(json.out.find("\"logoFormat\": {\"kind\": \"stock\", \"text\": \"stock 4-bit 640x480\", \"bits\": 4, "
                            "\"width\": 640, \"height\": 480, \"paletteBlock\": true},"),
              std::string::npos)
        << json.out;

    ASSERT_EQ(test::RunVarlin({"extract", stock, "--member", "fullscreen.bmp", "-o", dir.File("data")}).exitCode, 0);
    StockPicture logo;
    ASSERT_TRUE(DecodeStockLogo(test::ReadFile(dir.File("data")), logo));
    const test::CommandResult result = test::RunVarlin({"extract", stock, "--logo", "-o", dir.File("logo.bmp")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.starts_with("logo: stock 4-bit 640x480, written as an 8-bit bitmap\n")) << result.out;

    // Any viewer's reading of it: stb's, pixel for pixel.
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> rgb = test::DecodeRgb(test::ReadFile(dir.File("logo.bmp")), width, height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    for (size_t i = 0; i < logo.pixels.size(); ++i) {
        const auto& entry = logo.palette[logo.pixels[i]];
        for (size_t c = 0; c < 3; ++c) ASSERT_EQ(rgb[i * 3 + c], ScreenComponent(entry[c])) << "pixel " << i;
    }
}

TEST(ExtractCommandTest, RefusalsWriteNothing)
{
    test::TempDir dir;
    const std::string nologo = kSamples + "award-256k-nologo.bin";
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string error;
    };
    Bytes damaged = test::ReadFile(kSamples + "award-256k.bin");
    damaged[0x100] ^= 0x40;
    const std::string damagedPath = dir.Write("damaged.bin", damaged);
    const Case cases[] = {
        {{"extract", nologo, "--logo", "-o", dir.File("out")},
         1,
         "The image holds no logo member (none is loaded at 4000:0).\n"},
        {{"extract", nologo, "--member", "3", "-o", dir.File("out")},
         1,
         "The image holds no member 3 (it has 3, numbered from 0 as inspect lists them).\n"},
        {{"extract", nologo, "--member", "logo.bmp", "-o", dir.File("out")},
         1,
         "The image holds no member logo.bmp (it has 3, numbered from 0 as inspect lists them).\n"},
        {{"extract", damagedPath, "--member", "0", "-o", dir.File("out")}, 1, "Member 0 (original.tm) "},
        {{"extract", damagedPath, "--member", "1", "-o", damagedPath},
         1,
         damagedPath + " is the BIOS image itself; give another output file.\n"},
        {{"extract", nologo, "--logo", "--member", "1", "-o", dir.File("out")}, 2, ""},
    };
    for (const Case& c : cases) {
        const test::CommandResult result = test::RunVarlin(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[3];
        EXPECT_TRUE(result.err.starts_with(c.error)) << result.err;
        EXPECT_FALSE(test::FileExists(dir.File("out")));
    }
    EXPECT_EQ(test::ReadFile(damagedPath), damaged);
}

}  // namespace
}  // namespace varlin
