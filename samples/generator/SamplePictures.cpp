#include "samples/generator/SamplePictures.h"

#include <stb_image_write.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "logo/BitmapFile.h"
#include "platform/support/Files.h"
#include "resources/generator/BlockFont.h"

namespace varlin::samples {

namespace {

using Rgb = std::array<uint8_t, 3>;

// What lies under a pixel of the logo: the sky (a shade by height), the sun,
// or the lettering.
enum class Layer { Sky, Sun, Letter };

struct Pixel {
    Layer layer;
    int shade;  // 0..kSkyShades-1 for the sky, 0..kSunShades-1 for the sun
};

constexpr int kSkyShades = 224;
constexpr int kSunShades = 24;

class LogoDesign {
public:
    LogoDesign(int width, int height) : width(width), height(height), lettering(static_cast<size_t>(width) * height)
    {
        static constexpr std::string_view kWord = "VARLIN";
        const int scale = height / 40;
        const int left = (width - artwork::TextWidth(kWord, scale, 6)) / 2;
        artwork::DrawText(kWord, left, height / 5, scale, scale, 6, [this](int x, int y) {
            if (x >= 0 && y >= 0 && x < this->width && y < this->height)
                lettering[static_cast<size_t>(y) * this->width + x] = true;
        });
    }

    Pixel At(int x, int y) const
    {
        if (InLettering(x, y)) return {Layer::Letter, 0};
        const double cx = width * 0.5;
        const double cy = height * 0.62;
        const double radius = height * 0.22;
        const double distance = std::hypot(x - cx, y - cy);
        if (distance < radius) return {Layer::Sun, static_cast<int>(distance / radius * (kSunShades - 1))};
        return {Layer::Sky, y * (kSkyShades - 1) / (height - 1)};
    }

    static Rgb Colour(Pixel pixel)
    {
        switch (pixel.layer) {
        case Layer::Letter:
            return {250, 246, 232};
        case Layer::Sun: {
            const double t = pixel.shade / double(kSunShades - 1);
            return {255, static_cast<uint8_t>(230 - 90 * t), static_cast<uint8_t>(120 - 100 * t)};
        }
        case Layer::Sky:
        default: {
            // Night blue at the top to a warm dusk at the horizon.
            const double t = pixel.shade / double(kSkyShades - 1);
            return {static_cast<uint8_t>(16 + 200 * t), static_cast<uint8_t>(24 + 90 * t),
                    static_cast<uint8_t>(90 + 10 * t)};
        }
        }
    }

private:
    bool InLettering(int x, int y) const { return lettering[static_cast<size_t>(y) * width + x]; }

    int width;
    int height;
    std::vector<bool> lettering;
};

Bytes SampleBitmap(int width, int height)
{
    const LogoDesign design(width, height);
    IndexedImage image;
    image.width = width;
    image.height = height;
    image.pixelsPerMetreX = image.pixelsPerMetreY = 2835;
    for (int shade = 0; shade < kSkyShades; ++shade) image.palette.push_back(LogoDesign::Colour({Layer::Sky, shade}));
    for (int shade = 0; shade < kSunShades; ++shade) image.palette.push_back(LogoDesign::Colour({Layer::Sun, shade}));
    image.palette.push_back(LogoDesign::Colour({Layer::Letter, 0}));
    while (image.palette.size() < 256) image.palette.push_back({0, 0, 0});
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Pixel pixel = design.At(x, y);
            const int index = pixel.layer == Layer::Sky   ? pixel.shade
                              : pixel.layer == Layer::Sun ? kSkyShades + pixel.shade
                                                          : kSkyShades + kSunShades;
            image.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(index);
        }
    }
    return EncodeLogoFormBitmap(image);
}

bool WriteSampleJpeg(const std::string& path, int width, int height)
{
    const LogoDesign design(width, height);
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb colour = LogoDesign::Colour(design.At(x, y));
            rgb.insert(rgb.end(), colour.begin(), colour.end());
        }
    }
    return stbi_write_jpg(path.c_str(), width, height, 3, rgb.data(), 90) != 0;
}

// The stock logo's palette, 6-bit: black, eight blues from dark to light,
// six rainbow colours, white.
// clang-format off
constexpr std::array<std::array<uint8_t, 3>, 16> kStockPalette = {{
    {0, 0, 0},    {2, 4, 14},   {3, 6, 18},  {4, 8, 22},   {5, 11, 26},  {6, 14, 30},  {8, 17, 34},  {10, 20, 38},
    {12, 24, 42}, {63, 10, 10}, {63, 36, 0}, {63, 60, 12}, {14, 52, 16}, {10, 50, 58}, {40, 18, 58}, {63, 63, 63},
}};
// clang-format on
constexpr uint8_t kStockWhite = 15;
constexpr uint8_t kStockYellow = 11;
constexpr uint8_t kStockRainbow = 9;  // six stripes from here on

// A stock logo in the sample's 16 colours: bands of blue from top to
// bottom and a rainbow of six stripes across; the caller draws its text
// with Plot.
struct BandedLogo {
    StockPicture logo;

    void Plot(int x, int y, uint8_t index)
    {
        const int width = logo.format.width;
        if (x >= 0 && y >= 0 && x < width && y < logo.format.height) {
            logo.pixels[static_cast<size_t>(y) * width + x] = index;
        }
    }
};

BandedLogo DrawBandedLogo(const StockLogoFormat& format, int stripeTop, int stripeHeight, int margin)
{
    BandedLogo banded;
    StockPicture& logo = banded.logo;
    logo.format = format;
    const int width = format.width;
    const int height = format.height;
    logo.palette.assign(kStockPalette.begin(), kStockPalette.end());
    logo.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) banded.Plot(x, y, static_cast<uint8_t>(1 + y * 8 / height));
    }
    for (int stripe = 0; stripe < 6; ++stripe) {
        const int top = stripeTop + stripe * stripeHeight;
        for (int y = top; y < top + stripeHeight; ++y) {
            for (int x = margin; x < width - margin; ++x)
                banded.Plot(x, y, static_cast<uint8_t>(kStockRainbow + stripe));
        }
    }
    return banded;
}

}  // namespace

StockPicture SampleStockLogo()
{
    BandedLogo banded = DrawBandedLogo(kCommonStockLogo, 300, 8, 40);
    const int width = kCommonStockLogo.width;
    static constexpr std::string_view kWord = "VARLIN";
    static constexpr std::string_view kLine = "FULL SCREEN LOGO";
    artwork::DrawText(kWord, (width - artwork::TextWidth(kWord, 12, 6)) / 2, 120, 12, 12, 6,
                      [&](int x, int y) { banded.Plot(x, y, kStockWhite); });
    artwork::DrawText(kLine, (width - artwork::TextWidth(kLine, 3, 6)) / 2, 380, 3, 3, 6,
                      [&](int x, int y) { banded.Plot(x, y, kStockYellow); });
    return banded.logo;
}

ClassicSmallLogo SampleClassicSmallLogo()
{
    ClassicSmallLogo logo;
    logo.columns = 17;
    logo.rows = 6;
    const int width = logo.Width();
    const int height = logo.Height();
    std::vector<bool> lit(static_cast<size_t>(width) * height);
    auto plot = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) lit[static_cast<size_t>(y) * width + x] = true;
    };
    // The word over the top three rows of cells, a bar in the fourth, a
    // smaller word in the fifth, and blocks in the last.
    static constexpr std::string_view kWord = "VARLIN";
    static constexpr std::string_view kLine = "BIOS";
    artwork::DrawText(kWord, (width - artwork::TextWidth(kWord, 3, 6)) / 2, 7, 3, 4, 6, plot);
    for (int y = 46; y < 51; ++y) {
        for (int x = 8; x < width - 8; ++x) plot(x, y);
    }
    artwork::DrawText(kLine, (width - artwork::TextWidth(kLine, 2, 6)) / 2, 56, 2, 2, 6, plot);
    for (int column = 1; column < logo.columns - 1; column += 2) {
        for (int y = 72; y < 82; ++y) {
            for (int x = column * 8 + 1; x < column * 8 + 7; ++x) plot(x, y);
        }
    }
    // One colour a cell: by the row of cells, the blocks each their own.
    constexpr uint8_t kRowColours[] = {14, 14, 14, 11, 12};
    constexpr uint8_t kBlockColours[] = {9, 10, 11, 12, 13, 14, 15, 1};
    for (size_t cell = 0; cell < logo.Cells(); ++cell) {
        const size_t column = cell % logo.columns;
        const size_t row = cell / logo.columns;
        logo.attributes.push_back(row + 1 < logo.rows ? kRowColours[row] : kBlockColours[column / 2 % 8]);
        SmallLogoGlyph glyph{};
        for (size_t y = 0; y < kSmallLogoCellHeight; ++y) {
            for (size_t x = 0; x < kSmallLogoCellWidth; ++x) {
                const size_t at = (row * kSmallLogoCellHeight + y) * width + column * kSmallLogoCellWidth + x;
                if (lit[at]) glyph[y] = static_cast<uint8_t>(glyph[y] | 0x80 >> x);
            }
        }
        logo.glyphs.push_back(glyph);
    }
    // The icon: five glyphs side by side, a band that waves once across them.
    for (size_t glyph = 0; glyph < 5; ++glyph) {
        for (size_t x = 0; x < 8; ++x) {
            const double phase = (glyph * 8 + x) / 40.0 * 2 * 3.14159265358979;
            const int centre = 7 + static_cast<int>(std::floor(3.5 * std::sin(phase) + 0.5));
            for (int y = centre - 2; y <= centre + 1; ++y) {
                uint8_t& row = logo.icon[glyph * kSmallLogoCellHeight + static_cast<size_t>(y)];
                row = static_cast<uint8_t>(row | 0x80 >> x);
            }
        }
    }
    return logo;
}

StockPicture SampleStockSmallLogo()
{
    BandedLogo banded = DrawBandedLogo({StockVariant::FourBit, 136, 84, true}, 52, 3, 8);
    static constexpr std::string_view kWord = "VARLIN";
    artwork::DrawText(kWord, (136 - artwork::TextWidth(kWord, 3, 6)) / 2, 10, 3, 4, 6,
                      [&](int x, int y) { banded.Plot(x, y, kStockWhite); });
    return banded.logo;
}

bool WriteSamplePictures(const std::string& folder)
{
    bool ok = WriteWholeFile(folder + "/varlin-640x480.bmp", SampleBitmap(640, 480));
    ok = WriteWholeFile(folder + "/varlin-320x240.bmp", SampleBitmap(320, 240)) && ok;
    ok = WriteSampleJpeg(folder + "/varlin-640x480.jpg", 640, 480) && ok;
    ok = WriteSampleJpeg(folder + "/varlin-800x600.jpg", 800, 600) && ok;
    return ok;
}

}  // namespace varlin::samples
