#include "logo/BitmapFile.h"

#include <algorithm>
#include <array>

#include "logo/BitmapHeaders.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

using namespace bmp;

// Info header lengths the Windows loader takes: core, V1, V2, V3, V4, V5.
constexpr std::array<uint32_t, 6> kKnownHeaderSizes = {12, 40, 52, 56, 108, 124};

constexpr std::array<uint16_t, 6> kKnownBitDepths = {1, 4, 8, 16, 24, 32};

template <typename Table, typename Value>
bool Contains(const Table& table, Value value)
{
    return std::find(table.begin(), table.end(), value) != table.end();
}

// Walks an RLE8 stream.  With `pixels` it also paints the indices into an
// unpadded bottom-up pixel array; without, it only proves that the stream
// stays inside the picture.  Pixels the stream skips stay index 0.
bool WalkRle8(std::span<const uint8_t> stream, uint64_t width, uint64_t height, uint8_t* pixels)
{
    uint64_t x = 0;
    uint64_t y = 0;
    size_t at = 0;
    auto paint = [&](uint8_t index) {
        if (pixels != nullptr) pixels[y * width + x] = index;
        ++x;
    };
    while (at < stream.size()) {
        if (stream.size() - at < 2) return false;
        const uint8_t count = stream[at];
        const uint8_t value = stream[at + 1];
        at += 2;
        if (count > 0) {  // encoded run
            if (y >= height || x + count > width) return false;
            for (int i = 0; i < count; ++i) paint(value);
            continue;
        }
        switch (value) {
        case 0:  // end of line
            if (y >= height) return false;
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            return true;
        case 2:  // delta
            if (stream.size() - at < 2) return false;
            x += stream[at];
            y += stream[at + 1];
            at += 2;
            if (x > width || y > height) return false;
            break;
        default: {  // absolute run, padded to a 16-bit boundary
            const size_t padded = value + (value & 1u);
            if (stream.size() - at < padded) return false;
            if (y >= height || x + value > width) return false;
            for (int i = 0; i < value; ++i) paint(stream[at + i]);
            at += padded;
            break;
        }
        }
    }
    return true;  // a stream that ends without its end marker, on an operation boundary
}

}  // namespace

BitmapVerdict InspectBitmap(std::span<const uint8_t> file, uint64_t fileSize, BitmapLayout& layout)
{
    layout = BitmapLayout{};
    if (file.size() < kFileHeaderSize + 4 || file[kSignatureAt] != 'B' || file[kSignatureAt + 1] != 'M') {
        return BitmapVerdict::Invalid;
    }
    const uint32_t headerSize = ReadLe32(&file[kFileHeaderSize + kHeaderSizeAt]);
    if (!Contains(kKnownHeaderSizes, headerSize) || file.size() < kFileHeaderSize + headerSize) {
        return BitmapVerdict::Invalid;
    }
    const uint8_t* header = &file[kFileHeaderSize];
    layout.infoHeaderSize = headerSize;
    layout.pixelOffset = ReadLe32(&file[kPixelOffsetAt]);

    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    if (headerSize == kCoreHeaderSize) {
        width = ReadLe16(header + kCoreWidthAt);
        height = ReadLe16(header + kCoreHeightAt);
        planes = ReadLe16(header + kCorePlanesAt);
        layout.bitsPerPixel = ReadLe16(header + kCoreBitCountAt);
        layout.compression = kBitmapCompressionNone;
    } else {
        width = static_cast<int32_t>(ReadLe32(header + kWidthAt));
        height = static_cast<int32_t>(ReadLe32(header + kHeightAt));
        planes = ReadLe16(header + kPlanesAt);
        layout.bitsPerPixel = ReadLe16(header + kBitCountAt);
        layout.compression = ReadLe32(header + kCompressionAt);
        layout.pixelsPerMetreX = static_cast<int32_t>(ReadLe32(header + kPixelsPerMetreXAt));
        layout.pixelsPerMetreY = static_cast<int32_t>(ReadLe32(header + kPixelsPerMetreYAt));
        layout.colorsUsedField = ReadLe32(header + kColoursUsedAt);
    }
    if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN ||
        !Contains(kKnownBitDepths, layout.bitsPerPixel)) {
        return BitmapVerdict::Invalid;
    }
    layout.width = static_cast<int32_t>(width);
    layout.topDown = height < 0;
    layout.height = static_cast<int32_t>(height < 0 ? -height : height);
    if (layout.bitsPerPixel != 8) return BitmapVerdict::NotEightBit;

    // Palette.  A core header implies a full table; a file whose pixel data
    // starts earlier simply carries fewer entries.
    layout.paletteOffset = kFileHeaderSize + headerSize;
    if (headerSize == kCoreHeaderSize) {
        layout.paletteEntrySize = 3;
        layout.paletteCount = 256;
        if (layout.pixelOffset >= layout.paletteOffset && layout.pixelOffset < layout.paletteOffset + 256 * 3) {
            layout.paletteCount = (layout.pixelOffset - layout.paletteOffset) / 3;
        }
    } else {
        layout.paletteEntrySize = 4;
        if (layout.colorsUsedField > 256) return BitmapVerdict::Invalid;
        layout.paletteCount = layout.colorsUsedField == 0 ? 256 : layout.colorsUsedField;
    }
    const uint64_t paletteEnd =
        uint64_t{layout.paletteOffset} + uint64_t{layout.paletteCount} * layout.paletteEntrySize;
    if (layout.paletteCount == 0 || paletteEnd > fileSize || paletteEnd > file.size()) {
        return BitmapVerdict::Invalid;
    }

    // Pixel data.
    if (layout.pixelOffset < layout.paletteOffset || layout.pixelOffset >= fileSize) {
        return BitmapVerdict::Invalid;
    }
    const uint64_t available = fileSize - layout.pixelOffset;
    if (layout.compression == kBitmapCompressionNone) {
        // The last row's padding may be missing; its pixels may not.
        const uint64_t needed =
            BitmapStride(width) * static_cast<uint64_t>(layout.height - 1) + static_cast<uint64_t>(width);
        if (needed > available) return BitmapVerdict::Invalid;
        layout.pixelDataSize = needed;
        return BitmapVerdict::Loadable;
    }
    if (layout.compression != kBitmapCompressionRle8 || layout.topDown) return BitmapVerdict::Invalid;

    const uint32_t sizeField = ReadLe32(header + kImageSizeAt);
    const uint64_t streamSize = sizeField != 0 ? sizeField : available;
    if (streamSize > available || layout.pixelOffset + streamSize > file.size()) {
        return BitmapVerdict::Invalid;
    }
    layout.pixelDataSize = streamSize;
    const auto stream = file.subspan(layout.pixelOffset, static_cast<size_t>(streamSize));
    if (!WalkRle8(stream, static_cast<uint64_t>(width), static_cast<uint64_t>(layout.height), nullptr)) {
        return BitmapVerdict::Invalid;
    }
    return BitmapVerdict::Loadable;
}

bool IsLogoFormBitmap(const BitmapLayout& layout)
{
    return layout.infoHeaderSize == kInfoHeaderSize && layout.compression == kBitmapCompressionNone && !layout.topDown;
}

bool DecodeBitmap(std::span<const uint8_t> file, const BitmapLayout& layout, IndexedImage& image)
{
    const uint64_t width = static_cast<uint64_t>(layout.width);
    const uint64_t height = static_cast<uint64_t>(layout.height);
    const uint64_t paletteEnd =
        uint64_t{layout.paletteOffset} + uint64_t{layout.paletteCount} * layout.paletteEntrySize;
    if (layout.bitsPerPixel != 8 || width * height > UINT32_MAX || paletteEnd > file.size() ||
        uint64_t{layout.pixelOffset} + layout.pixelDataSize > file.size()) {
        return false;  // not a loadable 8-bit bitmap, or not read whole
    }
    image.width = layout.width;
    image.height = layout.height;
    image.pixelsPerMetreX = layout.pixelsPerMetreX;
    image.pixelsPerMetreY = layout.pixelsPerMetreY;
    // A core header has no count of its own; a short table keeps its length.
    const bool core = layout.infoHeaderSize == kCoreHeaderSize;
    image.colorsUsedField = core ? (layout.paletteCount == 256 ? 0 : layout.paletteCount) : layout.colorsUsedField;
    image.palette.resize(layout.paletteCount);
    for (uint32_t i = 0; i < layout.paletteCount; ++i) {
        const uint8_t* entry = &file[layout.paletteOffset + i * layout.paletteEntrySize];
        image.palette[i] = {entry[2], entry[1], entry[0]};
    }

    image.pixels.assign(static_cast<size_t>(width * height), 0);
    if (layout.compression == kBitmapCompressionRle8) {
        // The stream paints bottom-up rows; turn them over afterwards.
        Bytes bottomUp(image.pixels.size(), 0);
        const auto stream = file.subspan(layout.pixelOffset, static_cast<size_t>(layout.pixelDataSize));
        if (!WalkRle8(stream, width, height, bottomUp.data())) return false;
        for (uint64_t y = 0; y < height; ++y) {
            std::copy_n(&bottomUp[y * width], width, &image.pixels[(height - 1 - y) * width]);
        }
        return true;
    }
    const uint64_t stride = BitmapStride(width);
    for (uint64_t row = 0; row < height; ++row) {
        // Row `row` of the file is the top row when the rows are stored top-down.
        const uint64_t y = layout.topDown ? row : height - 1 - row;
        std::copy_n(&file[layout.pixelOffset + row * stride], width, &image.pixels[y * width]);
    }
    return true;
}

namespace {

// An uncompressed bitmap of 4 or 8 bits a pixel, rows bottom-up.
Bytes EncodeBitmap(const IndexedImage& image, uint16_t bitsPerPixel)
{
    const uint64_t width = static_cast<uint64_t>(image.width);
    const uint64_t height = static_cast<uint64_t>(image.height);
    const uint64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    const uint64_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + image.palette.size() * 4;
    const uint64_t imageBytes = stride * height;
    const uint64_t total = pixelOffset + imageBytes;

    Bytes out(static_cast<size_t>(total), 0);
    uint8_t* p = out.data();
    p[kSignatureAt] = 'B';
    p[kSignatureAt + 1] = 'M';
    WriteLe32(p + kFileSizeAt, static_cast<uint32_t>(total));
    WriteLe32(p + kPixelOffsetAt, static_cast<uint32_t>(pixelOffset));
    uint8_t* info = p + kFileHeaderSize;
    WriteLe32(info + kHeaderSizeAt, kInfoHeaderSize);
    WriteLe32(info + kWidthAt, static_cast<uint32_t>(image.width));
    WriteLe32(info + kHeightAt, static_cast<uint32_t>(image.height));
    WriteLe16(info + kPlanesAt, 1);
    WriteLe16(info + kBitCountAt, bitsPerPixel);
    WriteLe32(info + kCompressionAt, kBitmapCompressionNone);
    WriteLe32(info + kImageSizeAt, static_cast<uint32_t>(imageBytes));
    WriteLe32(info + kPixelsPerMetreXAt, static_cast<uint32_t>(image.pixelsPerMetreX));
    WriteLe32(info + kPixelsPerMetreYAt, static_cast<uint32_t>(image.pixelsPerMetreY));
    WriteLe32(info + kColoursUsedAt, image.colorsUsedField);
    uint8_t* palette = info + kInfoHeaderSize;
    for (size_t i = 0; i < image.palette.size(); ++i) {
        palette[i * 4 + 0] = image.palette[i][2];
        palette[i * 4 + 1] = image.palette[i][1];
        palette[i * 4 + 2] = image.palette[i][0];
    }
    uint8_t* rows = p + pixelOffset;
    for (uint64_t y = 0; y < height; ++y) {  // bottom row first
        const uint8_t* in = &image.pixels[(height - 1 - y) * width];
        uint8_t* row = rows + y * stride;
        if (bitsPerPixel == 8) {
            std::copy_n(in, width, row);
            continue;
        }
        // Two pixels a byte, the left one in the high nibble.
        for (uint64_t x = 0; x < width; ++x) {
            row[x / 2] = static_cast<uint8_t>(row[x / 2] | (in[x] & 0x0F) << (x % 2 == 0 ? 4 : 0));
        }
    }
    return out;
}

}  // namespace

Bytes EncodeLogoFormBitmap(const IndexedImage& image) { return EncodeBitmap(image, 8); }

Bytes EncodeFourBitBitmap(const IndexedImage& image) { return EncodeBitmap(image, 4); }

bool NormaliseBitmap(std::span<const uint8_t> file, const BitmapLayout& layout, Bytes& out)
{
    IndexedImage image;
    if (!DecodeBitmap(file, layout, image)) return false;
    const uint64_t size = kFileHeaderSize + kInfoHeaderSize + image.palette.size() * 4 +
                          BitmapStride(static_cast<uint64_t>(image.width)) * static_cast<uint64_t>(image.height);
    if (size > UINT32_MAX) return false;
    out = EncodeLogoFormBitmap(image);
    return true;
}

}  // namespace varlin
