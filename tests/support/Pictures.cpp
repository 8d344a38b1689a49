#include "tests/support/Pictures.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <random>
#include <stdexcept>

#include "logo/StockConversion.h"
#include "platform/support/ByteOrder.h"
#include "hosts/native/NativePictureLoader.h"

namespace varlin::test {

namespace {

void Append16(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(Bytes& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Row-wise RLE8: runs of equal pixels as encoded runs, other stretches of
// three or more as absolute runs, an end of line after each row.
Bytes EncodeRle8(const IndexedPicture& picture)
{
    Bytes stream;
    for (int y = picture.height - 1; y >= 0; --y) {  // bottom row first
        const uint8_t* row = &picture.pixels[static_cast<size_t>(y) * picture.width];
        int x = 0;
        while (x < picture.width) {
            int run = 1;
            while (x + run < picture.width && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 2) {
                stream.push_back(static_cast<uint8_t>(run));
                stream.push_back(row[x]);
                x += run;
                continue;
            }
            int literal = 1;
            while (x + literal < picture.width && literal < 255 &&
                   (x + literal + 1 >= picture.width || row[x + literal] != row[x + literal + 1])) {
                ++literal;
            }
            if (literal < 3) {
                stream.push_back(1);
                stream.push_back(row[x]);
                x += 1;
                continue;
            }
            stream.push_back(0);
            stream.push_back(static_cast<uint8_t>(literal));
            stream.insert(stream.end(), row + x, row + x + literal);
            if (literal & 1) stream.push_back(0);
            x += literal;
        }
        stream.push_back(0);
        stream.push_back(0);
    }
    stream.push_back(0);
    stream.push_back(1);
    return stream;
}

}  // namespace

IndexedPicture MakeIndexedPicture(int width, int height, int colours, unsigned seed)
{
    IndexedPicture picture;
    picture.width = width;
    picture.height = height;
    std::mt19937 random(seed);
    for (int i = 0; i < colours; ++i) {
        picture.palette.push_back(
            {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
    }
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Bands of equal pixels with some noise: both kinds of RLE run.
            const unsigned value = (x / 5 + y / 3 + (random() % 4 == 0 ? random() : 0)) % colours;
            picture.pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(value);
        }
    }
    return picture;
}

Bytes MakeBmp(const IndexedPicture& picture, const BmpOptions& options)
{
    const uint32_t headerSize = static_cast<uint32_t>(options.header);
    const bool core = options.header == BmpHeader::Core12;
    const bool indexed = options.bitsPerPixel <= 8;
    const uint32_t colours = indexed ? static_cast<uint32_t>(picture.palette.size()) : 0;
    const uint32_t entrySize = core ? 3 : 4;
    const uint32_t paletteBytes = colours * entrySize;
    const uint32_t pixelOffset = 14 + headerSize + paletteBytes;
    const uint32_t stride = (static_cast<uint32_t>(picture.width) * options.bitsPerPixel + 31) / 32 * 4;

    Bytes pixels;
    if (options.rle8) {
        pixels = EncodeRle8(picture);
    } else {
        pixels.assign(static_cast<size_t>(stride) * picture.height, 0);
        if (options.bitsPerPixel == 8) {
            for (int row = 0; row < picture.height; ++row) {
                const int y = options.topDown ? row : picture.height - 1 - row;
                for (int x = 0; x < picture.width; ++x) {
                    pixels[static_cast<size_t>(row) * stride + x] =
                        picture.pixels[static_cast<size_t>(y) * picture.width + x];
                }
            }
        }
    }

    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Append32(out, pixelOffset + static_cast<uint32_t>(pixels.size()));
    Append32(out, 0);
    Append32(out, pixelOffset);
    Append32(out, headerSize);
    if (core) {
        Append16(out, static_cast<uint32_t>(picture.width));
        Append16(out, static_cast<uint32_t>(picture.height));
        Append16(out, 1);
        Append16(out, static_cast<uint32_t>(options.bitsPerPixel));
    } else {
        Append32(out, static_cast<uint32_t>(picture.width));
        Append32(out, static_cast<uint32_t>(options.topDown ? -picture.height : picture.height));
        Append16(out, 1);
        Append16(out, static_cast<uint32_t>(options.bitsPerPixel));
        Append32(out, options.rle8 ? 1 : 0);
        Append32(out, options.rle8 ? static_cast<uint32_t>(pixels.size()) : 0);
        Append32(out, 2835);
        Append32(out, 2835);
        Append32(out, options.writeColorsUsed ? colours : 0);
        Append32(out, 0);
        while (out.size() < 14 + headerSize) out.push_back(0);  // masks, colour space: unused here
    }
    for (const auto& entry : picture.palette) {
        if (!indexed) break;
        out.push_back(entry[2]);
        out.push_back(entry[1]);
        out.push_back(entry[0]);
        if (!core) out.push_back(0);
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

namespace {

Bytes EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height, int quality)
{
    Bytes jpeg;
    auto sink = [](void* context, void* data, int size) {
        auto* bytes = static_cast<Bytes*>(context);
        const auto* begin = static_cast<const uint8_t*>(data);
        bytes->insert(bytes->end(), begin, begin + size);
    };
    if (stbi_write_jpg_to_func(sink, &jpeg, width, height, 3, rgb.data(), quality) == 0) {
        throw std::runtime_error("stb could not write a JPEG");
    }
    return jpeg;
}

}  // namespace

Bytes MakeJpeg(int width, int height, int quality)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            p[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = static_cast<uint8_t>((x ^ y) & 0xFF);
        }
    }
    return EncodeJpeg(rgb, width, height, quality);
}

Bytes MakeSolidJpeg(int width, int height, std::array<uint8_t, 3> colour)
{
    std::vector<uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int i = 0; i < width * height; ++i) rgb.insert(rgb.end(), colour.begin(), colour.end());
    return EncodeJpeg(rgb, width, height, 95);
}

Bytes InsertSegmentAfterApp0(const Bytes& jpeg, uint8_t code, const Bytes& body)
{
    // SOI (2 bytes), then APP0 with its length at offset 4.
    const size_t app0End = 4 + ReadBe16(&jpeg[4]);
    Bytes segment = {0xFF, code, static_cast<uint8_t>((body.size() + 2) >> 8), static_cast<uint8_t>(body.size() + 2)};
    segment.insert(segment.end(), body.begin(), body.end());
    Bytes out(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(app0End));
    out.insert(out.end(), segment.begin(), segment.end());
    out.insert(out.end(), jpeg.begin() + static_cast<ptrdiff_t>(app0End), jpeg.end());
    return out;
}

std::vector<uint8_t> DecodeRgb(const Bytes& file, int& width, int& height)
{
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels, 3);
    if (pixels == nullptr) return {};
    std::vector<uint8_t> rgb(pixels, pixels + static_cast<size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return rgb;
}

RgbImage RgbOf(const IndexedPicture& picture)
{
    RgbImage rgb{picture.width, picture.height, {}};
    for (uint8_t index : picture.pixels) {
        rgb.rgb.insert(rgb.rgb.end(), picture.palette[index].begin(), picture.palette[index].end());
    }
    return rgb;
}

uint8_t CellColour(int column, int row) { return static_cast<uint8_t>(1 + (column + 4 * row) % 15); }

bool CellPixelLit(int column, int row, int x, int y) { return (x * (1 + row % 3) + y + column) % 4 != 0; }

IndexedPicture MakeCellPicture(int columns, int rows)
{
    IndexedPicture picture;
    picture.width = columns * 8;
    picture.height = rows * 14;
    for (const auto& entry : kStandardVgaPalette) {
        picture.palette.push_back({ScreenComponent(entry[0]), ScreenComponent(entry[1]), ScreenComponent(entry[2])});
    }
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int column = x / 8;
            const int row = y / 14;
            picture.pixels[static_cast<size_t>(y) * picture.width + x] =
                CellPixelLit(column, row, x % 8, y % 14) ? CellColour(column, row) : 0;
        }
    }
    return picture;
}

Bytes StockLogoOf(const Bytes& pictureFile, const StockLogoFormat& format, const StockLook& look)
{
    NativePictureLoader loader;
    RgbImage picture;
    if (!loader.LoadPicture(pictureFile.data(), pictureFile.size(), picture)) return {};
    return EncodeStockLogo(MakeStockPicture(picture, format, look));
}

}  // namespace varlin::test
