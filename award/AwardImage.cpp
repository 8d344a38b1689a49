#include "award/AwardImage.h"

#include <algorithm>

namespace varlin {

namespace {

constexpr uint64_t kGapStep = 65536;

HeaderVerdict ReadHeaderAt(std::span<const uint8_t> image, uint64_t offset, MemberHeader& header)
{
    if (offset >= image.size()) return HeaderVerdict::CutShort;
    const size_t available = std::min<uint64_t>(image.size() - offset, kMemberHeaderReadSize);
    return ReadMemberHeader(image.subspan(static_cast<size_t>(offset), available), header);
}

bool IsFreeSpaceAt(std::span<const uint8_t> image, uint64_t offset)
{
    return offset < image.size() && image[offset] == 0xFF;
}

// The walk from offset 0, as the logo slot search makes it, but on past the
// logo: members follow one another; where none starts, the walk tries 64 KiB
// further on.  It ends at the first 0xFF byte after a member.
void WalkFromStart(std::span<const uint8_t> image, AwardImage& layout)
{
    uint64_t start = 0;
    size_t runFirst = 0;
    for (;;) {
        ImageMember member{start, {}};
        switch (ReadHeaderAt(image, start, member.header)) {
        case HeaderVerdict::CutShort:
            layout.walkEnd = ChainEnd::RanOffEnd;
            return;
        case HeaderVerdict::ChecksumMiss:
            start += kGapStep;
            runFirst = layout.members.size();
            continue;
        case HeaderVerdict::ZeroSize:
            layout.walkEnd = ChainEnd::ZeroSize;
            return;
        case HeaderVerdict::BadAttributes:
            layout.walkEnd = ChainEnd::BadAttributes;
            return;
        case HeaderVerdict::Member:
            break;
        }
        if (member.End() > image.size()) {
            layout.walkEnd = ChainEnd::RanOffEnd;
            return;
        }
        layout.members.push_back(member);
        start = member.End();
        if (IsFreeSpaceAt(image, start)) {
            layout.walkEnd = ChainEnd::FreeSpace;
            layout.runFirst = runFirst;
            layout.runCount = layout.members.size() - runFirst;
            layout.runStart = layout.members[runFirst].offset;
            layout.runEnd = start;
            return;
        }
    }
}

// Members past the free space: runs that start on a 64 KiB boundary.
void FindMembersPastTheGap(std::span<const uint8_t> image, AwardImage& layout)
{
    uint64_t boundary = (layout.runEnd + kGapStep - 1) / kGapStep * kGapStep;
    while (boundary < image.size()) {
        uint64_t start = boundary;
        ImageMember member{start, {}};
        while (ReadHeaderAt(image, start, member.header) == HeaderVerdict::Member && member.End() <= image.size()) {
            layout.members.push_back(member);
            start = member.End();
            member = ImageMember{start, {}};
        }
        boundary = std::max(boundary + kGapStep, (start + kGapStep - 1) / kGapStep * kGapStep);
    }
}

// Where the run's room ends: the first byte after the run that is not 0xFF,
// and never past a fixed member, the checksum page or the last 8 KiB.
uint64_t RoomEnd(std::span<const uint8_t> image, const AwardImage& layout)
{
    uint64_t limit = image.size() > kBootBlockCode ? image.size() - kBootBlockCode : 0;
    if (layout.checksums.tableFound) {
        const uint64_t page = layout.checksums.PageStart();
        if (page >= layout.runEnd) limit = std::min(limit, page);
        if (layout.checksums.main.offset >= layout.runEnd) limit = std::min(limit, layout.checksums.main.offset);
    }
    for (const ImageMember& member : layout.members) {
        if (member.offset >= layout.runEnd) limit = std::min(limit, member.offset);
    }
    uint64_t at = layout.runEnd;
    while (at < limit && image[at] == 0xFF) ++at;
    return std::max(at, layout.runEnd);
}

}  // namespace

int64_t AwardImage::FindMember(uint16_t loadSegment) const
{
    const auto found = std::find_if(members.begin(), members.end(), [loadSegment](const ImageMember& member) {
        return member.header.loadOffset == 0 && member.header.loadSegment == loadSegment;
    });
    return found == members.end() ? -1 : found - members.begin();
}

AwardImage ReadAwardImage(std::span<const uint8_t> image)
{
    AwardImage layout;
    layout.size = image.size();
    layout.checksums = ReadBootBlockChecksums(image);
    WalkFromStart(image, layout);
    if (!layout.HasRun()) return layout;
    for (size_t i = layout.runFirst; i < layout.runFirst + layout.runCount; ++i) {
        ImageMember& member = layout.members[i];
        member.inRun = true;
        member.mayMove = i > layout.runFirst && !member.header.IsSystemBios();
    }
    FindMembersPastTheGap(image, layout);
    layout.roomEnd = RoomEnd(image, layout);
    return layout;
}

}  // namespace varlin
