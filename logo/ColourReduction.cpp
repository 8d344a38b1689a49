#include "logo/ColourReduction.h"

#include <algorithm>
#include <cmath>

#include "logo/StockLogo.h"

namespace varlin {

namespace {

using Colour = std::array<uint8_t, 3>;

struct ColourCount {
    Colour colour;
    uint32_t count;
};

// A box of median cut: a run of the distinct colours, with the channel in
// which they spread the most.
struct Box {
    size_t first = 0;
    size_t last = 0;  // one past
    uint64_t count = 0;
    int axis = 0;
    int range = 0;

    uint64_t Priority() const { return count * static_cast<uint64_t>(range); }
};

// The picture's distinct colours with how often each occurs.
std::vector<ColourCount> CountColours(const RgbImage& picture)
{
    std::vector<uint32_t> keys(picture.rgb.size() / 3);
    for (size_t i = 0; i < keys.size(); ++i) {
        const uint8_t* p = &picture.rgb[i * 3];
        keys[i] = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    }
    std::sort(keys.begin(), keys.end());
    std::vector<ColourCount> colours;
    for (size_t i = 0; i < keys.size();) {
        size_t run = i + 1;
        while (run < keys.size() && keys[run] == keys[i]) ++run;
        const uint32_t key = keys[i];
        colours.push_back({{static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)},
                           static_cast<uint32_t>(run - i)});
        i = run;
    }
    return colours;
}

Box Measure(const std::vector<ColourCount>& colours, size_t first, size_t last)
{
    Box box{first, last};
    Colour low{255, 255, 255};
    Colour high{0, 0, 0};
    for (size_t i = first; i < last; ++i) {
        box.count += colours[i].count;
        for (size_t c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], colours[i].colour[c]);
            high[c] = std::max(high[c], colours[i].colour[c]);
        }
    }
    for (int c = 0; c < 3; ++c) {
        const int range = high[static_cast<size_t>(c)] - low[static_cast<size_t>(c)];
        if (range > box.range) {
            box.range = range;
            box.axis = c;
        }
    }
    return box;
}

// Splits the box at the median of its pixels along its widest channel; each
// half keeps at least one colour.
std::pair<Box, Box> Split(std::vector<ColourCount>& colours, const Box& box)
{
    const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.first);
    const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.last);
    const size_t axis = static_cast<size_t>(box.axis);
    std::sort(first, last,
              [axis](const ColourCount& a, const ColourCount& b) { return a.colour[axis] < b.colour[axis]; });
    size_t middle = box.first + 1;
    uint64_t below = colours[box.first].count;
    while (middle + 1 < box.last && below * 2 < box.count) below += colours[middle++].count;
    return {Measure(colours, box.first, middle), Measure(colours, middle, box.last)};
}

// Rounded by hand: the C library's lround brings instructions a Pentium
// MMX lacks into the 32-bit program.
uint8_t SixBit(double component) { return static_cast<uint8_t>(component * 63.0 / 255.0 + 0.5); }

// The count-weighted mean colour of each box.
std::vector<Colour> MedianCutPalette(std::vector<ColourCount>& colours, size_t size)
{
    std::vector<Box> boxes = {Measure(colours, 0, colours.size())};
    while (boxes.size() < size) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(),
                                             [](const Box& a, const Box& b) { return a.Priority() < b.Priority(); });
        if (widest->Priority() == 0) break;  // every box holds one colour
        const auto [low, high] = Split(colours, *widest);
        *widest = low;
        boxes.push_back(high);
    }
    std::vector<Colour> palette;
    for (const Box& box : boxes) {
        std::array<double, 3> sum{};
        for (size_t i = box.first; i < box.last; ++i) {
            for (size_t c = 0; c < 3; ++c) sum[c] += static_cast<double>(colours[i].colour[c]) * colours[i].count;
        }
        palette.push_back({SixBit(sum[0] / box.count), SixBit(sum[1] / box.count), SixBit(sum[2] / box.count)});
    }
    return palette;
}

// The palette entry nearest to a colour (the first of equals, as a plain
// search would find it), searched outwards from the colour's green in the
// palette sorted by green: an entry whose green alone is farther than the
// best so far ends the search in that direction.  Exact, and a few
// entries a pixel instead of all 256.
class NearestColour {
public:
    explicit NearestColour(const std::vector<std::array<int, 3>>& screen) : screen(screen)
    {
        for (size_t i = 0; i < screen.size(); ++i) byGreen.push_back(i);
        std::stable_sort(byGreen.begin(), byGreen.end(),
                         [&screen](size_t a, size_t b) { return screen[a][1] < screen[b][1]; });
    }

    size_t Find(const std::array<int, 3>& colour) const
    {
        const auto start = std::lower_bound(byGreen.begin(), byGreen.end(), colour[1],
                                            [this](size_t index, int green) { return screen[index][1] < green; });
        size_t best = 0;
        int bestDistance = 1 << 30;
        auto consider = [&](size_t index) {
            int distance = 0;
            for (size_t c = 0; c < 3; ++c) distance += (colour[c] - screen[index][c]) * (colour[c] - screen[index][c]);
            if (distance < bestDistance || (distance == bestDistance && index < best)) {
                bestDistance = distance;
                best = index;
            }
        };
        auto farther = [&](size_t index) {
            const int green = colour[1] - screen[index][1];
            return green * green > bestDistance;
        };
        for (auto up = start; up != byGreen.end() && !farther(*up); ++up) consider(*up);
        for (auto down = start; down != byGreen.begin() && !farther(*(down - 1)); --down) consider(*(down - 1));
        return best;
    }

private:
    const std::vector<std::array<int, 3>>& screen;
    std::vector<size_t> byGreen;
};

std::vector<std::array<int, 3>> ScreenColours(const std::vector<Colour>& palette)
{
    std::vector<std::array<int, 3>> screen;
    screen.reserve(palette.size());
    for (const Colour& entry : palette) {
        screen.push_back({ScreenComponent(entry[0]), ScreenComponent(entry[1]), ScreenComponent(entry[2])});
    }
    return screen;
}

// Floyd-Steinberg, serpentine: each pixel takes the palette colour nearest
// to it plus the error its neighbours passed on, and passes on its own
// error 7/16 ahead, 3/16, 5/16 and 1/16 on the next row.
std::vector<uint8_t> DiffuseErrors(const RgbImage& picture, const std::vector<Colour>& palette)
{
    const std::vector<std::array<int, 3>> screen = ScreenColours(palette);
    const int width = picture.width;
    const NearestColour nearest(screen);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * picture.height);
    // Errors in sixteenths, with a spare column at each side.
    std::vector<std::array<int, 3>> current(static_cast<size_t>(width) + 2);
    std::vector<std::array<int, 3>> next(current.size());
    for (int y = 0; y < picture.height; ++y) {
        const int step = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < width; ++i) {
            const int x = step > 0 ? i : width - 1 - i;
            const size_t at = static_cast<size_t>(y) * width + x;
            // Columns of the error rows, which have a spare column at each side.
            const int hereColumn = x + 1;
            const int aheadColumn = hereColumn + step;
            const int behindColumn = hereColumn - step;
            const auto here = static_cast<size_t>(hereColumn);
            const auto ahead = static_cast<size_t>(aheadColumn);
            const auto behind = static_cast<size_t>(behindColumn);
            std::array<int, 3> wanted;
            for (size_t c = 0; c < 3; ++c) {
                wanted[c] = std::clamp(picture.rgb[at * 3 + c] + current[here][c] / 16, 0, 255);
            }
            const size_t index = nearest.Find(wanted);
            pixels[at] = static_cast<uint8_t>(index);
            for (size_t c = 0; c < 3; ++c) {
                const int error = wanted[c] - screen[index][c];
                current[ahead][c] += error * 7;
                next[behind][c] += error * 3;
                next[here][c] += error * 5;
                next[ahead][c] += error;
            }
        }
        current.swap(next);
        std::fill(next.begin(), next.end(), std::array<int, 3>{});
    }
    return pixels;
}

// The 8x8 Bayer matrix: thresholds 0..63 spread evenly over every 2x2,
// 4x4 and 8x8 square.
constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},    {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

// How far the ordered dither moves a colour: about half the step between
// neighbouring palette colours.  The 16 standard colours step by 84 (0, 84,
// 168, 252 in each component); a cube of 256 colours by about 51.
int OrderedSpread(size_t paletteSize) { return paletteSize <= 16 ? 42 : 26; }

// Ordered: each pixel takes the colour nearest to it moved by its place's
// threshold, so flat areas become a fixed pattern that packs well.
// Without dithering the threshold is 0.
std::vector<uint8_t> MapByThreshold(const RgbImage& picture, const std::vector<Colour>& palette, bool ordered)
{
    const std::vector<std::array<int, 3>> screen = ScreenColours(palette);
    const NearestColour nearest(screen);
    const int spread = ordered ? OrderedSpread(palette.size()) : 0;
    std::vector<uint8_t> pixels(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const size_t at = static_cast<size_t>(y) * picture.width + x;
            const int offset = spread * (2 * kBayer8[y % 8][x % 8] + 1 - 64) / 64;
            std::array<int, 3> wanted;
            for (size_t c = 0; c < 3; ++c) wanted[c] = std::clamp(picture.rgb[at * 3 + c] + offset, 0, 255);
            pixels[at] = static_cast<uint8_t>(nearest.Find(wanted));
        }
    }
    return pixels;
}

struct DitheringWord {
    Dithering dithering;
    const char* name;
};
constexpr DitheringWord kDitheringNames[] = {
    {Dithering::FloydSteinberg, "Floyd-Steinberg"},
    {Dithering::Ordered, "ordered 8x8"},
    {Dithering::None, "none"},
};

}  // namespace

const char* DitheringName(Dithering dithering)
{
    for (const auto& entry : kDitheringNames) {
        if (entry.dithering == dithering) return entry.name;
    }
    return "";
}

std::vector<uint8_t> MapToPalette(const RgbImage& picture, const std::vector<Colour>& palette, Dithering dithering)
{
    if (picture.Empty() || palette.empty()) return std::vector<uint8_t>(picture.rgb.size() / 3, 0);
    if (dithering == Dithering::FloydSteinberg) return DiffuseErrors(picture, palette);
    return MapByThreshold(picture, palette, dithering == Dithering::Ordered);
}

ReducedPicture ReduceColours(const RgbImage& picture, size_t colours, Dithering dithering)
{
    ReducedPicture reduced;
    if (picture.Empty()) return reduced;
    std::vector<ColourCount> counted = CountColours(picture);
    reduced.palette = MedianCutPalette(counted, std::clamp<size_t>(colours, 1, 256));
    reduced.pixels = MapToPalette(picture, reduced.palette, dithering);
    return reduced;
}

}  // namespace varlin
