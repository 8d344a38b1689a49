#include "award/BootBlockChecksums.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace varlin {

namespace {

constexpr uint64_t kTableArea = 64 * 1024;  // the table lies in the image's last 64 KiB
constexpr uint64_t kBootCode = 8 * 1024;    // ... below the boot block's own code
constexpr uint64_t kPageSize = 0x1000;
constexpr uint64_t kBlockStep = 0x400;

// Block starts in the order they are tried: the one most boot blocks use
// first, so that an image where two happen to hold reports the usual one.
constexpr std::array<uint64_t, 4> kBlockStartsTried = {0x400, 0x000, 0x800, 0xC00};

// The 8-bit sum of the bytes, eight at a time (every build sums the image
// a few times over): the bytes of each 64-bit word go into four 16-bit
// lanes, which are folded into the total before they can overflow.
uint8_t Sum(std::span<const uint8_t> bytes)
{
    constexpr uint64_t kEveryOtherByte = 0x00FF00FF00FF00FFull;
    constexpr size_t kWordsPerFold = 128;  // 128 * 2 * 255 fits a 16-bit lane
    uint32_t sum = 0;
    size_t at = 0;
    while (bytes.size() - at >= 8) {
        const size_t words = std::min((bytes.size() - at) / 8, kWordsPerFold);
        uint64_t lanes = 0;
        for (size_t i = 0; i < words; ++i, at += 8) {
            uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, sizeof word);
            lanes += (word & kEveryOtherByte) + ((word >> 8) & kEveryOtherByte);
        }
        for (int lane = 0; lane < 4; ++lane) sum += static_cast<uint32_t>(lanes >> (16 * lane)) & 0xFFFF;
    }
    for (; at < bytes.size(); ++at) sum += bytes[at];
    return static_cast<uint8_t>(sum);
}

uint8_t BlockSum(std::span<const uint8_t> image, uint64_t blockStart, uint64_t mainAt)
{
    return Sum(image.subspan(blockStart, mainAt + 1 - blockStart));
}

// The first "*BBSS*" from the start of the last 64 KiB that lies wholly
// below the last 8 KiB.
bool FindTable(std::span<const uint8_t> image, uint64_t& offset)
{
    const std::string_view marker(kBootBlockTableMarker);
    if (image.size() < kBootCode + marker.size()) return false;
    const uint64_t from = image.size() > kTableArea ? image.size() - kTableArea : 0;
    const uint64_t to = image.size() - kBootCode;  // the marker must end below this
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(from);
    const auto last = image.begin() + static_cast<std::ptrdiff_t>(to);
    const auto found = std::search(first, last, marker.begin(), marker.end(),
                                   [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
    if (found == last) return false;
    offset = static_cast<uint64_t>(found - image.begin());
    return true;
}

}  // namespace

BootBlockChecksums ReadBootBlockChecksums(std::span<const uint8_t> image)
{
    BootBlockChecksums sums;
    uint64_t table = 0;
    if (!FindTable(image, table)) return sums;
    const uint64_t page = table & ~(kPageSize - 1);
    const uint64_t mainAt = page + BootBlockChecksums::kMainFromPage;
    if (mainAt + 1 >= image.size()) return sums;

    sums.tableFound = true;
    sums.tableOffset = table;
    sums.main = {mainAt, image[mainAt], Sum(image.first(mainAt))};
    for (size_t i = 0; i < sums.blockSums.size(); ++i)
        sums.blockSums[i] = BlockSum(image, page + kBlockStep * i, mainAt);
    sums.block = {mainAt + 1, image[mainAt + 1], sums.blockSums[1]};
    for (uint64_t start : kBlockStartsTried) {
        const uint8_t sum = sums.blockSums[start / kBlockStep];
        if (sum == sums.block.stored) {
            sums.blockStartFound = true;
            sums.blockStart = page + start;
            sums.block.computed = sum;
            break;
        }
    }
    return sums;
}

ChecksumTargets BootBlockChecksumTargets(std::span<const uint8_t> image, const BootBlockChecksums& source)
{
    ChecksumTargets targets;
    const uint64_t mainAt = source.main.offset;
    if (!source.MainHolds() || mainAt + 1 >= image.size()) return targets;
    targets.main = true;
    targets.mainAt = mainAt;
    targets.mainValue = Sum(image.first(mainAt));
    if (source.BlockHolds()) {
        // The block ends with the main checksum byte, so it sums the new value.
        targets.block = true;
        targets.blockValue =
            static_cast<uint8_t>(BlockSum(image, source.blockStart, mainAt) - image[mainAt] + targets.mainValue);
    }
    return targets;
}

void RepairBootBlockChecksums(std::span<uint8_t> image, const BootBlockChecksums& source)
{
    const ChecksumTargets targets = BootBlockChecksumTargets(image, source);
    if (targets.main) image[targets.mainAt] = targets.mainValue;
    if (targets.block) image[targets.mainAt + 1] = targets.blockValue;
}

}  // namespace varlin
