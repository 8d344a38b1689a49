// The layout of an Award BIOS image, as a rebuild edits it.
//
// From offset 0 the image holds a run of LHA members, each starting where
// the one before ends, up to the first 0xFF byte: the free space.  The walk
// from offset 0 steps 64 KiB where no member starts, so the run may begin
// further in.  Past the free space, other members may sit at 64 KiB
// boundaries (in 256 KiB images the system BIOS often stands alone at
// 0x20000); the boot block finds them where they are, so they never move.
// Members of the run after the first may move: a member replaced by one of
// another size shifts those after it.  The system BIOS member never moves.
//
// The run may grow into the free space, but must end at least one 0xFF
// byte before the room ends: at the next byte that is not 0xFF, a fixed
// member, the boot block's checksum page and bytes, or its last 8 KiB.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "award/BootBlockChecksums.h"
#include "award/MemberChain.h"

namespace varlin {

struct ImageMember {
    uint64_t offset = 0;
    MemberHeader header;
    bool inRun = false;    // in the run from offset 0, which the rebuild edits
    bool mayMove = false;  // in the run, after its first member, and not the system BIOS

    // From the member's first byte to the next member's (the system BIOS
    // member carries one byte more than its archive).
    uint64_t Length() const { return header.ChainLength(); }
    uint64_t End() const { return offset + Length(); }
};

struct AwardImage {
    uint64_t size = 0;
    // The walk from offset 0 in its order, then the members past the gap.
    std::vector<ImageMember> members;
    // How the walk from offset 0 ended: FreeSpace when it found the run
    // (ZeroSize and BadAttributes for damaged headers, RanOffEnd when the
    // image ended first).
    ChainEnd walkEnd = ChainEnd::RanOffEnd;
    // The run: members [runFirst, runFirst + runCount), from runStart to
    // runEnd, where the free space starts.
    size_t runFirst = 0;
    size_t runCount = 0;
    uint64_t runStart = 0;
    uint64_t runEnd = 0;
    uint64_t roomEnd = 0;  // the first byte the run may not reach
    BootBlockChecksums checksums;

    bool HasRun() const { return walkEnd == ChainEnd::FreeSpace; }
    // Free bytes after the run: the room less the one 0xFF byte that must stay.
    uint64_t FreeAfterRun() const { return HasRun() && roomEnd > runEnd ? roomEnd - runEnd - 1 : 0; }
    // The first member with this load address (segment, offset 0), or -1.
    int64_t FindMember(uint16_t loadSegment) const;
};

// Reads the layout; never reads outside `image`, and the members it lists
// lie wholly inside it, in order, without overlapping.
AwardImage ReadAwardImage(std::span<const uint8_t> image);

// The last 8 KiB of an image hold the boot block's own code.
inline constexpr uint64_t kBootBlockCode = 8 * 1024;

}  // namespace varlin
