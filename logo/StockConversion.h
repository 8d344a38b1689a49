// A user's picture turned into a stock logo: scaled to fit the logo's size
// with its aspect ratio kept, centred on the background, and reduced to the
// variant's palette.
#pragma once

#include <array>
#include <cstdint>

#include "logo/BitmapFile.h"
#include "logo/ColourReduction.h"
#include "logo/StockLogo.h"
#include "platform/support/Files.h"
#include "platform/PictureLoaderPort.h"

namespace varlin {

// Around a picture of another shape than the logo: black, the colour of
// the board's screen before and after the logo, so the picture looks as it
// would on a screen of its own shape.
inline constexpr std::array<uint8_t, 3> kStockBackground = {0, 0, 0};

// Where the picture stands in the logo.
struct LogoPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest size of the picture's shape that fits the logo, centred
// (odd spare pixels go right and down).
LogoPlacement FitIntoLogo(int pictureWidth, int pictureHeight, const StockLogoFormat& format);

// Which palette a stock logo gets: one chosen for the picture by median
// cut, or the 16 standard VGA colours, which a BIOS that ignores the
// logo's palette shows whatever it holds.
enum class StockColours { Chosen, Standard };

struct StockLook {
    StockColours colours = StockColours::Chosen;
    Dithering dithering = Dithering::FloydSteinberg;
};

// The picture scaled to fit the logo: made once, reduced in as many looks
// as the build tries.
struct PlacedPicture {
    StockLogoFormat format;
    LogoPlacement place;
    RgbImage scaled;
};

// The picture resampled to width x height with a tent filter as wide as a
// source pixel or a destination pixel, whichever is the larger; at its own
// size it comes back unchanged.
RgbImage ResamplePicture(const RgbImage& picture, int width, int height);

PlacedPicture PlaceInLogo(const RgbImage& picture, const StockLogoFormat& format);

// The stock logo showing the placed picture.
StockPicture ReduceForLogo(const PlacedPicture& placed, const StockLook& look);

// The stock logo of `format` showing the picture.
StockPicture MakeStockPicture(const RgbImage& picture, const StockLogoFormat& format, const StockLook& look = {});

// The picture as an indexed image of screen colours, at 72 dpi, as the
// bitmap writers take it.
IndexedImage StockPictureAsIndexed(const StockPicture& picture);

// The picture as an 8-bit bitmap file any viewer opens.
Bytes StockPictureAsBitmap(const StockPicture& picture);

}  // namespace varlin
