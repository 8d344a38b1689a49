#include "logo/RebuildCheck.h"

#include <algorithm>

#include "logo/BootBlockChecksums.h"
#include "logo/MemberChain.h"
#include "logo/MemberData.h"
#include "platform/Text.h"

namespace varlin {

namespace {

// Offsets and sizes within an image, for the formats the system C library of
// every Windows the program runs on knows (%lX and %u, not the ll and z sizes).
unsigned long Hex(uint64_t value) { return static_cast<unsigned long>(value); }
unsigned Count(size_t value) { return static_cast<unsigned>(value); }

std::string CheckChain(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RebuiltLogo& logo,
                       MemberChain& newChain)
{
    MemberChain oldChain = WalkMemberChain(source);
    if (oldChain.end == ChainEnd::LogoLast) oldChain.members.pop_back();
    newChain = WalkMemberChain(rebuilt);
    if (newChain.end != ChainEnd::LogoLast || newChain.endOffset != logo.slotOffset) {
        return FormatText("the member chain does not end with the new logo at 0x%lX", Hex(logo.slotOffset));
    }
    if (newChain.members.size() != oldChain.members.size() + 1) {
        return FormatText("the member chain holds %u members before the logo where the source holds %u",
                          Count(newChain.members.size() - 1), Count(oldChain.members.size()));
    }
    for (size_t i = 0; i < oldChain.members.size(); ++i) {
        if (newChain.members[i].offset != oldChain.members[i].offset) {
            return FormatText("member %u of the chain moved from 0x%lX to 0x%lX", Count(i), Hex(oldChain.members[i].offset),
                              Hex(newChain.members[i].offset));
        }
    }
    return {};
}

std::string CheckLogoMember(std::span<const uint8_t> rebuilt, const RebuiltLogo& logo, const ChainMember& member)
{
    const std::span<const uint8_t> written = rebuilt.subspan(logo.slotOffset, std::min<uint64_t>(logo.archive.size(),
                                                                                             rebuilt.size() - logo.slotOffset));
    if (member.header.ArchiveLength() != logo.archive.size() || !std::equal(written.begin(), written.end(), logo.archive.begin(),
                                                                            logo.archive.end())) {
        return FormatText("the logo member at 0x%lX is not the archive that was packed", Hex(logo.slotOffset));
    }
    const MemberData data = DecodeMemberData(rebuilt, member);
    if (!data.decoded) return "the new logo member cannot be decoded: " + data.problem;
    if (!data.CrcHolds(member.header)) {
        return FormatText("the new logo member's data has the CRC-16 0x%04X where its header says 0x%04X",
                          static_cast<unsigned>(data.computedCrc), static_cast<unsigned>(member.header.crc));
    }
    const auto mismatch = std::mismatch(data.bytes.begin(), data.bytes.end(), logo.payload.begin(), logo.payload.end());
    if (mismatch.first != data.bytes.end() || mismatch.second != logo.payload.end()) {
        return FormatText("the new logo member does not decode to the logo payload (they differ from byte %u on)",
                          Count(static_cast<size_t>(mismatch.first - data.bytes.begin())));
    }
    return {};
}

// Every byte outside the slot is the source's, but for the checksum bytes.
std::string CheckOtherBytes(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RebuiltLogo& logo,
                            const ChecksumTargets& targets)
{
    const uint64_t written = logo.slotOffset + logo.archive.size();
    const uint64_t wiped = logo.slotOffset + std::max<uint64_t>(logo.oldLength, logo.archive.size());
    for (uint64_t at = 0; at < rebuilt.size(); ++at) {
        if (at >= logo.slotOffset && at < written) {
            at = written - 1;
            continue;
        }
        if (at >= written && at < wiped) {
            if (rebuilt[at] != 0xFF) return FormatText("byte 0x%lX of the old logo was not wiped", Hex(at));
            continue;
        }
        if (targets.main && (at == targets.mainAt || (targets.block && at == targets.mainAt + 1))) continue;
        if (rebuilt[at] != source[at]) {
            return FormatText("byte 0x%lX outside the logo slot differs from the source (0x%02X, was 0x%02X)", Hex(at),
                              static_cast<unsigned>(rebuilt[at]), static_cast<unsigned>(source[at]));
        }
    }
    return {};
}

std::string CheckChecksums(std::span<const uint8_t> rebuilt, const ChecksumTargets& targets)
{
    if (targets.main && rebuilt[targets.mainAt] != targets.mainValue) {
        return FormatText("the boot block's main checksum at 0x%lX is 0x%02X where the image sums to 0x%02X",
                          Hex(targets.mainAt), static_cast<unsigned>(rebuilt[targets.mainAt]),
                          static_cast<unsigned>(targets.mainValue));
    }
    if (targets.block && rebuilt[targets.mainAt + 1] != targets.blockValue) {
        return FormatText("the boot block's block checksum at 0x%lX is 0x%02X where the block sums to 0x%02X",
                          Hex(targets.mainAt + 1), static_cast<unsigned>(rebuilt[targets.mainAt + 1]),
                          static_cast<unsigned>(targets.blockValue));
    }
    return {};
}

}  // namespace

std::string CheckRebuiltImage(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RebuiltLogo& logo)
{
    if (rebuilt.size() != source.size()) {
        return FormatText("the image is %u bytes long where the source is %u", Count(rebuilt.size()),
                          Count(source.size()));
    }
    if (logo.slotOffset >= rebuilt.size()) return FormatText("the logo slot 0x%lX lies outside the image", Hex(logo.slotOffset));

    MemberChain chain;
    std::string problem = CheckChain(source, rebuilt, logo, chain);
    if (problem.empty()) problem = CheckLogoMember(rebuilt, logo, chain.members.back());
    if (!problem.empty()) return problem;

    // The checksum targets are taken on the rebuilt image: the sums the
    // source kept, over the bytes the new image holds.
    const ChecksumTargets targets = BootBlockChecksumTargets(rebuilt, ReadBootBlockChecksums(source));
    problem = CheckOtherBytes(source, rebuilt, logo, targets);
    if (problem.empty()) problem = CheckChecksums(rebuilt, targets);
    return problem;
}

}  // namespace varlin
