#include "award/MemberReplacement.h"

#include <algorithm>

namespace varlin {

SlotVerdict FindRunSlot(const AwardImage& layout, int64_t index, RunSlot& slot)
{
    if (!layout.HasRun()) return SlotVerdict::NoRun;
    const size_t runLast = layout.runFirst + layout.runCount;  // one past
    if (index < 0) {
        slot = {layout.runEnd, 0, -1};
        return SlotVerdict::Ok;
    }
    const size_t at = static_cast<size_t>(index);
    if (at >= layout.members.size()) return SlotVerdict::NotInRun;
    const ImageMember& member = layout.members[at];
    if (!member.inRun || member.header.IsSystemBios()) return SlotVerdict::NotInRun;
    for (size_t after = at + 1; after < runLast; ++after) {
        if (!layout.members[after].mayMove) return SlotVerdict::FixedFollows;
    }
    slot = {member.offset, member.Length(), index};
    return SlotVerdict::Ok;
}

size_t MembersMovedBy(const AwardImage& layout, const RunSlot& slot)
{
    return static_cast<size_t>(
        std::count_if(layout.members.begin(), layout.members.end(),
                      [&slot](const ImageMember& member) { return member.inRun && member.offset > slot.offset; }));
}

uint64_t LargestArchive(const AwardImage& layout, const RunSlot& slot)
{
    // What stays of the run without the old member, and the one 0xFF byte.
    const uint64_t kept = layout.runEnd - layout.runStart - slot.oldLength + 1;
    const uint64_t room = layout.roomEnd - layout.runStart;
    return room > kept ? room - kept : 0;
}

bool ReplaceMember(std::span<const uint8_t> source, const AwardImage& layout, const RunSlot& slot,
                   std::span<const uint8_t> archive, Bytes& rebuilt)
{
    rebuilt.clear();
    if (archive.size() > LargestArchive(layout, slot)) return false;
    rebuilt.assign(source.begin(), source.end());
    const auto tailFrom = source.begin() + static_cast<std::ptrdiff_t>(slot.offset + slot.oldLength);
    const auto tailTo = source.begin() + static_cast<std::ptrdiff_t>(layout.runEnd);
    auto out = std::copy(archive.begin(), archive.end(), rebuilt.begin() + static_cast<std::ptrdiff_t>(slot.offset));
    out = std::copy(tailFrom, tailTo, out);
    // A run that shrank leaves free space where its end was.
    std::fill(out,
              rebuilt.begin() + static_cast<std::ptrdiff_t>(std::max<uint64_t>(layout.runEnd, out - rebuilt.begin())),
              uint8_t{0xFF});
    RepairBootBlockChecksums(rebuilt, layout.checksums);
    return true;
}

}  // namespace varlin
