#include "lha/LhaHeader.h"

#include <cstring>

#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

using namespace lhaheader;

constexpr char kCompressedMethod[] = "-lh5-";
constexpr uint8_t kOperatingSystemId = 0x20;

unsigned HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
    return 0;
}

}  // namespace

LoadAddress ParseLoadAddress(std::string_view text)
{
    uint32_t segment = 0;
    uint32_t running = 0;
    for (const char c : text) {
        if (c == ':') {
            segment = running;
            running = 0;
        } else {
            running = running * 16 + HexDigitValue(c);
        }
    }
    return {static_cast<uint16_t>(segment), static_cast<uint16_t>(running)};
}

void LhaMemberHeader::Start(std::string_view memberName)
{
    nameLength = memberName.size();
    buffer[kSizeAt] = static_cast<uint8_t>(nameLength + kFixedBytes);
    std::memcpy(buffer.data() + kMethodAt, kCompressedMethod, kMethodLength);
    buffer[kNameLengthAt] = static_cast<uint8_t>(nameLength);
    std::memcpy(buffer.data() + kNameAt, memberName.data(), nameLength);
}

void LhaMemberHeader::Fill(uint32_t packedSize, uint32_t originalSize, LoadAddress loadAddress)
{
    WriteLe32(buffer.data() + kPackedSizeAt, packedSize);
    WriteLe32(buffer.data() + kOriginalSizeAt, originalSize);
    WriteLe16(buffer.data() + kLoadOffsetAt, loadAddress.offset);
    WriteLe16(buffer.data() + kLoadSegmentAt, loadAddress.segment);
    buffer[kAttributeAt] = kAttributeArchive;
    buffer[kLevelAt] = kLevel;
    buffer[AfterName() + kSystemAfterName] = kOperatingSystemId;
    WriteLe16(buffer.data() + AfterName() + kExtendedSizeAfterName, 0);  // no extended header follows
}

bool LhaMemberHeader::Write(std::FILE* archive, uint16_t fileCrc)
{
    WriteLe16(buffer.data() + AfterName() + kCrcAfterName, fileCrc);
    const size_t headerSize = buffer[kSizeAt];
    unsigned checksum = 0;
    for (size_t i = 0; i < headerSize; ++i) checksum += buffer[kSummedFrom + i];
    buffer[kChecksumAt] = static_cast<uint8_t>(checksum);
    const size_t length = kSummedFrom + headerSize;
    return std::fwrite(buffer.data(), 1, length, archive) == length;
}

}  // namespace varlin
