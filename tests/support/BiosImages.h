// Award-style BIOS images assembled by hand for tests: chains of LHA level-1
// member headers with filler data, free space of 0xFF, and the size code and
// BIOS ID near the end.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Files.h"

namespace varlin::test {

struct MemberSpec {
    std::string name = "module.bin";
    uint32_t packedSize = 16;
    uint16_t loadOffset = 0;
    uint16_t loadSegment = 0;
    uint8_t attribute = 0x20;
    uint8_t level = 1;
    uint8_t fill = 0x5A;  // the data bytes
};

// One member: header size, checksum, header, packed data and the closing
// zero byte (H + P + 3 bytes); a system BIOS member (5000:0) gets the one
// byte more the chain expects after it.
Bytes MakeMember(const MemberSpec& spec);

// Appends `count` bytes of `value`.
void AppendFill(Bytes& image, size_t count, uint8_t value);

// The logo member of a BIOS image file, found as the build finds its
// slot; empty when the image has no logo.
Bytes LogoMemberOf(const std::string& imagePath);

// The payload a 640*480 bitmap logo, centred and without the POST
// messages, carries: the header word 0, then the file without "BM".
Bytes CentredBitmapPayload(const Bytes& bitmapFile);

}  // namespace varlin::test
