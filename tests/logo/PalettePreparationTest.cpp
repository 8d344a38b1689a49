#include "logo/PalettePreparation.h"

#include <gtest/gtest.h>

#include "platform/support/ByteOrder.h"
#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin {
namespace {

using Colour = std::array<uint8_t, 3>;  // red, green, blue

constexpr Colour kBlack = {0, 0, 0};
constexpr Colour kWhite = {255, 255, 255};
constexpr Colour kGrey = {170, 170, 170};
constexpr Colour kFillGrey = {168, 168, 168};
constexpr Colour kFillBlack = {0, 0, 0};
constexpr Colour kFillWhite = {252, 252, 252};

// A bright colour for entry i that is none of black, white and grey and has
// a darkness well above the first thresholds.
Colour Bright(int i) { return {200, static_cast<uint8_t>(100 + i % 100), static_cast<uint8_t>(i)}; }

class PalettePreparationTest : public ::testing::Test {
protected:
    // Writes the picture as a bitmap payload (header word 0x0100 where "BM"
    // stood), prepares it and reads the result.
    Bytes Prepare(const test::IndexedPicture& picture)
    {
        input = test::MakeBmp(picture);
        input[0] = 0x00;
        input[1] = 0x01;
        const std::string in = dir.Write("tmp.tbp", input);
        const std::string out = dir.File("chack_pallete");
        EXPECT_TRUE(PreparePalette(in, out));
        return test::ReadFile(out);
    }

    static Colour EntryColour(const Bytes& file, int i)
    {
        return {file[54 + i * 4 + 2], file[54 + i * 4 + 1], file[54 + i * 4]};
    }
    static uint8_t Mark(const Bytes& file, int i) { return file[54 + i * 4 + 3]; }

    // Pixels top row first, read from a prepared or input file.
    static std::vector<uint8_t> Pixels(const Bytes& file, int width, int height)
    {
        const size_t offset = ReadLe32(&file[10]);
        const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
        std::vector<uint8_t> pixels;
        for (int y = height - 1; y >= 0; --y) {
            const uint8_t* row = &file[offset + stride * static_cast<size_t>(y)];
            pixels.insert(pixels.end(), row, row + width);
        }
        return pixels;
    }

    test::TempDir dir;
    Bytes input;
};

test::IndexedPicture PictureOf(int width, int height, std::vector<Colour> palette, std::vector<uint8_t> pixels)
{
    test::IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.palette = std::move(palette);
    picture.pixels = std::move(pixels);
    return picture;
}

TEST_F(PalettePreparationTest, ACompletePaletteOnlyGetsItsMarks)
{
    std::vector<Colour> palette(256);
    for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(i)] = Bright(i);
    palette[7] = kBlack;
    palette[9] = kWhite;
    palette[200] = kGrey;
    palette[201] = kGrey;  // only the first of a colour counts
    std::vector<uint8_t> pixels(8 * 4);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
    const Bytes out = Prepare(PictureOf(8, 4, palette, pixels));

    ASSERT_EQ(out.size(), input.size());
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(EntryColour(out, i), palette[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(Mark(out, i), (i == 7 || i == 9 || i == 200) ? 1 : 0) << i;
    }
    EXPECT_EQ(Pixels(out, 8, 4), pixels);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0x01);
}

TEST_F(PalettePreparationTest, FreeEntriesTakeGreyBlackWhiteInThatOrder)
{
    std::vector<Colour> palette(256);
    for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(i)] = Bright(i);
    // The picture uses 16 entries: 0, 2, 4, ... 30.
    std::vector<uint8_t> pixels(16 * 2);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>((i % 16) * 2);
    const Bytes out = Prepare(PictureOf(16, 2, palette, pixels));

    EXPECT_EQ(EntryColour(out, 1), kFillGrey);
    EXPECT_EQ(EntryColour(out, 3), kFillBlack);
    EXPECT_EQ(EntryColour(out, 5), kFillWhite);
    EXPECT_EQ(EntryColour(out, 7), Bright(7));
    EXPECT_EQ(Mark(out, 0), 1);
    EXPECT_EQ(Mark(out, 1), 0);
    EXPECT_EQ(Pixels(out, 16, 2), pixels);
}

TEST_F(PalettePreparationTest, MergesTheDarkestColoursWithARisingThreshold)
{
    // Every entry is used; only grey is missing; the darkest non-black
    // entries have darkness 5 (red 67 alone), so thresholds 3 and 4 merge
    // nothing and 5 merges entries 100 and 50 into the one met first.
    std::vector<Colour> palette(256);
    for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(i)] = Bright(i);
    palette[0] = kBlack;
    palette[1] = kWhite;
    palette[50] = {67, 0, 0};
    palette[100] = {67, 0, 0};
    palette[150] = {80, 0, 0};  // darkness 6: stays
    std::vector<uint8_t> pixels(16 * 16);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i);
    pixels[3] = 100;  // top row: 100 is met before 50
    pixels[100] = 3;
    const Bytes out = Prepare(PictureOf(16, 16, palette, pixels));

    std::vector<uint8_t> expected = pixels;
    for (uint8_t& v : expected) {
        if (v == 50) v = 100;
    }
    EXPECT_EQ(Pixels(out, 16, 16), expected);
    EXPECT_EQ(EntryColour(out, 50), kFillGrey);
    EXPECT_EQ(Mark(out, 50), 0);
    EXPECT_EQ(EntryColour(out, 100), (Colour{67, 0, 0}));
    EXPECT_EQ(EntryColour(out, 150), (Colour{80, 0, 0}));
}

TEST_F(PalettePreparationTest, RedFortyAloneHasDarknessThree)
{
    std::vector<Colour> palette(256);
    for (int i = 0; i < 256; ++i) palette[static_cast<size_t>(i)] = Bright(i);
    palette[0] = kBlack;
    palette[1] = kGrey;
    palette[10] = {40, 0, 0};
    palette[20] = {40, 0, 0};
    palette[30] = {54, 0, 0};  // darkness 4: not merged in the first cycle
    std::vector<uint8_t> pixels(256);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i);
    const Bytes out = Prepare(PictureOf(16, 16, palette, pixels));
    // Rows are scanned from the top, so entry 10 comes first.
    EXPECT_EQ(EntryColour(out, 20), kFillGrey);  // white missing, but the fill writes grey first
    EXPECT_EQ(EntryColour(out, 30), (Colour{54, 0, 0}));
    EXPECT_EQ(Pixels(out, 16, 16)[20], 10);
    EXPECT_EQ(Pixels(out, 16, 16)[30], 30);
}

TEST_F(PalettePreparationTest, PadBytesAreZeroAndTheLastRowIsWrittenFirst)
{
    std::vector<Colour> palette = {kBlack, kWhite, kGrey, Bright(3)};
    const std::vector<uint8_t> pixels = {3, 2, 1, 0, 1, 2};
    test::IndexedPicture picture = PictureOf(3, 2, palette, pixels);
    Bytes bmp = test::MakeBmp(picture);
    bmp[54 + 16 + 3] = 0xEE;  // a non-zero pad byte in the bottom row
    bmp[0] = 0x00;
    bmp[1] = 0x01;
    const std::string in = dir.Write("tmp.tbp", bmp);
    ASSERT_TRUE(PreparePalette(in, dir.File("chack_pallete")));
    const Bytes out = test::ReadFile(dir.File("chack_pallete"));

    const size_t offset = 54 + 4 * 4;
    ASSERT_EQ(out.size(), offset + 4 + 3);  // no pad byte after the top row
    EXPECT_EQ(out[offset + 3], 0);
    EXPECT_EQ(Pixels(out, 3, 2), pixels);
}

TEST_F(PalettePreparationTest, TooFewEntriesToFreeLeavesThePictureAsItWas)
{
    // Two entries, both used, none of the POST colours: no merge can ever
    // free enough. The preparation ends and changes nothing.
    const test::IndexedPicture picture = PictureOf(4, 2, {Bright(1), Bright(2)}, {0, 1, 0, 1, 1, 0, 1, 0});
    const Bytes out = Prepare(picture);
    EXPECT_EQ(out, input);
}

TEST_F(PalettePreparationTest, OutOfRangeIndicesAndShortFilesStayInsideTheData)
{
    // Indices beyond the palette's 4 entries, and a file cut in its last rows.
    test::IndexedPicture picture =
        PictureOf(8, 8, {Bright(1), Bright(2), Bright(3), Bright(4)}, std::vector<uint8_t>(64, 200));
    picture.pixels[0] = 0;
    Bytes bmp = test::MakeBmp(picture);
    bmp[0] = 0x00;
    bmp[1] = 0x01;
    bmp.resize(bmp.size() - 20);
    ASSERT_TRUE(PreparePalette(dir.Write("tmp.tbp", bmp), dir.File("chack_pallete")));
    const Bytes out = test::ReadFile(dir.File("chack_pallete"));
    EXPECT_GE(out.size(), 54u + 16u);

    // Not a bitmap payload at all: copied unchanged.
    const Bytes junk = {1, 2, 3};
    ASSERT_TRUE(PreparePalette(dir.Write("junk", junk), dir.File("chack_pallete")));
    EXPECT_EQ(test::ReadFile(dir.File("chack_pallete")), junk);
}

TEST_F(PalettePreparationTest, AnUnwritableOutputIsReported)
{
    const std::string in = dir.Write("tmp.tbp", test::MakeBmp(test::MakeIndexedPicture(4, 4)));
    std::filesystem::create_directory(dir.Path() / "taken");
    EXPECT_FALSE(PreparePalette(in, dir.File("taken")));
}

}  // namespace
}  // namespace varlin
