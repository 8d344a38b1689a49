#include "logo/RebuildCheck.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "award/BootBlockChecksums.h"
#include "award/MemberChain.h"
#include "award/MemberData.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

// Offsets and counts in messages: images are far below 4 GiB, and the
// oldest C libraries the program meets know no 64-bit conversions.
unsigned long Number(uint64_t value) { return static_cast<unsigned long>(value); }

std::string CheckChain(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RebuiltLogo& logo,
                       MemberChain& newChain)
{
    MemberChain oldChain = WalkMemberChain(source);
    if (oldChain.end == ChainEnd::LogoLast) oldChain.members.pop_back();
    newChain = WalkMemberChain(rebuilt);
    if (newChain.end != ChainEnd::LogoLast || newChain.endOffset != logo.slotOffset) {
        return FormatText("the member chain does not end with the new logo at 0x%lX", Number(logo.slotOffset));
    }
    if (newChain.members.size() != oldChain.members.size() + 1) {
        return FormatText("the member chain holds %lu members before the logo where the source holds %lu",
                          Number(newChain.members.size() - 1), Number(oldChain.members.size()));
    }
    for (size_t i = 0; i < oldChain.members.size(); ++i) {
        if (newChain.members[i].offset != oldChain.members[i].offset) {
            return FormatText("member %lu of the chain moved from 0x%lX to 0x%lX", Number(i),
                              Number(oldChain.members[i].offset), Number(newChain.members[i].offset));
        }
    }
    return {};
}

// The stock logo as the BIOS reads it: the intended size, palette and pixels.
std::string CheckStockPicture(std::span<const uint8_t> data, const StockPicture& intended)
{
    StockPicture shown;
    if (!DecodeStockLogo(data, shown) || shown.format != intended.format) {
        return "the new logo does not read back as a " + StockFormatText(intended.format) + " logo";
    }
    if (shown.palette != intended.palette) return "the new stock logo's palette is not the one chosen for the picture";
    const auto mismatch =
        std::mismatch(shown.pixels.begin(), shown.pixels.end(), intended.pixels.begin(), intended.pixels.end());
    if (mismatch.first == shown.pixels.end() && mismatch.second == intended.pixels.end()) return {};
    const size_t at = static_cast<size_t>(mismatch.first - shown.pixels.begin());
    return FormatText("the new stock logo shows colour %u at pixel %lu,%lu where the picture has %u",
                      static_cast<unsigned>(shown.pixels[at]), static_cast<unsigned long>(at % intended.format.width),
                      static_cast<unsigned long>(at / intended.format.width),
                      static_cast<unsigned>(at < intended.pixels.size() ? intended.pixels[at] : 0));
}

std::string CheckLogoMember(std::span<const uint8_t> rebuilt, const RebuiltLogo& logo, const ChainMember& member)
{
    const bool archiveInPlace = member.header.ArchiveLength() == logo.archive.size() &&
                                logo.archive.size() <= rebuilt.size() - logo.slotOffset &&
                                std::memcmp(&rebuilt[logo.slotOffset], logo.archive.data(), logo.archive.size()) == 0;
    if (!archiveInPlace) {
        return FormatText("the logo member at 0x%lX is not the archive that was packed", Number(logo.slotOffset));
    }
    const MemberData data = DecodeMemberData(rebuilt, member);
    if (!data.decoded) return "the new logo member cannot be decoded: " + data.problem;
    if (!data.CrcHolds(member.header)) {
        return FormatText("the new logo member's data has the CRC-16 0x%04X where its header says 0x%04X",
                          static_cast<unsigned>(data.computedCrc), static_cast<unsigned>(member.header.crc));
    }
    if (data.bytes.size() == logo.payload.size() &&
        std::memcmp(data.bytes.data(), logo.payload.data(), logo.payload.size()) == 0) {
        return logo.stockPicture != nullptr ? CheckStockPicture(data.bytes, *logo.stockPicture) : std::string();
    }
    const auto mismatch = std::mismatch(data.bytes.begin(), data.bytes.end(), logo.payload.begin(), logo.payload.end());
    return FormatText("the new logo member does not decode to the logo payload (they differ from byte %lu on)",
                      Number(static_cast<uint64_t>(mismatch.first - data.bytes.begin())));
}

// The first byte of [first, last) where the images differ, or `last`.
uint64_t FirstDifference(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, uint64_t first,
                         uint64_t last)
{
    if (first >= last || std::memcmp(&source[first], &rebuilt[first], last - first) == 0) return last;
    const auto from = source.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = source.begin() + static_cast<std::ptrdiff_t>(last);
    return first + static_cast<uint64_t>(
                       std::mismatch(from, to, rebuilt.begin() + static_cast<std::ptrdiff_t>(first)).first - from);
}

// Every byte outside the slot is the source's, but for the checksum bytes
// the source kept; the old logo's bytes after the new one are wiped.
std::string CheckOtherBytes(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RebuiltLogo& logo,
                            const ChecksumTargets& targets)
{
    const uint64_t written = logo.slotOffset + logo.archive.size();
    const uint64_t wiped = std::max<uint64_t>(written, logo.slotOffset + logo.oldLength);
    const auto wipedFrom = rebuilt.begin() + static_cast<std::ptrdiff_t>(written);
    const auto notWiped = std::find_if(wipedFrom, rebuilt.begin() + static_cast<std::ptrdiff_t>(wiped),
                                       [](uint8_t byte) { return byte != 0xFF; });
    if (notWiped != rebuilt.begin() + static_cast<std::ptrdiff_t>(wiped)) {
        return FormatText("byte 0x%lX of the old logo was not wiped",
                          Number(static_cast<uint64_t>(notWiped - rebuilt.begin())));
    }

    // The stretches compared: before the slot and after it, around the
    // checksum bytes that may change.
    std::vector<std::pair<uint64_t, uint64_t>> stretches;
    uint64_t from = wiped;
    if (targets.main && targets.mainAt >= wiped) {
        stretches.emplace_back(wiped, targets.mainAt);
        from = targets.mainAt + (targets.block ? 2 : 1);
    }
    stretches.emplace_back(from, rebuilt.size());
    stretches.insert(stretches.begin(), {0, logo.slotOffset});
    for (const auto& [first, last] : stretches) {
        const uint64_t at = FirstDifference(source, rebuilt, first, last);
        if (at != last) {
            return FormatText("byte 0x%lX outside the logo slot differs from the source (0x%02X, was 0x%02X)",
                              Number(at), static_cast<unsigned>(rebuilt[at]), static_cast<unsigned>(source[at]));
        }
    }
    return {};
}

std::string CheckChecksums(std::span<const uint8_t> rebuilt, const ChecksumTargets& targets)
{
    if (targets.main && rebuilt[targets.mainAt] != targets.mainValue) {
        return FormatText("the boot block's main checksum at 0x%lX is 0x%02X where the image sums to 0x%02X",
                          Number(targets.mainAt), static_cast<unsigned>(rebuilt[targets.mainAt]),
                          static_cast<unsigned>(targets.mainValue));
    }
    if (targets.block && rebuilt[targets.mainAt + 1] != targets.blockValue) {
        return FormatText("the boot block's block checksum at 0x%lX is 0x%02X where the block sums to 0x%02X",
                          Number(targets.mainAt + 1), static_cast<unsigned>(rebuilt[targets.mainAt + 1]),
                          static_cast<unsigned>(targets.blockValue));
    }
    return {};
}

}  // namespace

std::string CheckRebuiltImage(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt,
                              const RebuiltLogo& logo)
{
    if (rebuilt.size() != source.size()) {
        return FormatText("the image is %lu bytes long where the source is %lu", Number(rebuilt.size()),
                          Number(source.size()));
    }
    if (logo.slotOffset >= rebuilt.size())
        return FormatText("the logo slot 0x%lX lies outside the image", Number(logo.slotOffset));

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
