#include "lha/LhaHeader.h"

#include <cstring>

#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

constexpr char kCompressedMethod[] = "-lh5-";
constexpr size_t kMethodLength = 5;
constexpr uint8_t kAttributeArchive = 0x20;
constexpr uint8_t kHeaderLevel = 0x01;
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
    headerSize = static_cast<uint8_t>(nameLength + kHeaderFixedBytes);
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
    buffer[kLevelAt] = kHeaderLevel;
    buffer[CrcAt() + 2] = kOperatingSystemId;
    WriteLe16(buffer.data() + CrcAt() + 3, 0);  // no extended header follows
}

bool LhaMemberHeader::Write(std::FILE* archive, uint16_t fileCrc)
{
    std::fputc(headerSize, archive);
    WriteLe16(buffer.data() + CrcAt(), fileCrc);
    unsigned checksum = 0;
    for (size_t i = 0; i < headerSize; ++i) checksum += buffer[i];
    std::fputc(static_cast<int>(checksum & 0xFF), archive);
    return std::fwrite(buffer.data(), 1, headerSize, archive) == headerSize;
}

}  // namespace varlin
