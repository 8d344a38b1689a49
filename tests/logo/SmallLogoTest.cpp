// The small logo of the POST screen: the classic form of character cells,
// the member at 4002:0 in either form, and pictures turned into it.
#include <gtest/gtest.h>

#include <algorithm>

#include "award/AwardImage.h"
#include "logo/SmallLogoConversion.h"
#include "logo/SmallLogoMember.h"
#include "logo/StockConversion.h"
#include "tests/support/BiosImages.h"
#include "tests/support/Pictures.h"

namespace varlin {
namespace {

// Two cells, written out from the format's description: yellow (0x0E) and
// light green on a background nibble (0x1A); a glyph each, then the icon.
Bytes HandMadeClassic()
{
    Bytes data = {2, 1, 0x0E, 0x1A};
    const SmallLogoGlyph first = {0x80, 0x40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
    const SmallLogoGlyph second = {0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x81};
    data.insert(data.end(), first.begin(), first.end());
    data.insert(data.end(), second.begin(), second.end());
    for (size_t i = 0; i < kSmallLogoIconLength; ++i) data.push_back(static_cast<uint8_t>(i * 7));
    return data;
}

// A classic small logo of the given cells whose attributes and icon are
// told apart from anything a conversion makes.
ClassicSmallLogo OldClassic(uint8_t columns, uint8_t rows)
{
    ClassicSmallLogo old;
    old.columns = columns;
    old.rows = rows;
    for (size_t cell = 0; cell < old.Cells(); ++cell) old.attributes.push_back(static_cast<uint8_t>(0x30 + cell % 16));
    old.glyphs.assign(old.Cells(), SmallLogoGlyph{0xFF, 0xFF});
    for (size_t i = 0; i < kSmallLogoIconLength; ++i) old.icon[i] = static_cast<uint8_t>(0xA0 + i);
    return old;
}

TEST(ClassicSmallLogoTest, ReadsItsCellsColoursAndIconAndWritesThemBackExactly)
{
    const Bytes data = HandMadeClassic();
    EXPECT_EQ(ClassicSmallLogoLength(2, 1), data.size());
    EXPECT_EQ(ClassicSmallLogoLength(17, 6), 1602u);
    ClassicSmallLogo logo;
    ASSERT_TRUE(DecodeClassicSmallLogo(data, logo));
    EXPECT_EQ(logo.Width(), 16);
    EXPECT_EQ(logo.Height(), 14);
    EXPECT_EQ(logo.icon[1], 7);
    EXPECT_EQ(EncodeClassicSmallLogo(logo), data);

    // The leftmost pixel in the most significant bit; the colour is the low
    // nibble, a clear bit black.
    const std::vector<uint8_t> pixels = ClassicSmallLogoPixels(logo);
    auto at = [&pixels](int x, int y) { return pixels[static_cast<size_t>(y) * 16 + x]; };
    EXPECT_EQ(at(0, 0), 14);
    EXPECT_EQ(at(1, 0), 0);
    EXPECT_EQ(at(1, 1), 14);
    EXPECT_EQ(at(7, 13), 14);
    EXPECT_EQ(at(8, 0), 10);
    EXPECT_EQ(at(15, 0), 10);
    EXPECT_EQ(at(8, 13), 10);
    EXPECT_EQ(at(9, 13), 0);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), 16 * 14 - 13);  // 3 and 10 pixels lit
}

TEST(ClassicSmallLogoTest, DataOfAnyOtherLengthIsNone)
{
    const Bytes data = HandMadeClassic();
    Bytes longer = data;
    longer.push_back(0);
    Bytes zeroWidth = data;
    zeroWidth[0] = 0;
    const Bytes cases[] = {{}, {2}, Bytes(data.begin(), data.end() - 1), longer, zeroWidth, Bytes(72, 0)};
    for (const Bytes& bytes : cases) {
        ClassicSmallLogo logo;
        EXPECT_FALSE(DecodeClassicSmallLogo(bytes, logo)) << bytes.size();
    }
}

// The heart of the form: a picture in the standard colours whose cells each
// show one colour comes back pixel for pixel.
TEST(SmallLogoConversionTest, APictureOfOneStandardColourACellComesBackPixelForPixel)
{
    const test::IndexedPicture picture = test::MakeCellPicture(17, 6);
    const ClassicSmallLogo old = OldClassic(17, 6);
    const ClassicSmallLogo logo = ConvertToClassicSmallLogo(test::RgbOf(picture), old);
    EXPECT_EQ(ClassicSmallLogoPixels(logo), picture.pixels);
    for (size_t cell = 0; cell < logo.Cells(); ++cell) {
        EXPECT_EQ(logo.attributes[cell], test::CellColour(static_cast<int>(cell % 17), static_cast<int>(cell / 17)));
    }
    EXPECT_EQ(logo.icon, old.icon);
    EXPECT_EQ(EncodeClassicSmallLogo(logo).size(), ClassicSmallLogoLength(17, 6));
}

// A picture of another shape is centred on black; cells left black keep
// the attribute the old logo had there.
TEST(SmallLogoConversionTest, APictureOfAnotherShapeIsCentredAndDarkCellsKeepTheirAttribute)
{
    RgbImage white{272, 84, std::vector<uint8_t>(272 * 84 * 3, 0xFF)};  // 2:1, so 136 x 42 in rows 21 to 62
    const ClassicSmallLogo old = OldClassic(17, 6);
    const ClassicSmallLogo logo = ConvertToClassicSmallLogo(white, old);
    const std::vector<uint8_t> pixels = ClassicSmallLogoPixels(logo);
    for (int y = 0; y < 84; ++y) {
        const bool band = y >= 21 && y < 63;
        const auto row = pixels.begin() + y * 136;
        EXPECT_EQ(std::count(row, row + 136, band ? 15 : 0), 136) << "row " << y;
    }
    for (size_t cell = 0; cell < logo.Cells(); ++cell) {
        const size_t row = cell / 17;
        const bool dark = row == 0 || row == 5;
        EXPECT_EQ(logo.attributes[cell], dark ? old.attributes[cell] : 15) << "cell " << cell;
    }
}

// A shade between black and a colour lights a share of the cell's pixels
// like the shade's, the error passed on inside the cell.
TEST(SmallLogoConversionTest, AShadeLightsItsShareOfTheCell)
{
    struct Case {
        std::array<uint8_t, 3> shade;
        uint8_t colour;
        int lit;  // of 112
    };
    const Case cases[] = {
        {{85, 0, 0}, 4, 56},       // half of red
        {{0, 0, 85}, 1, 56},       // half of blue
        {{128, 128, 128}, 7, 84},  // three quarters of light grey, not a mix with white
    };
    for (const Case& c : cases) {
        RgbImage cell{8, 14, {}};
        for (int i = 0; i < 8 * 14; ++i) cell.rgb.insert(cell.rgb.end(), c.shade.begin(), c.shade.end());
        const ClassicSmallLogo logo = ConvertToClassicSmallLogo(cell, OldClassic(1, 1));
        EXPECT_EQ(logo.attributes[0], c.colour) << int(c.shade[0]);
        const std::vector<uint8_t> pixels = ClassicSmallLogoPixels(logo);
        EXPECT_NEAR(std::count(pixels.begin(), pixels.end(), c.colour), c.lit, 4) << int(c.shade[0]);
    }
}

// The member at 4002:0 as the build and inspect read it.
TEST(SmallLogoMemberTest, TellsTheFormOfTheMemberAt4002)
{
    StockPicture stock;
    stock.format = {StockVariant::FourBit, 136, 84, true};
    stock.palette.assign(16, {1, 2, 3});
    stock.pixels.assign(136 * 84, 5);
    struct Case {
        Bytes data;            // empty: no member at 4002:0
        uint16_t segment;      // where it is loaded
        bool damaged = false;  // its data no longer matches its CRC-16
        const char* text;
    };
    const Case cases[] = {
        {HandMadeClassic(), 0x4002, false, "classic 2x1 cells (16x14)"},
        {EncodeStockLogo(stock), 0x4002, false, "stock 4-bit 136x84"},
        {Bytes(300, 0x90), 0x4002, false,
         "unreadable: its data is in neither the classic form of character cells nor the stock format"},
        {HandMadeClassic(), 0x4002, true, "unreadable: its data does not decode to its CRC-16"},
        {HandMadeClassic(), 0x4003, false, "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Bytes image = test::MakeMember({"original.tm", 64, 0, 0x5000});
        const Bytes member = test::MakeMember({"small.bin", 0, 0, c.segment, 0x20, 1, 0, c.data});
        image.insert(image.end(), member.begin(), member.end());
        if (c.damaged) image[image.size() - 2] ^= 0x01;  // the last data byte
        image.resize(0x20000, 0xFF);
        const SmallLogoMember logo = ReadSmallLogo(image, ReadAwardImage(image));
        EXPECT_EQ(SmallLogoText(logo), c.text);
        EXPECT_EQ(logo.index, c.segment == 0x4002 ? 1 : -1);
        EXPECT_EQ(SmallLogoProblem(logo).empty(), logo.Readable());
        if (logo.Readable()) {
            EXPECT_EQ(logo.data, c.data);
            EXPECT_EQ(SmallLogoPicture(logo).pixels.size(), static_cast<size_t>(logo.Width()) * logo.Height());
        }
    }
}

// A stock small logo follows the colour rules of full-screen ones: a
// palette chosen for the picture where it carries a block, the standard
// colours where it has none; its size stays.
TEST(SmallLogoMemberTest, AStockSmallLogoKeepsItsSizeAndFollowsTheColourRules)
{
    const RgbImage picture = test::RgbOf(test::MakeIndexedPicture(200, 100, 200));
    const std::vector<std::array<uint8_t, 3>> standard(kStandardVgaPalette.begin(), kStandardVgaPalette.end());
    for (const bool block : {true, false}) {
        SmallLogoMember old;
        old.form = SmallLogoForm::Stock;
        old.stock = {StockVariant::FourBit, 160, 140, block};
        const NewSmallLogo made = MakeSmallLogo(picture, old, Dithering::FloydSteinberg);
        EXPECT_TRUE(made.stock);
        EXPECT_EQ(made.data.size(), StockLogoLength(old.stock));
        EXPECT_EQ(made.data, EncodeStockLogo(made.shown));
        EXPECT_EQ(made.shown.palette == standard, !block);
        EXPECT_EQ(made.shown.pixels,
                  MakeStockPicture(picture, old.stock, {block ? StockColours::Chosen : StockColours::Standard}).pixels);
    }
}

}  // namespace
}  // namespace varlin
