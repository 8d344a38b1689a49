// The stock full-screen logo format, and pictures turned into it.
#include <gtest/gtest.h>

#include <random>

#include "logo/StockConversion.h"
#include "logo/StockLogo.h"

namespace varlin {
namespace {

using Palette = std::vector<std::array<uint8_t, 3>>;

// 16 x 2, 4-bit, written out from the format's table: row 0 counts the
// colours 0 to 15 from left to right, row 1 alternates 12 and 3.
// clang-format off
const Bytes kHandMade = {
    'A', 'W', 'B', 'M', 0x10, 0x00, 0x02, 0x00,  // magic, width 16, height 2
    // row 0: planes 0 to 3, two bytes each, the leftmost pixel in bit 7
    0x55, 0x55, 0x33, 0x33, 0x0F, 0x0F, 0x00, 0xFF,
    // row 1
    0x55, 0x55, 0x55, 0x55, 0xAA, 0xAA, 0xAA, 0xAA,
    'R', 'G', 'B', ' ',
    // 16 entries of blue, green, red
    0x00, 0x3F, 0x00,  0x01, 0x3B, 0x04,  0x02, 0x37, 0x08,  0x03, 0x33, 0x0C,
    0x04, 0x2F, 0x10,  0x05, 0x2B, 0x14,  0x06, 0x27, 0x18,  0x07, 0x23, 0x1C,
    0x08, 0x1F, 0x20,  0x09, 0x1B, 0x24,  0x0A, 0x17, 0x28,  0x0B, 0x13, 0x2C,
    0x0C, 0x0F, 0x30,  0x0D, 0x0B, 0x34,  0x0E, 0x07, 0x38,  0x0F, 0x03, 0x3C,
};
// clang-format on

TEST(StockLogoTest, TheHandMadeExampleDecodesToKnownPixels)
{
    StockPicture picture;
    ASSERT_TRUE(DecodeStockLogo(kHandMade, picture));
    EXPECT_EQ(picture.format, (StockLogoFormat{StockVariant::FourBit, 16, 2}));
    EXPECT_EQ(StockFormatText(picture.format), "stock 4-bit 16x2");
    const std::vector<uint8_t> expected = {0,  1, 2,  3, 4,  5, 6,  7, 8,  9, 10, 11, 12, 13, 14, 15,
                                           12, 3, 12, 3, 12, 3, 12, 3, 12, 3, 12, 3,  12, 3,  12, 3};
    EXPECT_EQ(picture.pixels, expected);
    ASSERT_EQ(picture.palette.size(), 16u);
    for (uint8_t i = 0; i < 16; ++i) {
        EXPECT_EQ(picture.palette[i],
                  (std::array<uint8_t, 3>{static_cast<uint8_t>(4 * i), static_cast<uint8_t>(63 - 4 * i), i}))
            << int(i);
    }
    EXPECT_EQ(EncodeStockLogo(picture), kHandMade);
}

// Our encoder's output, decoded, is the picture it was given, for both
// variants and for widths that leave a plane's last byte part-filled.
TEST(StockLogoTest, EveryEncodedPictureDecodesBackExactly)
{
    std::mt19937 random(7);
    for (StockVariant variant : {StockVariant::FourBit, StockVariant::EightBit}) {
        for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {13, 5}, {33, 17}, {100, 2}, {640, 480}}) {
            SCOPED_TRACE(testing::Message()
                         << (variant == StockVariant::FourBit ? 4 : 8) << "-bit " << width << "x" << height);
            StockPicture picture;
            picture.format = {variant, static_cast<uint16_t>(width), static_cast<uint16_t>(height)};
            const size_t colours = StockPaletteSize(variant);
            for (size_t i = 0; i < colours; ++i) {
                picture.palette.push_back({static_cast<uint8_t>(random() % 64), static_cast<uint8_t>(random() % 64),
                                           static_cast<uint8_t>(random() % 64)});
            }
            picture.pixels.resize(static_cast<size_t>(width) * height);
            for (uint8_t& pixel : picture.pixels) pixel = static_cast<uint8_t>(random() % colours);

            const Bytes encoded = EncodeStockLogo(picture);
            EXPECT_EQ(encoded.size(), StockLogoLength(picture.format));
            StockPicture decoded;
            ASSERT_TRUE(DecodeStockLogo(encoded, decoded));
            EXPECT_EQ(decoded.format, picture.format);
            EXPECT_EQ(decoded.palette, picture.palette);
            EXPECT_TRUE(decoded.pixels == picture.pixels);
        }
    }
    EXPECT_EQ(StockLogoLength(kCommonStockLogo), 153660u);
}

TEST(StockLogoTest, OnlyTheMagicWithAnExactLengthIsTheFormat)
{
    StockLogoFormat format;
    Bytes data = kHandMade;
    data.push_back(0);
    EXPECT_FALSE(RecogniseStockLogo(data, format)) << "one byte too many";
    data.resize(kHandMade.size() - 1);
    EXPECT_FALSE(RecogniseStockLogo(data, format)) << "one byte short";
    data = kHandMade;
    data[3] = 'P';
    EXPECT_FALSE(RecogniseStockLogo(data, format)) << "another magic";
    data = kHandMade;
    data[4] = 0x11;  // 17 pixels take three bytes a plane
    EXPECT_FALSE(RecogniseStockLogo(data, format)) << "a width the length does not give";
    data = kHandMade;
    data[24] = 'X';
    EXPECT_FALSE(RecogniseStockLogo(data, format)) << "no palette mark";

    // 1 x 240 is as long in both variants; the palette mark tells which.
    for (StockVariant variant : {StockVariant::FourBit, StockVariant::EightBit}) {
        StockPicture narrow;
        narrow.format = {variant, 1, 240};
        narrow.pixels.assign(240, 1);
        ASSERT_EQ(StockLogoLength(narrow.format), 1020u);
        ASSERT_TRUE(RecogniseStockLogo(EncodeStockLogo(narrow), format));
        EXPECT_EQ(format.variant, variant);
    }
}

// Some boards' logos end with their rows: they read in the standard colours
// and are written back as they were.
TEST(StockLogoTest, ALogoWithoutAPaletteBlockReadsInTheStandardColours)
{
    const Bytes rows(kHandMade.begin(), kHandMade.begin() + 24);
    StockPicture picture;
    ASSERT_TRUE(DecodeStockLogo(rows, picture));
    EXPECT_EQ(picture.format, (StockLogoFormat{StockVariant::FourBit, 16, 2, false}));
    EXPECT_EQ(StockFormatText(picture.format), "stock 4-bit 16x2, no palette block");
    EXPECT_EQ(picture.palette, Palette(kStandardVgaPalette.begin(), kStandardVgaPalette.end()));
    EXPECT_EQ(picture.pixels[15], 15);
    EXPECT_EQ(EncodeStockLogo(picture), rows);
    EXPECT_EQ(StockLogoLength(picture.format), rows.size());
}

// In the standard colours, every dithering keeps a picture drawn in them
// exactly, and brings a smooth one out in the colours it averages to.
TEST(StockConversionTest, TheStandardColoursInEveryDithering)
{
    const StockLogoFormat format{StockVariant::FourBit, 64, 48};
    RgbImage drawn;
    drawn.width = 64;
    drawn.height = 48;
    std::vector<uint8_t> drawnIndices;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const uint8_t index = static_cast<uint8_t>((x / 8 + y / 12 * 8) % 16);
            drawnIndices.push_back(index);
            for (uint8_t component : kStandardVgaPalette[index]) drawn.rgb.push_back(ScreenComponent(component));
        }
    }
    RgbImage smooth;
    smooth.width = 64;
    smooth.height = 48;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) smooth.rgb.insert(smooth.rgb.end(), {static_cast<uint8_t>(x * 4), 90, 160});
    }
    for (Dithering dithering : {Dithering::FloydSteinberg, Dithering::Ordered, Dithering::None}) {
        SCOPED_TRACE(DitheringName(dithering));
        const StockLook look{StockColours::Standard, dithering};
        const StockPicture exact = MakeStockPicture(drawn, format, look);
        EXPECT_EQ(exact.palette, Palette(kStandardVgaPalette.begin(), kStandardVgaPalette.end()));
        EXPECT_TRUE(exact.pixels == drawnIndices);

        const StockPicture shown = MakeStockPicture(smooth, format, look);
        if (dithering == Dithering::None) continue;  // each pixel its nearest colour, no averaging
        std::array<double, 3> mean{};
        for (uint8_t index : shown.pixels) {
            for (size_t c = 0; c < 3; ++c) mean[c] += ScreenComponent(kStandardVgaPalette[index][c]);
        }
        const std::array<double, 3> wanted = {126.0, 90.0, 160.0};
        for (size_t c = 0; c < 3; ++c) EXPECT_NEAR(mean[c] / shown.pixels.size(), wanted[c], 12.0) << "channel " << c;
    }
}

// A picture of the logo's own size and few colours keeps them, 6-bit.
TEST(StockConversionTest, APictureOfFewColoursKeepsThem)
{
    // clang-format off
    const std::array<std::array<uint8_t, 3>, 12> colours = {{
        {0, 0, 0},     {255, 255, 255}, {255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {255, 255, 0},
        {0, 255, 255}, {255, 0, 255},   {128, 64, 32}, {32, 64, 128}, {200, 120, 8}, {90, 90, 90},
    }};
    // clang-format on
    RgbImage picture;
    picture.width = 37;  // not a multiple of 8
    picture.height = 20;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const auto& colour = colours[static_cast<size_t>((x / 5 + y / 7 * 8) % 12)];
            picture.rgb.insert(picture.rgb.end(), colour.begin(), colour.end());
        }
    }
    const StockPicture logo = MakeStockPicture(picture, {StockVariant::FourBit, 37, 20});
    ASSERT_EQ(logo.palette.size(), 16u);
    for (size_t i = 0; i < logo.pixels.size(); ++i) {
        const auto& entry = logo.palette[logo.pixels[i]];
        for (size_t c = 0; c < 3; ++c) {
            ASSERT_EQ(entry[c], (picture.rgb[i * 3 + c] * 63 + 127) / 255) << "pixel " << i;
        }
    }
}

// A picture of another shape is scaled to fit, centred on black, and the
// scaled and dithered colours average out to the picture's own.
TEST(StockConversionTest, APictureOfAnotherShapeIsFittedCentredAndDithered)
{
    RgbImage picture;
    picture.width = 200;
    picture.height = 100;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y * 2), 100});
        }
    }
    for (StockVariant variant : {StockVariant::FourBit, StockVariant::EightBit}) {
        SCOPED_TRACE(variant == StockVariant::FourBit ? "4-bit" : "8-bit");
        const StockLogoFormat format{variant, 640, 480};
        const LogoPlacement place = FitIntoLogo(picture.width, picture.height, format);
        EXPECT_EQ((std::array<int, 4>{place.x, place.y, place.width, place.height}),
                  (std::array<int, 4>{0, 80, 640, 320}));

        const StockPicture logo = MakeStockPicture(picture, format);
        ASSERT_EQ(logo.palette.size(), StockPaletteSize(variant));
        for (const auto& entry : logo.palette) ASSERT_LE(std::max({entry[0], entry[1], entry[2]}), 63);
        EXPECT_EQ(logo.palette[0], (std::array<uint8_t, 3>{0, 0, 0}));
        std::array<double, 3> shown{};
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const uint8_t index = logo.pixels[static_cast<size_t>(y) * 640 + x];
                if (y < 80 || y >= 400) {
                    ASSERT_EQ(index, 0) << x << "," << y;
                    continue;
                }
                for (size_t c = 0; c < 3; ++c) shown[c] += ScreenComponent(logo.palette[index][c]);
            }
        }
        const std::array<double, 3> wanted = {99.5, 99.0, 100.0};  // the gradients' means
        for (size_t c = 0; c < 3; ++c) EXPECT_NEAR(shown[c] / (640 * 320), wanted[c], 1.5) << "channel " << c;
    }

    // Tall pictures stand in the middle; a picture of the logo's size fills it.
    const LogoPlacement tall = FitIntoLogo(100, 300, kCommonStockLogo);
    EXPECT_EQ((std::array<int, 4>{tall.x, tall.y, tall.width, tall.height}), (std::array<int, 4>{240, 0, 160, 480}));
    const LogoPlacement same = FitIntoLogo(320, 240, kCommonStockLogo);
    EXPECT_EQ((std::array<int, 4>{same.x, same.y, same.width, same.height}), (std::array<int, 4>{0, 0, 640, 480}));
}

}  // namespace
}  // namespace varlin
