#include "logo/RebuildCheck.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "award/BootBlockChecksums.h"
#include "award/MemberData.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

// Offsets and counts in messages: images are far below 4 GiB, and the
// oldest C libraries the program meets know no 64-bit conversions.
unsigned long Number(uint64_t value) { return static_cast<unsigned long>(value); }

// The run before and after the new member went in.
struct RunChange {
    uint64_t slotOffset = 0;
    uint64_t oldLength = 0;
    uint64_t newLength = 0;
    uint64_t oldRunEnd = 0;
    uint64_t newRunEnd = 0;

    // Where a member of the source's run after the slot moved to.
    uint64_t Moved(uint64_t offset) const { return offset - oldLength + newLength; }
};

// Where each member of the rebuilt image belongs: the source's members,
// those after the slot in the run shifted, the new one in the slot.
std::vector<uint64_t> ExpectedOffsets(const AwardImage& source, const RunSlot& slot, const RunChange& change,
                                      size_t& newIndex)
{
    std::vector<uint64_t> offsets;
    const size_t runLast = source.runFirst + source.runCount - 1;
    for (size_t i = 0; i < source.members.size(); ++i) {
        const ImageMember& member = source.members[i];
        if (static_cast<int64_t>(i) == slot.member) {
            newIndex = offsets.size();
            offsets.push_back(slot.offset);
            continue;
        }
        offsets.push_back(member.inRun && member.offset > slot.offset ? change.Moved(member.offset) : member.offset);
        if (slot.member < 0 && i == runLast) {
            newIndex = offsets.size();
            offsets.push_back(slot.offset);
        }
    }
    return offsets;
}

std::string CheckLayout(const AwardImage& source, const AwardImage& rebuilt, const RebuiltMember& member,
                        const RunChange& change, size_t& newIndex)
{
    if (!rebuilt.HasRun() || rebuilt.runEnd != change.newRunEnd) {
        return FormatText("the run of members does not end in free space at 0x%lX", Number(change.newRunEnd));
    }
    const std::vector<uint64_t> expected = ExpectedOffsets(source, member.slot, change, newIndex);
    if (rebuilt.members.size() != expected.size()) {
        return FormatText("the image holds %lu members where the source holds %lu and the new %s",
                          Number(rebuilt.members.size()), Number(source.members.size() - (member.slot.member >= 0)),
                          member.role);
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        if (rebuilt.members[i].offset != expected[i]) {
            return FormatText("member %lu is at 0x%lX where it belongs at 0x%lX", Number(i),
                              Number(rebuilt.members[i].offset), Number(expected[i]));
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

std::string CheckNewMember(std::span<const uint8_t> rebuilt, const RebuiltMember& member, const ImageMember& found)
{
    const std::span<const uint8_t> archive = member.archive;
    const uint64_t at = member.slot.offset;
    const bool archiveInPlace = found.header.ArchiveLength() == archive.size() &&
                                archive.size() <= rebuilt.size() - at &&
                                std::memcmp(&rebuilt[at], archive.data(), archive.size()) == 0;
    if (!archiveInPlace) {
        return FormatText("the %s member at 0x%lX is not the archive that was packed", member.role, Number(at));
    }
    const MemberData data = DecodeMemberData(rebuilt, {found.offset, found.header});
    if (!data.decoded) return FormatText("the new %s member cannot be decoded: ", member.role) + data.problem;
    if (!data.CrcHolds(found.header)) {
        return FormatText("the new %s member's data has the CRC-16 0x%04X where its header says 0x%04X", member.role,
                          static_cast<unsigned>(data.computedCrc), static_cast<unsigned>(found.header.crc));
    }
    if (data.bytes.size() == member.payload.size() &&
        std::memcmp(data.bytes.data(), member.payload.data(), member.payload.size()) == 0) {
        return member.stockPicture != nullptr ? CheckStockPicture(data.bytes, *member.stockPicture) : std::string();
    }
    const auto mismatch =
        std::mismatch(data.bytes.begin(), data.bytes.end(), member.payload.begin(), member.payload.end());
    return FormatText("the new %s member does not decode to the %s payload (they differ from byte %lu on)", member.role,
                      member.role, Number(static_cast<uint64_t>(mismatch.first - data.bytes.begin())));
}

// The first byte of [first, last) where the images differ, or `last`.
uint64_t FirstDifference(std::span<const uint8_t> source, uint64_t sourceFirst, std::span<const uint8_t> rebuilt,
                         uint64_t first, uint64_t last)
{
    if (first >= last || std::memcmp(&source[sourceFirst], &rebuilt[first], last - first) == 0) return last;
    const auto from = rebuilt.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = rebuilt.begin() + static_cast<std::ptrdiff_t>(last);
    return first + static_cast<uint64_t>(
                       std::mismatch(from, to, source.begin() + static_cast<std::ptrdiff_t>(sourceFirst)).first - from);
}

// The members after the new one in the run: byte for byte the source's.
std::string CheckMovedMembers(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt,
                              const AwardImage& layout, const RunChange& change)
{
    for (size_t i = layout.runFirst; i < layout.runFirst + layout.runCount; ++i) {
        const ImageMember& member = layout.members[i];
        if (member.offset <= change.slotOffset) continue;
        const uint64_t to = change.Moved(member.offset);
        const uint64_t at = FirstDifference(source, member.offset, rebuilt, to, to + member.Length());
        if (at != to + member.Length()) {
            return FormatText("member %lu (%s), moved from 0x%lX to 0x%lX, differs from the source's at its byte %lu",
                              Number(i), member.header.name.c_str(), Number(member.offset), Number(to),
                              Number(at - to));
        }
    }
    return {};
}

// Every byte outside the run is the source's, but for the checksum bytes
// the source kept; where the run shrank, free space.
std::string CheckOtherBytes(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt, const RunChange& change,
                            const ChecksumTargets& targets)
{
    const uint64_t runMax = std::max(change.oldRunEnd, change.newRunEnd);
    const auto freed =
        std::find_if(rebuilt.begin() + static_cast<std::ptrdiff_t>(change.newRunEnd),
                     rebuilt.begin() + static_cast<std::ptrdiff_t>(runMax), [](uint8_t byte) { return byte != 0xFF; });
    if (freed != rebuilt.begin() + static_cast<std::ptrdiff_t>(runMax)) {
        return FormatText("byte 0x%lX, after the run, is not free space",
                          Number(static_cast<uint64_t>(freed - rebuilt.begin())));
    }

    // The stretches compared, around the checksum bytes that may change.
    std::vector<std::pair<uint64_t, uint64_t>> stretches = {{0, change.slotOffset}, {runMax, rebuilt.size()}};
    if (targets.main) {
        const uint64_t sumsEnd = targets.mainAt + (targets.block ? 2 : 1);
        std::vector<std::pair<uint64_t, uint64_t>> split;
        for (const auto& [first, last] : stretches) {
            if (targets.mainAt >= first && targets.mainAt < last) {
                split.emplace_back(first, targets.mainAt);
                split.emplace_back(std::min(sumsEnd, last), last);
            } else {
                split.emplace_back(first, last);
            }
        }
        stretches = split;
    }
    for (const auto& [first, last] : stretches) {
        const uint64_t at = FirstDifference(source, first, rebuilt, first, last);
        if (at != last) {
            return FormatText("byte 0x%lX outside the run of members differs from the source (0x%02X, was 0x%02X)",
                              Number(at), static_cast<unsigned>(rebuilt[at]), static_cast<unsigned>(source[at]));
        }
    }
    return {};
}

// The boot block looks for the first "*BBSS*" of the last 64 KiB: moved
// bytes must not put one before the table it found in the source.
std::string CheckChecksumTable(const AwardImage& source, const AwardImage& rebuilt)
{
    const BootBlockChecksums& before = source.checksums;
    const BootBlockChecksums& after = rebuilt.checksums;
    if (!before.tableFound || (after.tableFound && after.tableOffset == before.tableOffset)) return {};
    return FormatText("the boot block would find its checksum table at 0x%lX instead of 0x%lX",
                      Number(after.tableOffset), Number(before.tableOffset));
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
                              const RebuiltMember& member)
{
    if (rebuilt.size() != source.size()) {
        return FormatText("the image is %lu bytes long where the source is %lu", Number(rebuilt.size()),
                          Number(source.size()));
    }
    const AwardImage before = ReadAwardImage(source);
    const RunSlot& slot = member.slot;
    const bool slotIsAMember = slot.member >= 0 && static_cast<uint64_t>(slot.member) < before.members.size() &&
                               before.members[static_cast<size_t>(slot.member)].inRun &&
                               before.members[static_cast<size_t>(slot.member)].offset == slot.offset &&
                               before.members[static_cast<size_t>(slot.member)].Length() == slot.oldLength;
    const bool slotEndsTheRun = slot.member == -1 && slot.offset == before.runEnd && slot.oldLength == 0;
    if (!before.HasRun() || !(slotIsAMember || slotEndsTheRun)) {
        return FormatText("the place of the new %s, 0x%lX, lies outside the run of members", member.role,
                          Number(slot.offset));
    }
    RunChange change{slot.offset, slot.oldLength, member.archive.size(), before.runEnd, 0};
    change.newRunEnd = change.Moved(before.runEnd);
    if (change.newRunEnd >= rebuilt.size()) {
        return FormatText("the run of members would end past the image, at 0x%lX", Number(change.newRunEnd));
    }

    const AwardImage after = ReadAwardImage(rebuilt);
    size_t newIndex = 0;
    std::string problem = CheckLayout(before, after, member, change, newIndex);
    if (problem.empty()) problem = CheckNewMember(rebuilt, member, after.members[newIndex]);
    if (problem.empty()) problem = CheckMovedMembers(source, rebuilt, before, change);
    if (problem.empty()) problem = CheckChecksumTable(before, after);
    if (!problem.empty()) return problem;

    // The checksum targets are taken on the rebuilt image: the sums the
    // source kept, over the bytes the new image holds.
    const ChecksumTargets targets = BootBlockChecksumTargets(rebuilt, before.checksums);
    problem = CheckOtherBytes(source, rebuilt, change, targets);
    if (problem.empty()) problem = CheckChecksums(rebuilt, targets);
    return problem;
}

}  // namespace varlin
