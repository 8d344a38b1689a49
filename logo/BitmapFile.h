// Reading 8-bit bitmap files in every variant the Windows bitmap loader
// takes, and bringing them to the one form the BIOS logo uses.
//
// The BIOS, and the palette step before it, read a logo bitmap as a "BM" file
// with a 40-byte info header, uncompressed pixel rows stored bottom-up and a
// palette of 4-byte entries.  Editors also write OS/2 core headers (3-byte
// palette entries), the longer V2 to V5 info headers, RLE8 compression and
// top-down rows; such files are accepted and normalised.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/support/Files.h"

namespace varlin {

enum class BitmapVerdict {
    Loadable,     // an 8-bit bitmap whose headers, palette and pixels lie in the file
    NotEightBit,  // a bitmap header that gives another bit depth (its size is measured)
    Invalid,      // not a bitmap, cut short, bad RLE stream, or parts outside the file
};

struct BitmapLayout {
    int32_t width = 0;     // pixels
    int32_t height = 0;    // rows, always positive
    bool topDown = false;  // rows stored top row first
    uint16_t bitsPerPixel = 0;
    uint32_t infoHeaderSize = 0;    // 12 for a core header
    uint32_t compression = 0;       // 0 none, 1 RLE8
    uint32_t paletteOffset = 0;     // file offset of the first palette entry
    uint32_t paletteEntrySize = 0;  // 3 (core) or 4 bytes
    uint32_t paletteCount = 0;      // entries to read
    uint32_t colorsUsedField = 0;   // the header's own count, 0 meaning "all"
    int32_t pixelsPerMetreX = 0;
    int32_t pixelsPerMetreY = 0;
    uint32_t pixelOffset = 0;    // file offset of the pixel data
    uint64_t pixelDataSize = 0;  // bytes of pixel data (RLE: stream length)
};

constexpr uint32_t kBitmapCompressionNone = 0;
constexpr uint32_t kBitmapCompressionRle8 = 1;

// Row length of an uncompressed 8-bit bitmap: whole 4-byte words.
constexpr uint64_t BitmapStride(uint64_t width) { return (width * 8 + 31) / 32 * 4; }

// Judges a bitmap file.  `file` holds the file's bytes (or, for a file too
// large to read whole, its beginning); `fileSize` is the real length.
BitmapVerdict InspectBitmap(std::span<const uint8_t> file, uint64_t fileSize, BitmapLayout& layout);

// True when the file already has the form the logo uses, so it can go into
// the payload byte for byte.
bool IsLogoFormBitmap(const BitmapLayout& layout);

// A palette picture in memory.
struct IndexedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<std::array<uint8_t, 3>> palette;  // red, green, blue
    std::vector<uint8_t> pixels;                  // one index per pixel, top row first
    uint32_t colorsUsedField = 0;                 // written as is; 0 means a full table
    int32_t pixelsPerMetreX = 0;
    int32_t pixelsPerMetreY = 0;
};

// Reads the pixels and palette of a file InspectBitmap found Loadable and
// that is held whole in `file`.
bool DecodeBitmap(std::span<const uint8_t> file, const BitmapLayout& layout, IndexedImage& image);

// The picture as a logo-form bitmap file.
Bytes EncodeLogoFormBitmap(const IndexedImage& image);

// The picture as a 4-bit bitmap file (indices below 16, at most 16 palette
// entries), the rows as the logo form has them.
Bytes EncodeFourBitBitmap(const IndexedImage& image);

// Writes the picture in the logo form: "BM" file header, 40-byte info header,
// 4-byte palette entries, uncompressed rows bottom-up.  Only for files that
// InspectBitmap found Loadable and that are held whole in `file`.
bool NormaliseBitmap(std::span<const uint8_t> file, const BitmapLayout& layout, Bytes& out);

}  // namespace varlin
