// The LHA level-1 member headers (lha/LhaHeaderLayout.h) that an Award BIOS
// image chains together, as the logo slot search and the image inspection
// read them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "lha/LhaHeaderLayout.h"

namespace varlin {

// Bytes a header can occupy: size and checksum bytes, then up to 255 more.
constexpr size_t kMemberHeaderReadSize = lhaheader::kLargestHeader;

constexpr uint16_t kLogoLoadSegment = 0x4000;
constexpr uint16_t kSmallLogoLoadSegment = 0x4002;  // the small logo of the POST screen
constexpr uint16_t kSystemBiosLoadSegment = 0x5000;

struct MemberHeader {
    uint8_t headerSize = 0;  // H: header bytes after the first two
    uint8_t checksum = 0;
    std::string method;  // "-lh5-", "-lh0-", ...
    uint32_t packedSize = 0;
    uint32_t originalSize = 0;
    uint16_t loadOffset = 0;  // the time-stamp field holds a load address
    uint16_t loadSegment = 0;
    uint8_t attribute = 0;
    uint8_t level = 0;
    std::string name;  // empty when the header is too short to hold it
    uint16_t crc = 0;
    uint16_t extendedHeaderSize = 0;  // the first extended header's size; 0 for none

    bool IsLogo() const { return loadOffset == 0 && loadSegment == kLogoLoadSegment; }
    bool IsSystemBios() const { return loadOffset == 0 && loadSegment == kSystemBiosLoadSegment; }
    // Length of the member as an archive: H + P + 3.
    uint64_t ArchiveLength() const { return uint64_t{headerSize} + packedSize + 3; }
    // Distance to the next member of the chain; the system BIOS member
    // carries one byte more.
    uint64_t ChainLength() const { return ArchiveLength() + (IsSystemBios() ? 1 : 0); }
    // Offset of the packed data (extended headers included) from the member's start.
    uint64_t DataOffset() const { return uint64_t{headerSize} + 2; }
};

enum class HeaderVerdict {
    Member,         // a level-1 header with attribute 0x20
    ChecksumMiss,   // no member starts here
    ZeroSize,       // checksum right, header size 0
    BadAttributes,  // checksum right, attribute not 0x20 or level not 1
    CutShort,       // the bytes end before the header does
};

// Reads the header at the start of `bytes` (which holds up to
// kMemberHeaderReadSize bytes from the member's first byte on).  Only bytes
// inside `bytes` are looked at.
HeaderVerdict ReadMemberHeader(std::span<const uint8_t> bytes, MemberHeader& header);

}  // namespace varlin
