// A small 5 x 7 block font, drawn by the project, for the artwork and the
// sample pictures: capitals, digits and the punctuation a POST screen needs.
// Lower-case letters are drawn as capitals.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace varlin::artwork {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// The glyph's rows, top first; bit 4 is the leftmost column.  Characters
// the font lacks come out blank.
std::array<uint8_t, kGlyphHeight> GlyphRows(char character);

// Calls `plot(x, y)` for every set pixel of `text` drawn at (left, top),
// each font pixel `scaleX` by `scaleY` screen pixels, characters
// `advance` font pixels apart.
void DrawText(std::string_view text, int left, int top, int scaleX, int scaleY, int advance,
              const std::function<void(int x, int y)>& plot);

// Width in screen pixels of `text` drawn that way.
inline int TextWidth(std::string_view text, int scaleX, int advance)
{
    return text.empty() ? 0 : (static_cast<int>(text.size()) - 1) * advance * scaleX + kGlyphWidth * scaleX;
}

}  // namespace varlin::artwork
