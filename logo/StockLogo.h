// The full-screen logo format of stock Award BIOSes: a picture these BIOSes
// read from the logo member themselves, instead of our header word and
// bitmap or JPEG.  All fields little-endian:
//
//   "AWBM", width (16 bits), height (16 bits), the pixel rows top row first,
//   "RGB ", then the palette with 6-bit components (0..63).
//
// 4-bit: each row is four bit planes one after the other, each plane
// (width + 7) / 8 bytes, the leftmost pixel in the most significant bit;
// plane p holds bit p of the pixel's colour index.  16 palette entries
// stored blue, green, red.
// 8-bit: one byte a pixel; 256 palette entries stored red, green, blue.
//
// Some 4-bit logos carry no palette block at all (the member ends with the
// pixel rows): their BIOS shows them in the 16 standard VGA colours, as
// some BIOSes do even where the block is there.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/support/Files.h"

namespace varlin {

enum class StockVariant { FourBit, EightBit };

struct StockLogoFormat {
    StockVariant variant = StockVariant::FourBit;
    uint16_t width = 640;
    uint16_t height = 480;
    bool paletteBlock = true;  // "RGB " and the palette follow the rows

    bool operator==(const StockLogoFormat&) const = default;
};

// The stock logos of full-screen boards: 16 colours, 640 x 480.
inline constexpr StockLogoFormat kCommonStockLogo{};

// A stock logo's picture: one colour index a pixel, top row first, and a
// palette of red, green, blue components of 0..63.
struct StockPicture {
    StockLogoFormat format;
    std::vector<std::array<uint8_t, 3>> palette;  // as many entries as the variant has
    std::vector<uint8_t> pixels;                  // width * height indices
};

// The 16 standard VGA colours, with 6-bit components: what a BIOS shows a
// 4-bit logo in when it reads no palette.
inline constexpr std::array<std::array<uint8_t, 3>, 16> kStandardVgaPalette = {{
    {0, 0, 0},
    {0, 0, 42},
    {0, 42, 0},
    {0, 42, 42},
    {42, 0, 0},
    {42, 0, 42},
    {42, 21, 0},
    {42, 42, 42},
    {21, 21, 21},
    {21, 21, 63},
    {21, 63, 21},
    {21, 63, 63},
    {63, 21, 21},
    {63, 21, 63},
    {63, 63, 21},
    {63, 63, 63},
}};

// 16 or 256.
size_t StockPaletteSize(StockVariant variant);

// The length of a logo member's data in the format.
uint64_t StockLogoLength(const StockLogoFormat& format);

// "stock 4-bit 640x480" (", no palette block" where it has none).
std::string StockFormatText(const StockLogoFormat& format);

// True when `data` is a stock logo: the magic, and a length matching its
// width, height and one variant exactly, with "RGB " where that variant's
// palette begins, or (4-bit only) a length that ends with the rows.
bool RecogniseStockLogo(std::span<const uint8_t> data, StockLogoFormat& format);

// Reads a recognised stock logo; false when `data` is none.  A logo
// without a palette block reads with the standard colours.
bool DecodeStockLogo(std::span<const uint8_t> data, StockPicture& picture);

// The member data for `picture`, whose palette and pixels fit its format
// (indices below the palette size, components below 64).
Bytes EncodeStockLogo(const StockPicture& picture);

// An 8-bit component of the screen for a 6-bit one of the palette.
constexpr uint8_t ScreenComponent(uint8_t component6)
{
    return static_cast<uint8_t>((component6 << 2) | (component6 >> 4));
}

}  // namespace varlin
