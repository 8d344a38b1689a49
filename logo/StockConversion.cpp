#include "logo/StockConversion.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "logo/BitmapFile.h"

namespace varlin {

namespace {

constexpr int32_t kPixelsPerMetre = 2835;  // 72 dpi, what viewers assume

// The weights of the source pixels that make up each destination pixel
// along one axis.
struct Tap {
    int source;
    double weight;
};

std::vector<std::vector<Tap>> TentTaps(int sourceSize, int destinationSize)
{
    const double ratio = static_cast<double>(sourceSize) / destinationSize;
    const double radius = std::max(1.0, ratio);
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(destinationSize));
    for (int d = 0; d < destinationSize; ++d) {
        const double centre = (d + 0.5) * ratio - 0.5;
        double total = 0;
        for (int s = static_cast<int>(std::ceil(centre - radius)); s <= static_cast<int>(std::floor(centre + radius));
             ++s) {
            const double weight = 1.0 - std::abs(s - centre) / radius;
            if (weight <= 0) continue;
            taps[static_cast<size_t>(d)].push_back({std::clamp(s, 0, sourceSize - 1), weight});
            total += weight;
        }
        for (Tap& tap : taps[static_cast<size_t>(d)]) tap.weight /= total;
    }
    return taps;
}

}  // namespace

LogoPlacement FitIntoLogo(int pictureWidth, int pictureHeight, const StockLogoFormat& format)
{
    const int64_t logoWidth = format.width;
    const int64_t logoHeight = format.height;
    // a * b / c, rounded, and at least 1 and at most `limit`.
    auto scaled = [](int64_t a, int64_t b, int64_t c, int64_t limit) {
        return static_cast<int>(std::clamp<int64_t>((a * b * 2 + c) / (2 * c), 1, limit));
    };
    LogoPlacement place;
    if (pictureWidth * logoHeight <= pictureHeight * logoWidth) {
        // As tall as the logo, or taller in shape: the height decides.
        place.height = static_cast<int>(logoHeight);
        place.width = scaled(pictureWidth, logoHeight, pictureHeight, logoWidth);
    } else {
        place.width = static_cast<int>(logoWidth);
        place.height = scaled(pictureHeight, logoWidth, pictureWidth, logoHeight);
    }
    place.x = (static_cast<int>(logoWidth) - place.width) / 2;
    place.y = (static_cast<int>(logoHeight) - place.height) / 2;
    return place;
}

RgbImage ResamplePicture(const RgbImage& picture, int width, int height)
{
    if (picture.width == width && picture.height == height) return picture;
    const auto columns = TentTaps(picture.width, width);
    const auto rows = TentTaps(picture.height, height);
    // Across first, into a picture of the new width and the old height.
    std::vector<double> across(static_cast<size_t>(width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (const Tap& tap : columns[static_cast<size_t>(x)]) {
                const uint8_t* from = &picture.rgb[(static_cast<size_t>(y) * picture.width + tap.source) * 3];
                double* to = &across[(static_cast<size_t>(y) * width + x) * 3];
                for (size_t c = 0; c < 3; ++c) to[c] += from[c] * tap.weight;
            }
        }
    }
    RgbImage resampled;
    resampled.width = width;
    resampled.height = height;
    resampled.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (size_t i = 0; i < static_cast<size_t>(width) * 3; ++i) {
            double value = 0;
            for (const Tap& tap : rows[static_cast<size_t>(y)]) {
                value += across[static_cast<size_t>(tap.source) * width * 3 + i] * tap.weight;
            }
            // Rounded by hand, as lround brings instructions a Pentium MMX lacks.
            resampled.rgb[static_cast<size_t>(y) * width * 3 + i] =
                static_cast<uint8_t>(std::clamp(value, 0.0, 255.0) + 0.5);
        }
    }
    return resampled;
}

PlacedPicture PlaceInLogo(const RgbImage& picture, const StockLogoFormat& format)
{
    PlacedPicture placed;
    placed.format = format;
    placed.place = FitIntoLogo(picture.width, picture.height, format);
    placed.scaled = ResamplePicture(picture, placed.place.width, placed.place.height);
    return placed;
}

StockPicture ReduceForLogo(const PlacedPicture& placed, const StockLook& look)
{
    const StockLogoFormat& format = placed.format;
    const LogoPlacement& place = placed.place;
    StockPicture logo;
    logo.format = format;
    const size_t paletteSize = StockPaletteSize(format.variant);
    logo.pixels.assign(static_cast<size_t>(format.width) * format.height, 0);

    std::vector<uint8_t> pixels;
    uint8_t first = 0;
    if (look.colours == StockColours::Standard) {
        // Black, the background, is the first standard colour.
        logo.palette.assign(kStandardVgaPalette.begin(), kStandardVgaPalette.end());
        pixels = MapToPalette(placed.scaled, logo.palette, look.dithering);
    } else {
        // Where the picture leaves a border, the background keeps an entry
        // of its own (index 0), so the border stays one clean colour.
        const bool border = place.width != format.width || place.height != format.height;
        if (border) {
            logo.palette.push_back({static_cast<uint8_t>(kStockBackground[0] >> 2),
                                    static_cast<uint8_t>(kStockBackground[1] >> 2),
                                    static_cast<uint8_t>(kStockBackground[2] >> 2)});
        }
        ReducedPicture reduced = ReduceColours(placed.scaled, paletteSize - logo.palette.size(), look.dithering);
        first = static_cast<uint8_t>(logo.palette.size());
        logo.palette.insert(logo.palette.end(), reduced.palette.begin(), reduced.palette.end());
        pixels = std::move(reduced.pixels);
    }
    logo.palette.resize(paletteSize, {0, 0, 0});
    for (int y = 0; y < place.height; ++y) {
        for (int x = 0; x < place.width; ++x) {
            logo.pixels[static_cast<size_t>(place.y + y) * format.width + place.x + x] =
                static_cast<uint8_t>(first + pixels[static_cast<size_t>(y) * place.width + x]);
        }
    }
    return logo;
}

StockPicture MakeStockPicture(const RgbImage& picture, const StockLogoFormat& format, const StockLook& look)
{
    return ReduceForLogo(PlaceInLogo(picture, format), look);
}

IndexedImage StockPictureAsIndexed(const StockPicture& picture)
{
    IndexedImage image;
    image.width = picture.format.width;
    image.height = picture.format.height;
    for (const auto& entry : picture.palette) {
        image.palette.push_back({ScreenComponent(entry[0]), ScreenComponent(entry[1]), ScreenComponent(entry[2])});
    }
    image.pixels = picture.pixels;
    image.colorsUsedField = image.palette.size() < 256 ? static_cast<uint32_t>(image.palette.size()) : 0;
    image.pixelsPerMetreX = image.pixelsPerMetreY = kPixelsPerMetre;
    return image;
}

Bytes StockPictureAsBitmap(const StockPicture& picture) { return EncodeLogoFormBitmap(StockPictureAsIndexed(picture)); }

}  // namespace varlin
