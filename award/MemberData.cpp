#include "award/MemberData.h"

#include "lha/Crc16.h"
#include "lha/LhaDecoder.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

// The packed data follows any extended headers, each of which ends in the
// size of the next; their bytes count in the packed size.
bool SkipExtendedHeaders(std::span<const uint8_t>& data, uint16_t firstSize)
{
    for (uint16_t size = firstSize; size != 0;) {
        if (size < 3 || size > data.size()) return false;
        const uint16_t next = ReadLe16(&data[size - 2]);
        data = data.subspan(size);
        size = next;
    }
    return true;
}

}  // namespace

uint16_t LhaCrc16(std::span<const uint8_t> bytes)
{
    Crc16 crc;
    crc.BuildTable();
    return crc.Update(0, bytes.data(), bytes.size());
}

MemberData DecodeMemberData(std::span<const uint8_t> image, const ChainMember& member)
{
    MemberData result;
    const MemberHeader& header = member.header;
    const uint64_t start = member.offset + header.DataOffset();
    if (start > image.size() || header.packedSize > image.size() - start) {
        result.problem = "the packed data runs past the end of the image";
        return result;
    }
    std::span<const uint8_t> data = image.subspan(start, header.packedSize);
    if (!SkipExtendedHeaders(data, header.extendedHeaderSize)) {
        result.problem = "an extended header runs past the packed data";
        return result;
    }
    const LhaDecodeResult decoded =
        DecodeLhaData(header.method, data, header.originalSize, result.bytes, kMaxMemberContents);
    if (!decoded) {
        result.problem = decoded.error;
        return result;
    }
    result.decoded = true;
    result.computedCrc = LhaCrc16(result.bytes);
    return result;
}

}  // namespace varlin
