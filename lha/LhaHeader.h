// The member header of the archive (LhaHeaderLayout.h), built whole in one
// buffer.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "lha/LhaHeaderLayout.h"

namespace varlin {

// The header's size byte counts the name too.
inline constexpr size_t kMaxMemberNameLength = 255 - lhaheader::kFixedBytes;

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
    void MarkStored() { buffer[lhaheader::kMethodAt + 3] = '0'; }

    void Fill(uint32_t packedSize, uint32_t originalSize, LoadAddress loadAddress);

    // Writes the size byte, the checksum byte and the header bytes with
    // fileCrc in its slot.  False when the header bytes were not all written.
    bool Write(std::FILE* archive, uint16_t fileCrc);

    // Header bytes after the size and checksum bytes.
    uint8_t Size() const { return buffer[lhaheader::kSizeAt]; }

private:
    size_t AfterName() const { return lhaheader::kNameAt + nameLength; }

    std::array<uint8_t, lhaheader::kLargestHeader> buffer{};
    size_t nameLength = 0;
};

}  // namespace varlin
