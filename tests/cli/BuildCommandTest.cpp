// varlin build on the bundled sample images, as users run it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "logo/LogoSlotFinder.h"
#include "logo/PalettePreparation.h"
#include "logo/PictureChecker.h"
#include "tests/lha/LhaTestSupport.h"
#include "platform/support/Text.h"
#include "tests/support/Pictures.h"
#include "tests/support/BiosImages.h"
#include "tests/support/RecordingMessagePort.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

const std::string kSamples = VARLIN_SOURCE_DIR "/samples";

struct SampleCase {
    const char* bios;
    const char* picture;
    std::vector<std::string> options;
    uint8_t headerLow;
    uint8_t headerHigh;
    bool stock = false;  // the logo goes in the stock full-screen format
    StockColours colours = StockColours::Chosen;
    StockLogoFormat format = kCommonStockLogo;
};

constexpr StockLogoFormat kStandardBlockless{StockVariant::FourBit, 640, 480, false};

// The payload the logo member must hold: the header word, then the bitmap
// without "BM" (its palette prepared when shown with the POST messages) or
// the JPEG, whose reduction keeps every segment stb writes; or the picture
// as a 16-colour 640 x 480 stock logo.
Bytes ExpectedPayload(const SampleCase& c, const test::TempDir& dir)
{
    const Bytes picture = test::ReadFile(kSamples + "/pictures/" + c.picture);
    if (c.stock) return test::StockLogoOf(picture, c.format, {c.colours});
    const bool bitmap = std::string(c.picture).ends_with(".bmp");
    Bytes payload(picture.begin() + (bitmap ? 2 : 0), picture.end());
    payload.insert(payload.begin(), {c.headerLow, c.headerHigh});
    if (!bitmap || c.headerHigh == 0) return payload;
    const std::string prepared = dir.File("expected-prepared");
    EXPECT_TRUE(PreparePalette(dir.Write("expected.tbp", payload), prepared));
    return test::ReadFile(prepared);
}

TEST(BuildCommandTest, EverySampleImageTakesEverySamplePicture)
{
    const SampleCase cases[] = {
        {"award-128k.bin", "varlin-320x240.bmp", {"--position", "bottom-right"}, 0x30, 0x00},
        {"award-256k.bin", "varlin-640x480.bmp", {"--post-message"}, 0x00, 0x01},
        {"award-256k-nologo.bin", "varlin-640x480.jpg", {"--logo-format", "payload"}, 0x02, 0x00},
        {"award-256k.bin", "varlin-800x600.jpg", {"--resolution", "800x600"}, 0x0A, 0x00},
        {"award-512k.bin", "varlin-640x480.bmp", {"--position", "center"}, 0x00, 0x00},
        {"award-1m.bin", "varlin-640x480.bmp", {"--position", "top-left"}, 0x10, 0x00},
        // A stock image takes the logo in its own format, unless told otherwise.
        {"award-256k-stock.bin", "varlin-640x480.bmp", {"--post-message"}, 0, 0, true},
        {"award-256k-stock.bin", "varlin-800x600.jpg", {"--resolution", "800x600"}, 0, 0, true},
        {"award-256k-stock.bin", "varlin-320x240.bmp", {"--logo-format", "payload"}, 0x00, 0x00},
        // A stock logo where the image had none is drawn in the standard colours.
        {"award-256k.bin", "varlin-320x240.bmp", {"--logo-format", "stock"}, 0, 0, true, StockColours::Standard},
        // A logo without a palette block is replaced by one without, in the standard colours.
        {"award-256k-stock-noblock.bin",
         "varlin-320x240.bmp",
         {},
         0,
         0,
         true,
         StockColours::Standard,
         kStandardBlockless},
    };
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(c.bios);
        test::TempDir dir(test::TempDir::Enter);
        const std::string source = kSamples + "/bios/" + c.bios;
        const Bytes before = test::ReadFile(source);
        const std::string output = dir.File("new.bin");
        std::vector<std::string> arguments = {
            "build", "--bios", source, "--picture", kSamples + "/pictures/" + c.picture, "--output", output};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const test::CommandResult result = test::RunVarlin(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::string format =
            c.stock ? StockFormatText(c.format) : FormatText("header word 0x%02X%02X", c.headerHigh, c.headerLow);
        EXPECT_NE(result.out.find("built " + output + ": logo member of "), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(", " + format + "\n"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find(FormatText("\nboot-block checksums kept: main at 0x%zX 0x",
                                             test::SampleSumPlaces(c.bios).mainAt)),
                  std::string::npos)
            << result.out;

        // The source stays as it was; the result differs from it only in the
        // logo slot and the boot block's checksums, which hold as they did,
        // and the new member decodes to the payload.
        EXPECT_EQ(test::ReadFile(source), before);
        const Bytes after = test::ReadFile(output);
        ASSERT_EQ(after.size(), before.size());
        test::RecordingMessagePort messages;
        CLogoSlotFinder finder(messages);
        uint32_t oldLength = 0;
        uint32_t newLength = 0;
        const int32_t slot = finder.FindLogoSlot(source, oldLength);
        ASSERT_EQ(finder.FindLogoSlot(output, newLength), slot);
        const size_t changedEnd = static_cast<size_t>(slot) + std::max(oldLength, newLength);
        const test::BootBlockSumPlaces sums = test::SampleSumPlaces(c.bios);
        EXPECT_EQ(test::BootBlockSumProblems(before, sums), "");
        EXPECT_EQ(test::BootBlockSumProblems(after, sums), "");
        EXPECT_EQ(test::FirstChangeOutside(before, after, {{slot, changedEnd}, {sums.mainAt, sums.mainAt + 2}}), "");
        const Bytes member(after.begin() + slot, after.begin() + slot + newLength);
        const test::ParsedArchive parsed = test::ParseArchive(member);
        ASSERT_TRUE(parsed.ok) << parsed.problem;
        EXPECT_EQ(parsed.name, c.picture);
        EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", member), ExpectedPayload(c, dir)), "");

        // Nothing is left in the user's directory but the output.
        size_t entries = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            entries +=
                !entry.path().filename().string().starts_with("expected") && entry.path().filename() != "logo.lzh";
        }
        EXPECT_EQ(entries, 1u);
    }
}

// A stock logo followed by members: the new logo takes its place, the
// members after it move along byte for byte, the system BIOS past the gap
// stays, and the sums hold; built again with a smaller logo, they move back.
TEST(BuildCommandTest, MembersAfterTheLogoMoveWithIt)
{
    test::TempDir dir;
    const std::string name = "award-256k-stock-split.bin";
    const Bytes source = test::ReadFile(kSamples + "/bios/" + name);
    const std::vector<test::RunMember> before = test::RunMembersOf(source);
    ASSERT_EQ(before.size(), 5u);
    ASSERT_EQ(before[2].loadSegment, 0x4000);
    std::string from = kSamples + "/bios/" + name;
    Bytes previous = source;
    for (const char* picture : {"varlin-640x480.bmp", "varlin-320x240.bmp"}) {
        SCOPED_TRACE(picture);
        const std::string output = dir.File(std::string("new-") + picture + ".bin");
        const test::CommandResult result = test::RunVarlin(
            {"build", "--bios", from, "--picture", kSamples + "/pictures/" + picture, "--output", output});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const Bytes after = test::ReadFile(output);
        const std::vector<test::RunMember> members = test::RunMembersOf(after);
        const std::vector<test::RunMember> old = test::RunMembersOf(previous);
        ASSERT_EQ(members.size(), old.size());
        const long shift = static_cast<long>(members[3].offset) - static_cast<long>(old[3].offset);
        EXPECT_NE(result.out.find(FormatText("\nmoved the 2 members after the logo by %s%ld bytes, unchanged and in "
                                             "order\n",
                                             shift > 0 ? "+" : "", shift)),
                  std::string::npos)
            << result.out;
        for (size_t i : {0u, 1u, 3u, 4u}) {
            EXPECT_EQ(members[i].offset, old[i].offset + (i > 2 ? shift : 0)) << i;
            EXPECT_TRUE(std::equal(previous.begin() + static_cast<long>(old[i].offset),
                                   previous.begin() + static_cast<long>(old[i].offset + old[i].length),
                                   after.begin() + static_cast<long>(members[i].offset)))
                << i;
        }
        const size_t runEnd = std::max(members[4].offset + members[4].length, old[4].offset + old[4].length);
        const test::BootBlockSumPlaces sums = test::SampleSumPlaces(name);
        EXPECT_EQ(test::BootBlockSumProblems(after, sums), "");
        EXPECT_EQ(
            test::FirstChangeOutside(previous, after, {{members[2].offset, runEnd}, {sums.mainAt, sums.mainAt + 2}}),
            "");
        for (size_t i = members[4].offset + members[4].length; i < runEnd; ++i) ASSERT_EQ(after[i], 0xFF) << i;
        EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", test::LogoMemberOf(output)),
                                          test::StockLogoOf(test::ReadFile(kSamples + "/pictures/" + picture))),
                  "");
        from = output;
        previous = after;
    }
}

// A stock logo is dithered as finely as its room allows, and the build says
// which dithering it took and why.
TEST(BuildCommandTest, AutomaticDitheringTakesTheFinestThatFits)
{
    struct Case {
        const char* bios;
        std::vector<std::string> options;
        Dithering dithering;
        StockColours colours;
        const char* line;
    };
    const Case cases[] = {
        {"award-256k-stock.bin",
         {},
         Dithering::FloydSteinberg,
         StockColours::Chosen,
         "\ndithering: Floyd-Steinberg: its logo member of "},
        {"award-512k.bin",
         {"--logo-format", "stock"},
         Dithering::Ordered,
         StockColours::Standard,
         "\ndithering: ordered 8x8, as the room of 28291 bytes is too small for Floyd-Steinberg's logo member of "},
        {"award-128k-nologo.bin",
         {},
         Dithering::None,
         StockColours::Standard,
         "\ndithering: none, as the room of 6144 bytes is too small for Floyd-Steinberg's logo member of "},
        {"award-256k-stock.bin",
         {"--dither", "ordered"},
         Dithering::Ordered,
         StockColours::Chosen,
         "\ndithering: ordered 8x8, as asked (a logo member of "},
    };
    const std::string picture = kSamples + "/pictures/varlin-640x480.bmp";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bios);
        test::TempDir dir;
        std::vector<std::string> arguments = {"build", "--bios",   kSamples + "/bios/" + c.bios, "--picture",
                                              picture, "--output", dir.File("new.bin")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const test::CommandResult result = test::RunVarlin(arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find(c.line), std::string::npos) << result.out;
        EXPECT_EQ(test::CheckWithDecoders(
                      dir.Write("logo.lzh", test::LogoMemberOf(dir.File("new.bin"))),
                      test::StockLogoOf(test::ReadFile(picture), kCommonStockLogo, {c.colours, c.dithering})),
                  "");
    }
}

// An image without a logo: a stock one in the standard colours where its
// BIOS shows stock logos; none where it shows no logo, unless a format is
// asked for, and then a warning of what the board may do.
TEST(BuildCommandTest, AnImageWithoutALogoGetsOneOnlyWhereItsBiosShowsIt)
{
    test::TempDir dir;
    const std::string picture = kSamples + "/pictures/varlin-320x240.bmp";
    const std::string output = dir.File("new.bin");
    const std::string silent = kSamples + "/bios/award-128k-450pg.bin";

    test::CommandResult result = test::RunVarlin({"build", "--bios", silent, "--picture", picture, "--output", output});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("This BIOS shows no full-screen logo: the image holds none, and its code never looks for "
                              "one.\n"),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(result.err.ends_with("(--logo-format payload or stock adds a logo all the same.)\n")) << result.err;
    EXPECT_FALSE(test::FileExists(output));

    result = test::RunVarlin(
        {"build", "--bios", silent, "--picture", picture, "--output", output, "--logo-format", "payload"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("warning: this BIOS shows no full-screen logo (its code never looks for one): the board "
                              "will not show the new logo, and some boards like it no longer start"),
              std::string::npos)
        << result.err;

    result = test::RunVarlin(
        {"build", "--bios", kSamples + "/bios/award-128k-nologo.bin", "--picture", picture, "--output", output});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.find("warning"), std::string::npos) << result.err;
    // The logo is the picture in the standard colours, with a block that holds them.
    EXPECT_NE(result.out.find("\ndithering: none,"), std::string::npos) << result.out;  // the room is small
    const Bytes expected =
        test::StockLogoOf(test::ReadFile(picture), kCommonStockLogo, {StockColours::Standard, Dithering::None});
    EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", test::LogoMemberOf(output)), expected), "");
    StockPicture logo;
    ASSERT_TRUE(DecodeStockLogo(expected, logo));
    const std::vector<std::array<uint8_t, 3>> standard(kStandardVgaPalette.begin(), kStandardVgaPalette.end());
    EXPECT_EQ(logo.palette, standard);
    const std::vector<test::RunMember> members = test::RunMembersOf(test::ReadFile(output));
    ASSERT_EQ(members.size(), 5u);
    EXPECT_EQ(members.back().loadSegment, 0x4000);
}

TEST(BuildCommandTest, AnImageWithoutRecognisedChecksumsIsSaidToBeSo)
{
    test::TempDir dir;
    Bytes image = test::MakeMember({"original.tm", 64, 0, 0x5000});
    image.resize(0x20000, 0xFF);
    const test::CommandResult result = test::RunVarlin({"build", "--bios", dir.Write("plain.bin", image), "--picture",
                                                        kSamples + "/pictures/varlin-320x240.bmp", "--output",
                                                        dir.File("new.bin"), "--logo-format", "payload"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.out.ends_with(
        "\nno boot-block checksum recognised; the image is written unchanged outside the logo slot\n"))
        << result.out;
}

TEST(BuildCommandTest, RefusalsAndFailuresExitNonZeroAndKeepTheOutput)
{
    test::TempDir dir(test::TempDir::Enter);
    const std::string output = dir.Write("keep.bin", {'k', 'e', 'e', 'p'});

    // The 128 KiB sample without a logo leaves 6 KiB of room: a JPEG of
    // 34 KB does not fit.
    test::CommandResult tooBig =
        test::RunVarlin({"build", "--bios", kSamples + "/bios/award-128k-nologo.bin", "--picture",
                         kSamples + "/pictures/varlin-800x600.jpg", "--resolution", "800x600", "--logo-format",
                         "payload", "--output", output});
    EXPECT_EQ(tooBig.exitCode, 1);
    EXPECT_TRUE(tooBig.err.ends_with("Picture file is too big, \nplease selected a small one!\n")) << tooBig.err;
    const std::string picture = kSamples + "/pictures/varlin-640x480.bmp";

    test::CommandResult result =
        test::RunVarlin({"build", "--bios", dir.File("missing.bin"), "--picture", picture, "--output", output});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.ends_with("Cannot open BIOS file!\n")) << result.err;

    result = test::RunVarlin({"build", "--bios", kSamples + "/bios/award-128k.bin", "--picture",
                              kSamples + "/pictures/varlin-800x600.jpg", "--output", output});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "Under 640*480 mode, Picture Size\nshould be less than 640*480 pixels.\nThis picture is 800 * 600 .\n");

    EXPECT_EQ(test::RunVarlin({"build", "--bios", kSamples + "/bios/award-128k.bin", "--picture", picture}).exitCode,
              2);
    EXPECT_EQ(test::ReadFile(output), (Bytes{'k', 'e', 'e', 'p'}));
}

// Outputs never destroy inputs, a build's temporary files are its own and
// never outlive it, and only images of a ROM's size are taken.
TEST(BuildCommandTest, OutputsSpareInputsAndTheUsersFiles)
{
    test::TempDir dir(test::TempDir::Enter);
    const std::string picture = dir.Write("logo.bmp", test::ReadFile(kSamples + "/pictures/varlin-320x240.bmp"));
    const Bytes source = test::ReadFile(kSamples + "/bios/award-256k.bin");
    const std::string bios = dir.Write("bios.bin", source);
    std::filesystem::create_hard_link(bios, dir.File("hard.bin"));
    std::filesystem::create_symlink(bios, dir.File("soft.bin"));
    std::filesystem::create_symlink(picture, dir.File("soft.bmp"));
    const std::vector<std::vector<std::string>> overwrites = {
        {"build", "--bios", bios, "--picture", picture, "--output", bios},
        {"build", "--bios", bios, "--picture", picture, "--output", dir.File("hard.bin")},
        {"build", "--bios", bios, "--picture", picture, "--output", dir.File("soft.bin")},
        {"build", "--bios", bios, "--picture", picture, "--output", picture},
        {"payload", picture, "-o", dir.File("soft.bmp")},
        {"pack", bios, bios},
        {"preview", "--picture", picture, "--output", picture},
    };
    for (const auto& arguments : overwrites) {
        const test::CommandResult result = test::RunVarlin(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments[0] << " " << arguments.back();
        EXPECT_TRUE(result.err.ends_with(" itself; give another output file.\n")) << result.err;
    }
    EXPECT_EQ(test::ReadFile(bios), source);
    EXPECT_EQ(test::ReadFile(picture), test::ReadFile(kSamples + "/pictures/varlin-320x240.bmp"));

    // A file and a folder of the user's that carry the old temporary name.
    const std::string output = dir.File("new.bin");
    const std::string theirs = dir.Write("new.bin.partial", {'m', 'i', 'n', 'e'});
    std::filesystem::create_directory(dir.File("new.bin.partial.d"));
    const auto entries = [&dir] {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) names.insert(entry.path().filename());
        return names;
    };
    std::set<std::string> expected = entries();
    test::CommandResult result = test::RunVarlin({"build", "--bios", bios, "--picture", picture, "--output", output});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    expected.insert("new.bin");
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(test::ReadFile(theirs), (Bytes{'m', 'i', 'n', 'e'}));

    // Lengths no ROM has, down to nothing and up to 2 GiB, are refused
    // before any work; so is an image of a ROM's size without a chain.
    const std::string sizeMessage = "[Open File]\n  Size of BIOS file is not match with\n   ROM size on mainboard.\n\n";
    for (const size_t length : {0, 100, 131071, 200000, 262143}) {
        result =
            test::RunVarlin({"build", "--bios", dir.Write("odd.bin", Bytes(source.begin(), source.begin() + length)),
                             "--picture", picture, "--output", dir.File("odd-new.bin")});
        EXPECT_EQ(result.exitCode, 1) << length;
        EXPECT_EQ(result.err, sizeMessage) << length;
    }
    std::filesystem::resize_file(dir.File("odd.bin"), uintmax_t{2} << 30);
    result = test::RunVarlin(
        {"build", "--bios", dir.File("odd.bin"), "--picture", picture, "--output", dir.File("odd-new.bin")});
    EXPECT_EQ(result.err, sizeMessage);
    result = test::RunVarlin({"build", "--bios", dir.Write("noise.bin", Bytes(256 * 1024, 0x5A)), "--picture", picture,
                              "--output", dir.File("odd-new.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(
        result.err.ends_with("noise.bin holds no LHA member chain that ends in free space: it has no logo slot.\n"))
        << result.err;
    EXPECT_FALSE(test::FileExists(dir.File("odd-new.bin")));
}

// A build stopped from outside takes its working folder (a padded picture
// makes a payload of 64 MiB there) with it and leaves no output.
TEST(BuildCommandTest, AStoppedBuildLeavesNothingBehind)
{
    test::TempDir dir;
    test::TempDir work;
    const std::string picture = dir.Write("padded.bmp", test::ReadFile(kSamples + "/pictures/varlin-640x480.bmp"));
    std::filesystem::resize_file(picture, kPictureReadLimit);
    const std::string script =
        "TMPDIR=\"$1\" \"$2\" build --bios \"$3\" --picture \"$4\" --output \"$5\" >/dev/null 2>&1 & run=$!\n"
        "while [ -z \"$(ls -A \"$1\")\" ]; do sleep 0.01; done\n"
        "sleep 0.2; kill -TERM $run; wait $run; echo $?\n";
    const test::CommandResult result =
        test::RunProgram("sh", {"-c", script, "sh", work.Path().string(), VARLIN_CLI_PATH,
                                kSamples + "/bios/award-1m.bin", picture, dir.File("new.bin")});
    EXPECT_EQ(result.out, "143\n");  // ended by the signal
    EXPECT_TRUE(std::filesystem::is_empty(work.Path()));
    EXPECT_FALSE(test::FileExists(dir.File("new.bin")));
}

}  // namespace
}  // namespace varlin
