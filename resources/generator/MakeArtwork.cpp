// Draws the Windows program's icons and bitmaps and writes them where the
// resource script takes them from:
//
//   varlin-artwork ART-DIR OVERLAY-DIR
//
// Everything is drawn here from rectangles, gradients and the project's own
// block font; the results are committed under resources/art/.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "logo/BitmapFile.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Files.h"
#include "resources/generator/BlockFont.h"
#include "resources/generator/PostOverlays.h"

namespace varlin::artwork {

namespace {

struct Colour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;
};

constexpr Colour kNavy = {18, 36, 96};
constexpr Colour kBlue = {44, 112, 196};
constexpr Colour kTeal = {28, 140, 150};
constexpr Colour kAmber = {250, 186, 40};
constexpr Colour kWhite = {255, 255, 255};
constexpr Colour kShadow = {8, 16, 48};
constexpr Colour kChipBody = {44, 46, 56};
constexpr Colour kPin = {190, 194, 204};
constexpr Colour kDialogFace = {240, 240, 240};
constexpr Colour kWarningYellow = {255, 204, 0};
constexpr Colour kBlack = {0, 0, 0};
constexpr Colour kClear = {0, 0, 0, 0};

// The gradients have few steps, so that a bitmap keeps to 256 colours.
constexpr int kGradientSteps = 48;

Colour Mix(Colour from, Colour to, double t)
{
    const int step = static_cast<int>(t * (kGradientSteps - 1) + 0.5);
    const double s = step / double(kGradientSteps - 1);
    const auto channel = [s](uint8_t a, uint8_t b) { return static_cast<uint8_t>(a + (b - a) * s + 0.5); };
    return {channel(from.red, to.red), channel(from.green, to.green), channel(from.blue, to.blue), 255};
}

class Canvas {
public:
    Canvas(int width, int height, Colour background)
        : width(width), height(height), pixels(static_cast<size_t>(width) * height, background)
    {
    }

    void Plot(int x, int y, Colour colour)
    {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = colour;
    }

    void Fill(int left, int top, int w, int h, Colour colour)
    {
        for (int y = top; y < top + h; ++y) {
            for (int x = left; x < left + w; ++x) Plot(x, y, colour);
        }
    }

    void HorizontalGradient(Colour from, Colour to)
    {
        for (int x = 0; x < width; ++x) Fill(x, 0, 1, height, Mix(from, to, x / double(width - 1)));
    }

    void VerticalGradient(Colour from, Colour to)
    {
        for (int y = 0; y < height; ++y) Fill(0, y, width, 1, Mix(from, to, y / double(height - 1)));
    }

    // Text with a one-pixel shadow below right, centred on `centreX`.
    void Text(std::string_view text, int centreX, int top, int scale, Colour colour, bool shadow = true)
    {
        const int left = centreX - TextWidth(text, scale, 6) / 2;
        if (shadow) DrawText(text, left + 1, top + 1, scale, scale, 6, [&](int x, int y) { Plot(x, y, kShadow); });
        DrawText(text, left, top, scale, scale, 6, [&](int x, int y) { Plot(x, y, colour); });
    }

    // A flash chip seen from above: the body, pins on both long sides and
    // a notch.
    void Chip(int left, int top, int w, int h, Colour body)
    {
        const int pins = h / 6;
        for (int i = 0; i < pins; ++i) {
            const int y = top + 3 + i * (h - 4) / pins;
            Fill(left - 3, y, 3, 2, kPin);
            Fill(left + w, y, 3, 2, kPin);
        }
        Fill(left, top, w, h, body);
        Fill(left + w / 2 - 2, top, 4, 2, kPin);
    }

    IndexedImage Indexed() const
    {
        IndexedImage image;
        image.width = width;
        image.height = height;
        std::map<uint32_t, uint8_t> indices;
        for (const Colour& c : pixels) {
            const uint32_t key = static_cast<uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
            auto found = indices.find(key);
            if (found == indices.end()) {
                if (image.palette.size() == 256) {
                    std::fprintf(stderr, "more than 256 colours\n");
                    image.pixels.push_back(0);
                    continue;
                }
                found = indices.emplace(key, static_cast<uint8_t>(image.palette.size())).first;
                image.palette.push_back({c.red, c.green, c.blue});
            }
            image.pixels.push_back(found->second);
        }
        // Bitmap resources carry no offset to their pixels: readers find
        // them after exactly this many palette entries.
        image.colorsUsedField = static_cast<uint32_t>(image.palette.size());
        return image;
    }

    int width;
    int height;
    std::vector<Colour> pixels;
};

bool WriteBitmap(const std::string& path, const Canvas& canvas)
{
    return WriteWholeFile(path, EncodeLogoFormBitmap(canvas.Indexed()));
}

// An icon file of 32-bit images, each with its transparency mask.
bool WriteIcon(const std::string& path, const std::vector<Canvas>& images)
{
    Bytes file(6 + 16 * images.size(), 0);
    WriteLe16(&file[2], 1);
    WriteLe16(&file[4], static_cast<uint16_t>(images.size()));
    for (size_t n = 0; n < images.size(); ++n) {
        const Canvas& image = images[n];
        const size_t maskStride = (static_cast<size_t>(image.width) + 31) / 32 * 4;
        Bytes entry(40, 0);
        WriteLe32(&entry[0], 40);
        WriteLe32(&entry[4], static_cast<uint32_t>(image.width));
        WriteLe32(&entry[8], static_cast<uint32_t>(image.height * 2));
        WriteLe16(&entry[12], 1);
        WriteLe16(&entry[14], 32);
        Bytes mask(maskStride * image.height, 0);
        for (int y = image.height - 1; y >= 0; --y) {
            for (int x = 0; x < image.width; ++x) {
                const Colour& c = image.pixels[static_cast<size_t>(y) * image.width + x];
                entry.insert(entry.end(), {c.blue, c.green, c.red, c.alpha});
                if (c.alpha == 0) mask[(image.height - 1 - y) * maskStride + x / 8] |= 0x80 >> (x % 8);
            }
        }
        entry.insert(entry.end(), mask.begin(), mask.end());
        uint8_t* record = &file[6 + 16 * n];
        record[0] = static_cast<uint8_t>(image.width);
        record[1] = static_cast<uint8_t>(image.height);
        WriteLe16(record + 4, 1);
        WriteLe16(record + 6, 32);
        WriteLe32(record + 8, static_cast<uint32_t>(entry.size()));
        WriteLe32(record + 12, static_cast<uint32_t>(file.size()));
        file.insert(file.end(), entry.begin(), entry.end());
    }
    return WriteWholeFile(path, file);
}

// A page title: the name in white on a band from navy to blue, with an
// amber rule below.
Canvas Title(int width, int height, std::string_view name, int scale)
{
    Canvas canvas(width, height, kNavy);
    canvas.HorizontalGradient(kNavy, kBlue);
    canvas.Fill(0, height - 2, width, 2, kAmber);
    canvas.Text(name, width / 2, (height - 2 - 7 * scale) / 2, scale, kWhite);
    return canvas;
}

// The tall banner at the left of every page: the program's name down a
// band from navy to teal, under a chip.  The picture and accept pages
// stretch it into a place that runs past their bottom edge, so that only
// its top 85 per cent shows there: the name ends above that.
Canvas SideBanner()
{
    Canvas canvas(66, 190, kNavy);
    canvas.VerticalGradient(kNavy, kTeal);
    canvas.Chip(21, 12, 24, 30, kChipBody);
    canvas.Fill(25, 22, 16, 10, kAmber);
    constexpr std::string_view kName = "VARLIN";
    for (size_t i = 0; i < kName.size(); ++i) {
        canvas.Text(kName.substr(i, 1), 33, 52 + static_cast<int>(i) * 18, 2, kWhite);
    }
    canvas.Fill(0, 184, 66, 6, kAmber);
    return canvas;
}

// The Advanced Mode dialog's picture: a BIOS chip with its label.
Canvas AdvancedModePicture()
{
    Canvas canvas(80, 86, kDialogFace);
    canvas.Chip(14, 10, 52, 66, kChipBody);
    canvas.Fill(16, 30, 48, 22, kAmber);
    canvas.Text("BIOS", 40, 34, 2, kNavy, false);
    return canvas;
}

// The program icon: a blue tile with a white V over an amber bar.
Canvas ProgramIcon(int size)
{
    Canvas canvas(size, size, kClear);
    const int corner = size / 8;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int dx = std::max({corner - x, x - (size - 1 - corner), 0});
            const int dy = std::max({corner - y, y - (size - 1 - corner), 0});
            if (dx * dx + dy * dy <= corner * corner) canvas.Plot(x, y, Mix(kBlue, kNavy, y / double(size - 1)));
        }
    }
    const int scale = size / 10;
    canvas.Text("V", size / 2, size / 2 - 7 * scale / 2 - scale / 2, scale, kWhite);
    canvas.Fill(size / 4, size - size / 5, size / 2, std::max(1, size / 16), kAmber);
    return canvas;
}

// The warning icon: a yellow triangle with a black rim and mark.
Canvas WarningIcon(int size)
{
    Canvas canvas(size, size, kClear);
    const double top = 1;
    const double bottom = size - 2;
    const double centre = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y) {
        if (y < top || y > bottom) continue;
        const double half = (y - top) / (bottom - top) * (size - 2) / 2.0;
        for (int x = 0; x < size; ++x) {
            const double distance = std::fabs(x - centre);
            if (distance > half + 0.5) continue;
            const bool rim = distance > half - 1.5 || y > bottom - 1.5;
            canvas.Plot(x, y, rim ? kBlack : kWarningYellow);
        }
    }
    const int stroke = std::max(2, size / 10);
    const int left = static_cast<int>(centre + 0.5) - stroke / 2;
    canvas.Fill(left, size * 3 / 8, stroke, size * 5 / 16, kBlack);
    canvas.Fill(left, size * 3 / 4, stroke, stroke, kBlack);
    return canvas;
}

}  // namespace

}  // namespace varlin::artwork

int main(int argc, char** argv)
{
    using namespace varlin::artwork;
    if (argc != 3) {
        std::fprintf(stderr, "usage: varlin-artwork ART-DIR OVERLAY-DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = true;
    ok &= WriteBitmap(dir + "side-banner.bmp", SideBanner());
    ok &= WriteBitmap(dir + "start-title.bmp", Title(192, 34, "WELCOME", 3));
    ok &= WriteBitmap(dir + "picture-title.bmp", Title(128, 26, "PICTURE", 2));
    ok &= WriteBitmap(dir + "accept-title.bmp", Title(158, 24, "ACCEPT", 2));
    ok &= WriteBitmap(dir + "warning-title.bmp", Title(135, 34, "WARNING", 3));
    ok &= WriteBitmap(dir + "advanced-title.bmp", Title(100, 24, "ADVANCED", 2));
    ok &= WriteBitmap(dir + "advanced-mode.bmp", AdvancedModePicture());
    ok &= WriteIcon(dir + "program.ico", {ProgramIcon(32), ProgramIcon(16)});
    ok &= WriteIcon(dir + "warning.ico", {WarningIcon(32), WarningIcon(16)});
    ok &= WritePostOverlays(argv[2]);
    if (!ok) std::fprintf(stderr, "varlin-artwork: cannot write into %s or %s\n", argv[1], argv[2]);
    return ok ? 0 : 1;
}
