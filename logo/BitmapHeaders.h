// The layout of a bitmap file's headers, as the bitmap reader and writer
// and the palette step all see it: the 14-byte file header, then an info
// header (40 bytes, or longer in later versions) or an OS/2 core header
// (12 bytes) with fields of its own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varlin::bmp {

// File header, from the file's first byte.
inline constexpr size_t kSignatureAt = 0;     // "BM"
inline constexpr size_t kFileSizeAt = 2;      // 32 bits
inline constexpr size_t kPixelOffsetAt = 10;  // 32 bits: where the pixel data starts
inline constexpr uint32_t kFileHeaderSize = 14;

// Info header, from its first byte.
inline constexpr size_t kHeaderSizeAt = 0;  // 32 bits, in every header version
inline constexpr size_t kWidthAt = 4;       // 32 bits, signed
inline constexpr size_t kHeightAt = 8;      // 32 bits, signed: negative for top-down rows
inline constexpr size_t kPlanesAt = 12;
inline constexpr size_t kBitCountAt = 14;
inline constexpr size_t kCompressionAt = 16;
inline constexpr size_t kImageSizeAt = 20;  // bytes of pixel data; 0 allowed uncompressed
inline constexpr size_t kPixelsPerMetreXAt = 24;
inline constexpr size_t kPixelsPerMetreYAt = 28;
inline constexpr size_t kColoursUsedAt = 32;  // palette entries; 0 for a full table
inline constexpr uint32_t kInfoHeaderSize = 40;

// OS/2 core header, from its first byte: 16-bit fields.
inline constexpr size_t kCoreWidthAt = 4;
inline constexpr size_t kCoreHeightAt = 6;
inline constexpr size_t kCorePlanesAt = 8;
inline constexpr size_t kCoreBitCountAt = 10;
inline constexpr uint32_t kCoreHeaderSize = 12;

// The same fields of a file with a 40-byte info header, from the file's
// first byte; its palette follows at once.
inline constexpr size_t kFileWidthAt = kFileHeaderSize + kWidthAt;
inline constexpr size_t kFileHeightAt = kFileHeaderSize + kHeightAt;
inline constexpr size_t kFileBitCountAt = kFileHeaderSize + kBitCountAt;
inline constexpr size_t kFileColoursUsedAt = kFileHeaderSize + kColoursUsedAt;
inline constexpr size_t kInfoPaletteAt = kFileHeaderSize + kInfoHeaderSize;

}  // namespace varlin::bmp
