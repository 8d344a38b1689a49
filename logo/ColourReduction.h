// Colour reduction for palette logos: median cut chooses the palette from
// the picture's own colours (or the palette is given), and dithering maps
// the pixels to it.  Floyd-Steinberg looks best; an ordered (8x8 Bayer)
// dither repeats itself and packs far smaller; no dithering packs smallest.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/PictureLoaderPort.h"

namespace varlin {

struct ReducedPicture {
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue of 0..63; at most the colours asked for
    std::vector<uint8_t> pixels;                  // one index a pixel, top row first
};

enum class Dithering { FloydSteinberg, Ordered, None };

// "Floyd-Steinberg", "ordered 8x8", "none".
const char* DitheringName(Dithering dithering);

// Reduces `picture` to at most `colours` (2..256) palette entries with
// 6-bit components.  A picture of no more colours than that keeps them
// exactly, but for the 6-bit rounding.
ReducedPicture ReduceColours(const RgbImage& picture, size_t colours, Dithering dithering = Dithering::FloydSteinberg);

// Maps `picture` to a palette of 6-bit components that is given.
std::vector<uint8_t> MapToPalette(const RgbImage& picture, const std::vector<std::array<uint8_t, 3>>& palette,
                                  Dithering dithering);

}  // namespace varlin
