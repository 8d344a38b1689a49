// The two looks into a JPEG file that the logo needs: whether it carries a
// JFIF mark and a baseline frame (picture acceptance), and the reduced
// stream the BIOS decodes (only the segments its decoder understands).
#pragma once

#include <cstdint>
#include <span>

#include "platform/support/Files.h"

namespace varlin {

// Searches the first 16 bytes of a file for "JFIF".  An attempt that fails
// resumes at the byte after the one that differed, never at it; a file shorter
// than 16 bytes carries no mark.
bool HasJfifMark(std::span<const uint8_t> fileStart);

// Scans the bytes from file offset 16 on for the first 0xFF 0xC0 pair and
// reads the frame's size from it.  False when no such frame is found before
// the end, or when its fields would lie past the end.
bool FindBaselineFrameSize(std::span<const uint8_t> afterMark, int32_t& width, int32_t& height);

enum class JpegReduction { Reduced, NoStartOfScan, SegmentPastEnd, BadSegmentLength };

// Keeps SOI, the baseline frame header, Huffman and quantisation tables,
// restart markers and interval, APP0, and the scan with everything after it
// (runs of fill bytes shrink to one 0xFF); drops every other segment.
// A kept segment whose length field is below 2 (the field counts itself)
// would be kept without it, so the stream is refused.  `reduced` always
// starts with FF D8.
JpegReduction ReduceJpegStream(std::span<const uint8_t> input, Bytes& reduced);

}  // namespace varlin
