#include "logo/SmallLogoConversion.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "logo/StockConversion.h"

namespace varlin {

namespace {

using ScreenRgb = std::array<int, 3>;

constexpr int kCellPixels = kSmallLogoCellWidth * kSmallLogoCellHeight;
constexpr ScreenRgb kBlack = {0, 0, 0};

// One cell of the picture as placed in the logo, row by row.
using CellPixels = std::array<ScreenRgb, kCellPixels>;

ScreenRgb StandardColour(size_t index)
{
    const std::array<uint8_t, 3>& entry = kStandardVgaPalette[index];
    return {ScreenComponent(entry[0]), ScreenComponent(entry[1]), ScreenComponent(entry[2])};
}

int Distance(const ScreenRgb& a, const ScreenRgb& b)
{
    int distance = 0;
    for (size_t c = 0; c < 3; ++c) distance += (a[c] - b[c]) * (a[c] - b[c]);
    return distance;
}

// How far a pixel lies from what a cell of `colour` can show there: any
// mix of the colour and black, which the diffusion makes of neighbouring
// pixels (first), and either of the two alone (second, which tells apart
// the greys, all mixes of white and black).
struct CellError {
    int64_t mixed = 0;
    int64_t plain = 0;

    bool operator<(const CellError& other) const
    {
        return mixed != other.mixed ? mixed < other.mixed : plain < other.plain;
    }
};

CellError PixelError(const ScreenRgb& pixel, const ScreenRgb& colour)
{
    // The nearest point of the line from black to the colour, in 1/length².
    const int64_t length = Distance(colour, kBlack);
    const int64_t along = std::clamp<int64_t>(
        int64_t{pixel[0]} * colour[0] + int64_t{pixel[1]} * colour[1] + int64_t{pixel[2]} * colour[2], 0, length);
    int64_t mixed = 0;
    for (size_t c = 0; c < 3; ++c) {
        const int64_t off = int64_t{pixel[c]} * length - along * colour[c];
        mixed += off * off / length;
    }
    return {mixed / length, std::min(Distance(pixel, colour), Distance(pixel, kBlack))};
}

// The colour among 1..15 that best represents the cell's pixels (the first
// of equals).
uint8_t BestColour(const CellPixels& cell)
{
    size_t best = 1;
    CellError bestError{INT64_MAX, INT64_MAX};
    for (size_t index = 1; index < kStandardVgaPalette.size(); ++index) {
        const ScreenRgb colour = StandardColour(index);
        CellError error;
        for (const ScreenRgb& pixel : cell) {
            const CellError one = PixelError(pixel, colour);
            error.mixed += one.mixed;
            error.plain += one.plain;
        }
        if (error < bestError) {
            bestError = error;
            best = index;
        }
    }
    return static_cast<uint8_t>(best);
}

// The cell's pixels lit in `colour` or left black, each pixel's error
// passed on to its neighbours inside the cell: 7/16 ahead, 3/16, 5/16 and
// 1/16 on the next row.
SmallLogoGlyph LightCell(const CellPixels& cell, const ScreenRgb& colour)
{
    SmallLogoGlyph glyph{};
    std::array<ScreenRgb, kCellPixels> errors{};  // in sixteenths
    auto passOn = [&errors](int x, int y, const ScreenRgb& error, int weight) {
        if (x < 0 || x >= kSmallLogoCellWidth || y >= kSmallLogoCellHeight) return;
        ScreenRgb& to = errors[static_cast<size_t>(y) * kSmallLogoCellWidth + static_cast<size_t>(x)];
        for (size_t c = 0; c < 3; ++c) to[c] += error[c] * weight;
    };
    for (int y = 0; y < kSmallLogoCellHeight; ++y) {
        for (int x = 0; x < kSmallLogoCellWidth; ++x) {
            const size_t at = static_cast<size_t>(y) * kSmallLogoCellWidth + static_cast<size_t>(x);
            ScreenRgb wanted;
            for (size_t c = 0; c < 3; ++c) wanted[c] = std::clamp(cell[at][c] + errors[at][c] / 16, 0, 255);
            const bool lit = Distance(wanted, colour) < Distance(wanted, kBlack);
            if (lit) glyph[static_cast<size_t>(y)] = static_cast<uint8_t>(glyph[static_cast<size_t>(y)] | 0x80 >> x);
            const ScreenRgb& shown = lit ? colour : kBlack;
            const ScreenRgb error = {wanted[0] - shown[0], wanted[1] - shown[1], wanted[2] - shown[2]};
            passOn(x + 1, y, error, 7);
            passOn(x - 1, y + 1, error, 3);
            passOn(x, y + 1, error, 5);
            passOn(x + 1, y + 1, error, 1);
        }
    }
    return glyph;
}

// The picture scaled into the logo's pixels and centred on black.
RgbImage PlaceOnBlack(const RgbImage& picture, int width, int height)
{
    const StockLogoFormat area{StockVariant::FourBit, static_cast<uint16_t>(width), static_cast<uint16_t>(height),
                               false};
    const PlacedPicture placed = PlaceInLogo(picture, area);
    RgbImage canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    const LogoPlacement& place = placed.place;
    for (int y = 0; y < place.height; ++y) {
        const auto row = placed.scaled.rgb.begin() + static_cast<std::ptrdiff_t>(y) * place.width * 3;
        std::copy(row, row + place.width * 3,
                  canvas.rgb.begin() + (static_cast<std::ptrdiff_t>(place.y + y) * width + place.x) * 3);
    }
    return canvas;
}

CellPixels CellOf(const RgbImage& canvas, size_t cell, size_t columns)
{
    CellPixels pixels;
    const size_t left = cell % columns * kSmallLogoCellWidth;
    const size_t top = cell / columns * kSmallLogoCellHeight;
    for (size_t y = 0; y < kSmallLogoCellHeight; ++y) {
        for (size_t x = 0; x < kSmallLogoCellWidth; ++x) {
            const uint8_t* rgb = &canvas.rgb[((top + y) * static_cast<size_t>(canvas.width) + left + x) * 3];
            pixels[y * kSmallLogoCellWidth + x] = {rgb[0], rgb[1], rgb[2]};
        }
    }
    return pixels;
}

}  // namespace

ClassicSmallLogo ConvertToClassicSmallLogo(const RgbImage& picture, const ClassicSmallLogo& old)
{
    ClassicSmallLogo logo = old;
    const RgbImage canvas = PlaceOnBlack(picture, old.Width(), old.Height());
    for (size_t cell = 0; cell < logo.Cells(); ++cell) {
        const CellPixels pixels = CellOf(canvas, cell, logo.columns);
        const uint8_t colour = BestColour(pixels);
        const SmallLogoGlyph glyph = LightCell(pixels, StandardColour(colour));
        const bool anyLit = std::any_of(glyph.begin(), glyph.end(), [](uint8_t row) { return row != 0; });
        logo.glyphs[cell] = glyph;
        if (anyLit) logo.attributes[cell] = colour;  // on black
    }
    return logo;
}

NewSmallLogo MakeSmallLogo(const RgbImage& picture, const SmallLogoMember& old, Dithering dithering)
{
    NewSmallLogo made;
    if (old.form == SmallLogoForm::Classic) {
        const ClassicSmallLogo logo = ConvertToClassicSmallLogo(picture, old.classic);
        made.data = EncodeClassicSmallLogo(logo);
        made.shown = ClassicSmallLogoPicture(logo);
        return made;
    }
    made.stock = true;
    const StockColours colours = old.stock.paletteBlock ? StockColours::Chosen : StockColours::Standard;
    made.shown = MakeStockPicture(picture, old.stock, {colours, dithering});
    made.data = EncodeStockLogo(made.shown);
    return made;
}

}  // namespace varlin
