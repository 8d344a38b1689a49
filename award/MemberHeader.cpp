#include "award/MemberHeader.h"

#include <algorithm>

#include "lha/LhaHeaderLayout.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

using namespace lhaheader;

HeaderVerdict ReadMemberHeader(std::span<const uint8_t> bytes, MemberHeader& header)
{
    if (bytes.size() < 2) return HeaderVerdict::CutShort;
    header = MemberHeader{};
    header.headerSize = bytes[kSizeAt];
    header.checksum = bytes[kChecksumAt];
    if (bytes.size() < kSummedFrom + std::max<size_t>(header.headerSize, kLevelAt + 1 - kSummedFrom)) {
        return HeaderVerdict::CutShort;
    }

    uint8_t sum = 0;
    for (size_t i = 0; i < header.headerSize; ++i) sum = static_cast<uint8_t>(sum + bytes[kSummedFrom + i]);
    if (sum != header.checksum) return HeaderVerdict::ChecksumMiss;
    if (header.headerSize == 0) return HeaderVerdict::ZeroSize;

    header.method.assign(reinterpret_cast<const char*>(&bytes[kMethodAt]), kMethodLength);
    header.packedSize = ReadLe32(&bytes[kPackedSizeAt]);
    header.originalSize = ReadLe32(&bytes[kOriginalSizeAt]);
    header.loadOffset = ReadLe16(&bytes[kLoadOffsetAt]);
    header.loadSegment = ReadLe16(&bytes[kLoadSegmentAt]);
    header.attribute = bytes[kAttributeAt];
    header.level = bytes[kLevelAt];
    if (header.attribute != kAttributeArchive || header.level != kLevel) return HeaderVerdict::BadAttributes;

    // Name and CRC, where the header is long enough to hold them.
    const size_t end = kSummedFrom + size_t{header.headerSize};
    if (kNameAt <= end) {
        const size_t afterName = kNameAt + bytes[kNameLengthAt];
        if (afterName + kCrcAfterName + 2 <= end) {
            header.name.assign(reinterpret_cast<const char*>(&bytes[kNameAt]), afterName - kNameAt);
            header.crc = ReadLe16(&bytes[afterName + kCrcAfterName]);
        }
        // Only a header that ends with it holds the size of the first extended header.
        const size_t extendedSizeAt = afterName + kExtendedSizeAfterName;
        if (extendedSizeAt + 2 == end) header.extendedHeaderSize = ReadLe16(&bytes[extendedSizeAt]);
    }
    return HeaderVerdict::Member;
}

}  // namespace varlin
