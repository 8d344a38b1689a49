// The classic small logo: the picture most Award BIOSes show at the top
// right of their POST screen, drawn in text-mode character cells.
//
//   byte 0       width W in cells of 8 pixels
//   byte 1       height H in cells of 14 pixels
//   W x H bytes  one attribute a cell, left to right, top to bottom: the low
//                nibble is the cell's colour among the 16 standard VGA
//                colours, the high nibble its background (black, 0)
//   W x H * 14   one glyph a cell, in the same order: 14 rows of 8 pixels,
//                the leftmost pixel in the most significant bit; a set bit
//                shows the cell's colour, a clear one black
//   70 bytes     five glyphs of the small icon the BIOS draws at the top
//                left of the screen, kept as the member had them
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/support/Files.h"

namespace varlin {

inline constexpr int kSmallLogoCellWidth = 8;
inline constexpr int kSmallLogoCellHeight = 14;
inline constexpr size_t kSmallLogoIconLength = 70;

using SmallLogoGlyph = std::array<uint8_t, kSmallLogoCellHeight>;

struct ClassicSmallLogo {
    uint8_t columns = 0;
    uint8_t rows = 0;
    std::vector<uint8_t> attributes;     // columns * rows
    std::vector<SmallLogoGlyph> glyphs;  // columns * rows
    std::array<uint8_t, kSmallLogoIconLength> icon{};

    int Width() const { return columns * kSmallLogoCellWidth; }
    int Height() const { return rows * kSmallLogoCellHeight; }
    size_t Cells() const { return size_t{columns} * rows; }
};

// 2 + 15 * columns * rows + 70 bytes (1602 for 17 x 6).
uint64_t ClassicSmallLogoLength(uint8_t columns, uint8_t rows);

// Reads member data of the classic form: at least one cell, and exactly
// the length its cell counts give.  False when `data` is none.
bool DecodeClassicSmallLogo(std::span<const uint8_t> data, ClassicSmallLogo& logo);

// The member data of a logo whose attributes and glyphs fill its cells.
Bytes EncodeClassicSmallLogo(const ClassicSmallLogo& logo);

// The picture the logo shows: one standard colour index a pixel, top row
// first, Width() x Height().
std::vector<uint8_t> ClassicSmallLogoPixels(const ClassicSmallLogo& logo);

}  // namespace varlin
