#include "logo/SmallLogo.h"

#include <algorithm>

namespace varlin {

namespace {

constexpr size_t kSizeBytes = 2;
constexpr uint8_t kColourMask = 0x0F;

}  // namespace

uint64_t ClassicSmallLogoLength(uint8_t columns, uint8_t rows)
{
    const uint64_t cells = uint64_t{columns} * rows;
    return kSizeBytes + cells * (1 + kSmallLogoCellHeight) + kSmallLogoIconLength;
}

bool DecodeClassicSmallLogo(std::span<const uint8_t> data, ClassicSmallLogo& logo)
{
    if (data.size() < kSizeBytes || data[0] == 0 || data[1] == 0) return false;
    if (data.size() != ClassicSmallLogoLength(data[0], data[1])) return false;
    logo.columns = data[0];
    logo.rows = data[1];
    const size_t cells = logo.Cells();
    const uint8_t* attributes = &data[kSizeBytes];
    const uint8_t* glyphs = attributes + cells;
    logo.attributes.assign(attributes, glyphs);
    logo.glyphs.resize(cells);
    for (size_t cell = 0; cell < cells; ++cell) {
        std::copy_n(glyphs + cell * kSmallLogoCellHeight, kSmallLogoCellHeight, logo.glyphs[cell].begin());
    }
    std::copy_n(glyphs + cells * kSmallLogoCellHeight, kSmallLogoIconLength, logo.icon.begin());
    return true;
}

Bytes EncodeClassicSmallLogo(const ClassicSmallLogo& logo)
{
    Bytes out = {logo.columns, logo.rows};
    out.reserve(ClassicSmallLogoLength(logo.columns, logo.rows));
    out.insert(out.end(), logo.attributes.begin(), logo.attributes.end());
    for (const SmallLogoGlyph& glyph : logo.glyphs) out.insert(out.end(), glyph.begin(), glyph.end());
    out.insert(out.end(), logo.icon.begin(), logo.icon.end());
    return out;
}

std::vector<uint8_t> ClassicSmallLogoPixels(const ClassicSmallLogo& logo)
{
    const size_t width = static_cast<size_t>(logo.Width());
    std::vector<uint8_t> pixels(width * static_cast<size_t>(logo.Height()), 0);
    for (size_t cell = 0; cell < logo.Cells(); ++cell) {
        const size_t left = cell % logo.columns * kSmallLogoCellWidth;
        const size_t top = cell / logo.columns * kSmallLogoCellHeight;
        const uint8_t colour = logo.attributes[cell] & kColourMask;
        for (size_t row = 0; row < kSmallLogoCellHeight; ++row) {
            for (size_t bit = 0; bit < kSmallLogoCellWidth; ++bit) {
                if ((logo.glyphs[cell][row] >> (7 - bit)) & 1) pixels[(top + row) * width + left + bit] = colour;
            }
        }
    }
    return pixels;
}

}  // namespace varlin
