// The member header of the archive: an LHA level-1 header without extended
// headers, whose time-stamp field holds a real-mode load address instead of
// a date.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace varlin {

// The header from its method field on is built in one buffer; its length
// must fit the one-byte size field.
inline constexpr size_t kHeaderBufferSize = 255;
inline constexpr size_t kHeaderFixedBytes = 25;  // header bytes besides the member name
inline constexpr size_t kMaxMemberNameLength = kHeaderBufferSize - kHeaderFixedBytes;

struct LoadAddress {
    uint16_t segment = 0;
    uint16_t offset = 0;
};

// Reads "SEGMENT:OFFSET" in hexadecimal.  Lenient as the BIOS tools are: a
// ':' ends the segment, any character that is no hexadecimal digit counts as
// 0, and only the low 16 bits of each number are kept.
LoadAddress ParseLoadAddress(std::string_view text);

class LhaMemberHeader {
public:
    // Starts the header of a compressed member with this name (at most
    // kMaxMemberNameLength bytes).
    void Start(std::string_view memberName);

    // Marks the member as stored unchanged: -lh5- becomes -lh0-.
    void MarkStored() { buffer[kMethodAt + 3] = '0'; }

    void Fill(uint32_t packedSize, uint32_t originalSize, LoadAddress loadAddress);

    // Writes the size byte, the checksum byte and the header bytes with
    // fileCrc in its slot.  False when the header bytes were not all written.
    bool Write(std::FILE* archive, uint16_t fileCrc);

    // Header bytes after the size and checksum bytes.
    uint8_t Size() const { return headerSize; }

private:
    static constexpr size_t kMethodAt = 0;
    static constexpr size_t kPackedSizeAt = 5;
    static constexpr size_t kOriginalSizeAt = 9;
    static constexpr size_t kLoadOffsetAt = 13;
    static constexpr size_t kLoadSegmentAt = 15;
    static constexpr size_t kAttributeAt = 17;
    static constexpr size_t kLevelAt = 18;
    static constexpr size_t kNameLengthAt = 19;
    static constexpr size_t kNameAt = 20;

    size_t CrcAt() const { return kNameAt + nameLength; }

    std::array<uint8_t, kHeaderBufferSize> buffer{};
    uint8_t headerSize = 0;
    size_t nameLength = 0;
};

}  // namespace varlin
