#include "logo/MemberHeader.h"

#include <algorithm>

#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

// Offsets from the member's first byte.
constexpr size_t kMethod = 2;
constexpr size_t kPackedSize = 7;
constexpr size_t kOriginalSize = 11;
constexpr size_t kLoadOffset = 15;
constexpr size_t kLoadSegment = 17;
constexpr size_t kAttribute = 19;
constexpr size_t kLevel = 20;
constexpr size_t kNameLength = 21;
constexpr size_t kName = 22;

}  // namespace

HeaderVerdict ReadMemberHeader(std::span<const uint8_t> bytes, MemberHeader& header)
{
    if (bytes.size() < 2) return HeaderVerdict::CutShort;
    header = MemberHeader{};
    header.headerSize = bytes[0];
    header.checksum = bytes[1];
    if (bytes.size() < 2 + std::max<size_t>(header.headerSize, kLevel + 1 - 2)) return HeaderVerdict::CutShort;

    uint8_t sum = 0;
    for (size_t i = 0; i < header.headerSize; ++i) sum = static_cast<uint8_t>(sum + bytes[2 + i]);
    if (sum != header.checksum) return HeaderVerdict::ChecksumMiss;
    if (header.headerSize == 0) return HeaderVerdict::ZeroSize;

    header.method.assign(reinterpret_cast<const char*>(&bytes[kMethod]), 5);
    header.packedSize = ReadLe32(&bytes[kPackedSize]);
    header.originalSize = ReadLe32(&bytes[kOriginalSize]);
    header.loadOffset = ReadLe16(&bytes[kLoadOffset]);
    header.loadSegment = ReadLe16(&bytes[kLoadSegment]);
    header.attribute = bytes[kAttribute];
    header.level = bytes[kLevel];
    if (header.attribute != 0x20 || header.level != 1) return HeaderVerdict::BadAttributes;

    // Name and CRC, where the header is long enough to hold them.
    const size_t end = 2 + size_t{header.headerSize};
    if (kName <= end) {
        const size_t nameLength = bytes[kNameLength];
        if (kName + nameLength + 2 <= end) {
            header.name.assign(reinterpret_cast<const char*>(&bytes[kName]), nameLength);
            header.crc = ReadLe16(&bytes[kName + nameLength]);
        }
        // The operating system byte, then the size of the first extended header.
        const size_t extendedSizeAt = kName + nameLength + 3;
        if (extendedSizeAt + 2 == end) header.extendedHeaderSize = ReadLe16(&bytes[extendedSizeAt]);
    }
    return HeaderVerdict::Member;
}

}  // namespace varlin
