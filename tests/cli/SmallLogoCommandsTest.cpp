// The small logo of the POST screen through the tool, as users run it:
// build and flash --small-logo, extract --small-logo, inspect and preview,
// on the bundled samples and on images made by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "logo/SmallLogo.h"
#include "logo/StockConversion.h"
#include "platform/support/Text.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/BiosImages.h"
#include "tests/support/Pictures.h"
#include "tests/support/RunCommand.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

const std::string kSamples = VARLIN_SOURCE_DIR "/samples";
constexpr uint16_t kSmallLogoSegment = 0x4002;

// The member loaded at 4002:0 in the run of an image, and its place.
struct FoundMember {
    size_t index = 0;
    test::RunMember place;
    Bytes archive;
};

FoundMember SmallLogoOf(const Bytes& image)
{
    const std::vector<test::RunMember> members = test::RunMembersOf(image);
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i].loadSegment != kSmallLogoSegment) continue;
        const auto from = image.begin() + static_cast<std::ptrdiff_t>(members[i].offset);
        return {i, members[i], Bytes(from, from + static_cast<std::ptrdiff_t>(members[i].length))};
    }
    ADD_FAILURE() << "no small logo in the run";
    return {};
}

// Where the run of an image ends: after its last member.
size_t RunEnd(const Bytes& image)
{
    const std::vector<test::RunMember> members = test::RunMembersOf(image);
    const test::RunMember& last = members.back();
    return last.offset + last.length + (last.loadSegment == 0x5000 ? 1 : 0);
}

// The classic member the cell picture must give, written out here from the
// form's description: the cells, their colours, their glyphs, the old icon.
Bytes ClassicMemberOf(int columns, int rows, const Bytes& oldMember)
{
    Bytes data = {static_cast<uint8_t>(columns), static_cast<uint8_t>(rows)};
    for (int cell = 0; cell < columns * rows; ++cell) data.push_back(test::CellColour(cell % columns, cell / columns));
    for (int cell = 0; cell < columns * rows; ++cell) {
        for (int y = 0; y < 14; ++y) {
            uint8_t bits = 0;
            for (int x = 0; x < 8; ++x) {
                if (test::CellPixelLit(cell % columns, cell / columns, x, y))
                    bits = static_cast<uint8_t>(bits | 0x80 >> x);
            }
            data.push_back(bits);
        }
    }
    data.insert(data.end(), oldMember.end() - static_cast<std::ptrdiff_t>(kSmallLogoIconLength), oldMember.end());
    return data;
}

struct FormCase {
    const char* bios;
    const char* form;
    bool stock = false;
    bool paletteBlock = false;
};

// The round trip: a picture drawn in the standard colours, one colour a
// cell, goes into every form of small logo the samples carry and comes back
// from extract pixel for pixel; the form, its size and the member's length
// stay; every other member is byte for byte where it was or moved along,
// and nothing else changes but the boot block's checksums, which hold.
TEST(SmallLogoCommandTest, APictureOfOneStandardColourACellComesBackFromEveryForm)
{
    const FormCase cases[] = {
        {"award-256k.bin", "classic 17x6 cells (136x84)"},
        {"award-128k-nologo.bin", "classic 17x6 cells (136x84)"},  // a member after it, little room
        {"award-256k-stock.bin", "stock 4-bit 136x84", true, true},
        {"award-256k-stock-noblock.bin", "stock 4-bit 136x84, no palette block", true, false},
        {"award-256k-stock-split.bin", "stock 4-bit 136x84", true, true},  // its system BIOS apart
    };
    const test::IndexedPicture cells = test::MakeCellPicture(17, 6);
    for (const FormCase& c : cases) {
        SCOPED_TRACE(c.bios);
        test::TempDir dir;
        const std::string source = kSamples + "/bios/" + c.bios;
        const std::string picture = dir.Write("cells.bmp", test::MakeBmp(cells));
        const std::string output = dir.File("new.bin");
        const Bytes before = test::ReadFile(source);
        ASSERT_EQ(test::RunVarlin({"extract", source, "--member", "smalllogo.bin", "-o", dir.File("old.bin")}).exitCode,
                  0);
        const Bytes oldData = test::ReadFile(dir.File("old.bin"));

        const test::CommandResult built =
            test::RunVarlin({"build", "--bios", source, "--small-logo", picture, "--output", output});
        ASSERT_EQ(built.exitCode, 0) << built.err;
        EXPECT_NE(built.out.find("built " + output + ": small logo member of "), std::string::npos) << built.out;
        EXPECT_NE(built.out.find(std::string(", ") + c.form), std::string::npos) << built.out;

        // The new member: loaded at 4002:0, of the old length, decoding (by
        // the independent decoders) to the picture in the image's form.
        const Bytes after = test::ReadFile(output);
        ASSERT_EQ(after.size(), before.size());
        const FoundMember old = SmallLogoOf(before);
        const FoundMember made = SmallLogoOf(after);
        const test::ParsedArchive parsed = test::ParseArchive(made.archive);
        ASSERT_TRUE(parsed.ok) << parsed.problem;
        EXPECT_EQ(parsed.originalSize, oldData.size());
        const StockLook look{c.paletteBlock ? StockColours::Chosen : StockColours::Standard};
        const Bytes expected =
            c.stock ? test::StockLogoOf(test::ReadFile(picture), {StockVariant::FourBit, 136, 84, c.paletteBlock}, look)
                    : ClassicMemberOf(17, 6, oldData);
        EXPECT_EQ(test::CheckWithDecoders(dir.Write("small.lzh", made.archive), expected), "");

        // Every other member where it was, or moved by the difference.
        const std::vector<test::RunMember> membersBefore = test::RunMembersOf(before);
        const std::vector<test::RunMember> membersAfter = test::RunMembersOf(after);
        ASSERT_EQ(membersAfter.size(), membersBefore.size());
        const std::ptrdiff_t shift =
            static_cast<std::ptrdiff_t>(made.place.length) - static_cast<std::ptrdiff_t>(old.place.length);
        for (size_t i = 0; i < membersBefore.size(); ++i) {
            if (i == old.index) continue;
            const test::RunMember& was = membersBefore[i];
            const test::RunMember& is = membersAfter[i];
            EXPECT_EQ(is.loadSegment, was.loadSegment);
            EXPECT_EQ(is.offset, i > old.index ? was.offset + shift : was.offset) << i;
            EXPECT_TRUE(std::equal(before.begin() + was.offset, before.begin() + was.offset + was.length,
                                   after.begin() + is.offset))
                << "member " << i;
        }
        const test::BootBlockSumPlaces sums = test::SampleSumPlaces(c.bios);
        const size_t changedEnd = std::max(RunEnd(before), RunEnd(after));
        EXPECT_EQ(
            test::FirstChangeOutside(before, after, {{old.place.offset, changedEnd}, {sums.mainAt, sums.mainAt + 2}}),
            "");
        EXPECT_EQ(test::BootBlockSumProblems(after, sums), "");

        // Back out as a 4-bit bitmap of its size, pixel for pixel...
        const test::CommandResult extracted =
            test::RunVarlin({"extract", output, "--small-logo", "-o", dir.File("back.bmp")});
        ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
        const Bytes back = test::ReadFile(dir.File("back.bmp"));
        ASSERT_GT(back.size(), 30u);
        EXPECT_EQ(back[28], 4);  // bits a pixel
        int width = 0;
        int height = 0;
        EXPECT_EQ(test::DecodeRgb(back, width, height), test::RgbOf(cells).rgb);
        EXPECT_EQ(width, 136);
        EXPECT_EQ(height, 84);

        // ...which the build takes back as it is.
        const test::CommandResult again =
            test::RunVarlin({"build", "--bios", source, "--small-logo", dir.File("back.bmp"), "--output", output});
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(
            test::CheckWithDecoders(dir.Write("again.lzh", SmallLogoOf(test::ReadFile(output)).archive), expected), "");
    }
}

// With --picture too, the full-screen logo is built first and the small
// logo into its result: both decode to what they must, the build says where
// the logo stands in the image written, and the members after both move.
TEST(SmallLogoCommandTest, WithThePictureBothLogosAreBuilt)
{
    test::TempDir dir;
    const std::string source = kSamples + "/bios/award-256k-stock-split.bin";
    const std::string picture = kSamples + "/pictures/varlin-320x240.bmp";
    const std::string small = dir.Write("cells.bmp", test::MakeBmp(test::MakeCellPicture(17, 6)));
    const std::string output = dir.File("new.bin");
    const test::CommandResult result =
        test::RunVarlin({"build", "--bios", source, "--picture", picture, "--small-logo", small, "--output", output});
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const Bytes after = test::ReadFile(output);
    const std::vector<test::RunMember> members = test::RunMembersOf(after);
    ASSERT_EQ(members.size(), 5u);
    EXPECT_EQ(members[1].loadSegment, kSmallLogoSegment);
    EXPECT_EQ(members[2].loadSegment, 0x4000);
    EXPECT_NE(result.out.find(FormatText("logo member of %zu bytes at 0x%zX, stock 4-bit 640x480\n", members[2].length,
                                         members[2].offset)),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\nmoved the 2 members after the logo by "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\nmoved the 3 members after the small logo by "), std::string::npos) << result.out;
    EXPECT_EQ(test::CheckWithDecoders(dir.Write("logo.lzh", test::LogoMemberOf(output)),
                                      test::StockLogoOf(test::ReadFile(picture))),
              "");
    ASSERT_EQ(test::RunVarlin({"extract", output, "--small-logo", "-o", dir.File("back.bmp")}).exitCode, 0);
    int width = 0;
    int height = 0;
    EXPECT_EQ(test::DecodeRgb(test::ReadFile(dir.File("back.bmp")), width, height),
              test::RgbOf(test::MakeCellPicture(17, 6)).rgb);
    EXPECT_EQ(test::BootBlockSumProblems(after, test::SampleSumPlaces("award-256k-stock-split.bin")), "");
}

// 128 KiB images made by hand around a small logo: the system BIOS, then
// what the case puts in the run, free space, and what stands past it.
Bytes HandMadeImage(const Bytes& run, const Bytes& apart = {})
{
    Bytes image = test::MakeMember({"original.tm", 64, 0, 0x5000});
    image.insert(image.end(), run.begin(), run.end());
    image.resize(0x10000, 0xFF);
    image.insert(image.end(), apart.begin(), apart.end());
    image.resize(0x20000, 0xFF);
    return image;
}

Bytes SmallLogoMember(const Bytes& data, const std::string& name = "small.bin")
{
    return test::MakeMember({name, 0, 0, kSmallLogoSegment, 0x20, 1, 0, data});
}

// A classic small logo of one blank cell, with an icon that does not
// compress.
Bytes OneCell()
{
    Bytes data = {1, 1, 0};
    data.resize(3 + 14, 0);
    const Bytes icon = test::RandomBytes(kSmallLogoIconLength, 3);
    data.insert(data.end(), icon.begin(), icon.end());
    return data;
}

// Each refusal names why, writes nothing, and comes before any work on the
// full-screen logo.
TEST(SmallLogoCommandTest, RefusalsSayWhyAndWriteNothing)
{
    test::TempDir dir(test::TempDir::Enter);
    const std::string output = dir.Write("keep.bin", {'k', 'e', 'e', 'p'});
    const std::string cells = dir.Write("cells.bmp", test::MakeBmp(test::MakeCellPicture(17, 6)));
    const std::string cell = dir.Write("a-picture-with-a-long-name.bmp", test::MakeBmp(test::MakeCellPicture(1, 1)));
    test::BmpOptions fourBit;
    fourBit.bitsPerPixel = 4;
    const std::string otherSize = dir.Write("other.bmp", test::MakeBmp(test::MakeIndexedPicture(100, 50, 16), fourBit));

    // No room after the run but the one 0xFF byte that must stay, and a new
    // member longer than the old (its name alone is).
    const Bytes oneCell = SmallLogoMember(OneCell(), "s");
    Bytes tight = HandMadeImage(oneCell);
    tight[RunEnd(tight) + 1] = 0x00;
    struct Case {
        std::string bios;
        std::string picture;
        std::string error;  // what the standard error ends with
    };
    const Case cases[] = {
        {kSamples + "/bios/award-128k-450pg.bin", cells,
         "This BIOS image holds no small logo: no member is loaded at 4002:0, so there is none to replace.\n"},
        {dir.Write("code.bin", HandMadeImage(SmallLogoMember(test::RandomBytes(300, 5)))), cells,
         "The small logo of this BIOS image (the member loaded at 4002:0) cannot be replaced: its data is in neither "
         "the classic form of character cells nor the stock format.\n"},
        {dir.Write("apart.bin", HandMadeImage({}, SmallLogoMember(OneCell()))), cell,
         "The small logo of this BIOS image cannot be replaced: it stands apart, past the free space, where members "
         "never move.\n"},
        {dir.Write("tight.bin", tight), cell,
         FormatText("is larger than the %zu bytes it may take: the old one's place and the free space after the run "
                    "of members, but for the one byte that stays free.\n",
                    oneCell.size())},
        {kSamples + "/bios/award-256k.bin", otherSize, "Only support 256 colors bitmap!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bios);
        test::CommandResult result =
            test::RunVarlin({"build", "--bios", c.bios, "--small-logo", c.picture, "--output", output});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.err.ends_with(c.error)) << result.err;
        if (!c.bios.ends_with("tight.bin")) {
            // Refused before any work on the full-screen logo: no archive was packed.
            result = test::RunVarlin({"build", "--bios", c.bios, "--picture", kSamples + "/pictures/varlin-320x240.bmp",
                                      "--logo-format", "payload", "--small-logo", c.picture, "--output", output});
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_TRUE(result.err.ends_with(c.error)) << result.err;
            EXPECT_EQ(result.out, "");
        }
        EXPECT_EQ(test::ReadFile(output), (Bytes{'k', 'e', 'e', 'p'}));
        EXPECT_FALSE(test::FileExists("tmp.tbp") || test::FileExists("tmp_b_pic"));
    }
    EXPECT_EQ(test::RunVarlin({"build", "--bios", kSamples + "/bios/award-256k.bin", "--output", output}).exitCode, 2);
    EXPECT_EQ(test::RunVarlin({"build", "--bios", kSamples + "/bios/award-256k.bin", "--small-logo", cells,
                               "--post-message", "--output", output})
                  .exitCode,
              2);
}

// inspect names the form and size of every kind of small logo, extract
// gives none where there is none, and the board and the preview show it.
TEST(SmallLogoCommandTest, InspectFlashAndPreviewShowTheSmallLogo)
{
    test::TempDir dir;
    const std::pair<std::string, const char*> forms[] = {
        {kSamples + "/bios/award-256k-stock.bin", "small logo: stock 4-bit 136x84, member 2 (5772 bytes)\n"},
        {kSamples + "/bios/award-128k-450pg.bin", "small logo: none (no member is loaded at 4002:0)\n"},
        {dir.Write("code.bin", HandMadeImage(SmallLogoMember(test::RandomBytes(300, 5)))),
         "small logo: unreadable: its data is in neither the classic form of character cells nor the stock format "
         "(member 1)\n"},
    };
    for (const auto& [image, line] : forms) {
        EXPECT_NE(test::RunVarlin({"inspect", image}).out.find(line), std::string::npos) << image;
    }
    const test::CommandResult none =
        test::RunVarlin({"extract", kSamples + "/bios/award-128k-450pg.bin", "--small-logo", "-o", dir.File("x.bmp")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "The image holds no small logo (no member is loaded at 4002:0).\n");

    const test::IndexedPicture cells = test::MakeCellPicture(17, 6);
    const std::string small = dir.Write("cells.bmp", test::MakeBmp(cells));
    const std::string board = dir.File("board");
    std::filesystem::copy(kSamples + "/boards/board-stock", board);
    const test::CommandResult flashed = test::RunVarlin({"flash", "--board", board, "--small-logo", small, "--yes"});
    ASSERT_EQ(flashed.exitCode, 0) << flashed.err;
    EXPECT_NE(flashed.out.find("flashed the board's BIOS with the small logo " + small), std::string::npos);
    ASSERT_EQ(test::RunVarlin({"extract", board + "/rom.bin", "--small-logo", "-o", dir.File("rom.bmp")}).exitCode, 0);
    int width = 0;
    int height = 0;
    EXPECT_EQ(test::DecodeRgb(test::ReadFile(dir.File("rom.bmp")), width, height), test::RgbOf(cells).rgb);

    // At the top right, one text row down, over the POST screen.
    const test::CommandResult preview =
        test::RunVarlin({"preview", "--picture", kSamples + "/pictures/varlin-320x240.bmp", "--bios",
                         kSamples + "/bios/award-256k.bin", "--small-logo", small, "--output", dir.File("p.png")});
    ASSERT_EQ(preview.exitCode, 0) << preview.err;
    EXPECT_NE(preview.out.find("\nsmall logo 136x84 at 504,16, as classic 17x6 cells (136x84)\n"), std::string::npos)
        << preview.out;
    const std::vector<uint8_t> screen = test::DecodeRgb(test::ReadFile(dir.File("p.png")), width, height);
    ASSERT_EQ(width, 640);
    const std::vector<uint8_t> expected = test::RgbOf(cells).rgb;
    for (int y = 0; y < 84; ++y) {
        const auto row = screen.begin() + ((16 + y) * 640 + 504) * 3;
        EXPECT_TRUE(std::equal(row, row + 136 * 3, expected.begin() + y * 136 * 3)) << "row " << y;
    }
    EXPECT_EQ(
        test::RunVarlin({"preview", "--picture", small, "--small-logo", small, "--output", dir.File("q.png")}).exitCode,
        2);  // --small-logo needs --bios
}

}  // namespace
}  // namespace varlin
