// Walking the chain of LHA members an Award BIOS image holds from offset 0,
// as the logo slot search and the image inspection both need it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "award/MemberHeader.h"

namespace varlin {

struct ChainMember {
    uint64_t offset = 0;
    MemberHeader header;
};

enum class ChainEnd {
    FreeSpace,      // the next member would start on 0xFF: the free space
    LogoLast,       // the logo member, followed by free space
    LogoNotLast,    // the logo member, followed by anything else (or the end of the image)
    ZeroSize,       // a header with a right checksum and size 0
    BadAttributes,  // a header with a right checksum, wrong attribute or level
    RanOffEnd,      // the image ended before free space or a logo was found
};

struct MemberChain {
    std::vector<ChainMember> members;  // in chain order; the logo, when found, is the last
    ChainEnd end = ChainEnd::RanOffEnd;
    uint64_t endOffset = 0;  // where the free space starts, or the offset of the header that ended the walk
};

// Walks from offset 0.  Where no header's checksum holds, the walk tries 64
// KiB further on (not the next 64 KiB boundary).
MemberChain WalkMemberChain(std::span<const uint8_t> image);

}  // namespace varlin
