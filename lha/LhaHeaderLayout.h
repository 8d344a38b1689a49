// The layout of an LHA level-1 member header without extended headers, as
// the archive writer makes it and the BIOS image reader walks it.  Offsets
// count from the member's first byte.  The time-stamp field holds a
// real-mode load address instead of a date.
//
//   0  header size H: the bytes after this one and the checksum
//   1  checksum: the low byte of the sum of those H bytes
//   2  method, five characters ("-lh5-", "-lh0-")
//   7  packed size (32 bits)         11  original size (32 bits)
//  15  load offset (16 bits)         17  load segment (16 bits)
//  19  attribute                     20  header level
//  21  name length N, then the name; after it the data CRC (16 bits), the
//      operating system byte and the size of the first extended header
//      (16 bits, 0 for none)
#pragma once

#include <cstddef>
#include <cstdint>

namespace varlin::lhaheader {

inline constexpr size_t kSizeAt = 0;
inline constexpr size_t kChecksumAt = 1;
inline constexpr size_t kSummedFrom = 2;  // the checksum covers the H bytes from here
inline constexpr size_t kMethodAt = 2;
inline constexpr size_t kMethodLength = 5;
inline constexpr size_t kPackedSizeAt = 7;
inline constexpr size_t kOriginalSizeAt = 11;
inline constexpr size_t kLoadOffsetAt = 15;
inline constexpr size_t kLoadSegmentAt = 17;
inline constexpr size_t kAttributeAt = 19;
inline constexpr size_t kLevelAt = 20;
inline constexpr size_t kNameLengthAt = 21;
inline constexpr size_t kNameAt = 22;

// After the name, counted from its end.
inline constexpr size_t kCrcAfterName = 0;
inline constexpr size_t kSystemAfterName = 2;
inline constexpr size_t kExtendedSizeAfterName = 3;
inline constexpr size_t kBytesAfterName = 5;

// H is the name's length plus this.
inline constexpr size_t kFixedBytes = kNameAt + kBytesAfterName - kSummedFrom;
static_assert(kFixedBytes == 25);

// The longest header: H fits a byte.
inline constexpr size_t kLargestHeader = kSummedFrom + 255;

inline constexpr uint8_t kAttributeArchive = 0x20;  // the MS-DOS archive bit
inline constexpr uint8_t kLevel = 1;

}  // namespace varlin::lhaheader
