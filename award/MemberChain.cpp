#include "award/MemberChain.h"

#include <algorithm>

namespace varlin {

namespace {

constexpr uint64_t kChecksumMissStep = 65536;

// A byte past the end of the image counts as not free space.
bool IsFreeSpaceAt(std::span<const uint8_t> image, uint64_t offset)
{
    return offset < image.size() && image[offset] == 0xFF;
}

}  // namespace

MemberChain WalkMemberChain(std::span<const uint8_t> image)
{
    MemberChain chain;
    uint64_t start = 0;
    for (;;) {
        chain.endOffset = start;
        if (start >= image.size()) {
            chain.end = ChainEnd::RanOffEnd;
            return chain;
        }
        const size_t available = std::min<uint64_t>(image.size() - start, kMemberHeaderReadSize);
        ChainMember member{start, {}};
        switch (ReadMemberHeader(image.subspan(static_cast<size_t>(start), available), member.header)) {
        case HeaderVerdict::CutShort:
            chain.end = ChainEnd::RanOffEnd;
            return chain;
        case HeaderVerdict::ChecksumMiss:
            start += kChecksumMissStep;
            continue;
        case HeaderVerdict::ZeroSize:
            chain.end = ChainEnd::ZeroSize;
            return chain;
        case HeaderVerdict::BadAttributes:
            chain.end = ChainEnd::BadAttributes;
            return chain;
        case HeaderVerdict::Member:
            break;
        }
        chain.members.push_back(member);
        if (member.header.IsLogo()) {
            chain.end = IsFreeSpaceAt(image, start + member.header.ArchiveLength()) ? ChainEnd::LogoLast
                                                                                    : ChainEnd::LogoNotLast;
            chain.endOffset = start;
            return chain;
        }
        start += member.header.ChainLength();
        if (IsFreeSpaceAt(image, start)) {
            chain.end = ChainEnd::FreeSpace;
            chain.endOffset = start;
            return chain;
        }
    }
}

}  // namespace varlin
