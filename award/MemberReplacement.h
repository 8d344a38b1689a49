// Replacing one member of an image's run with a new archive, or adding one
// at the run's end: the members after it shift by the difference in size,
// their bytes unchanged and their order kept, and the boot block's
// checksums that held in the source hold again.
#pragma once

#include <cstdint>
#include <span>

#include "award/AwardImage.h"
#include "platform/support/Files.h"

namespace varlin {

// Where the new archive goes: in place of a member of the run, or after
// the run's last member.
struct RunSlot {
    uint64_t offset = 0;
    uint64_t oldLength = 0;  // the replaced member's length; 0 when one is added
    int64_t member = -1;     // the index of the replaced member, -1 when one is added
};

enum class SlotVerdict {
    Ok,
    NoRun,        // the image has no run that ends in free space
    NotInRun,     // the member lies outside the run (or is the system BIOS)
    FixedFollows  // a member after it in the run may not move
};

// The slot of member `index` of `layout`, or of a new member when index is -1.
SlotVerdict FindRunSlot(const AwardImage& layout, int64_t index, RunSlot& slot);

// How many members of the run stand after the slot: those a replacement
// there moves.
size_t MembersMovedBy(const AwardImage& layout, const RunSlot& slot);

// The largest archive the slot takes with one 0xFF byte left after the run.
uint64_t LargestArchive(const AwardImage& layout, const RunSlot& slot);

// The source with `archive` in the slot: false (and `rebuilt` empty) when
// it is larger than LargestArchive.  The checksums that held in the source
// are set again.
bool ReplaceMember(std::span<const uint8_t> source, const AwardImage& layout, const RunSlot& slot,
                   std::span<const uint8_t> archive, Bytes& rebuilt);

}  // namespace varlin
