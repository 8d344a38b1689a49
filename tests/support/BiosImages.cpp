#include "tests/support/BiosImages.h"

#include <algorithm>
#include <map>

#include "logo/LogoSlotFinder.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Text.h"
#include "tests/support/RecordingMessagePort.h"
#include "tests/support/TempDir.h"

namespace varlin::test {

namespace {

// CRC-16 as LHA computes it (reflected, polynomial 0x8005), bit by bit.
uint16_t Crc16Of(const Bytes& bytes)
{
    uint16_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
    return crc;
}

}  // namespace

Bytes MakeMember(const MemberLayout& layout)
{
    const size_t n = layout.name.size();
    const uint8_t headerSize = static_cast<uint8_t>(25 + n);
    const bool stored = !layout.stored.empty();
    const uint32_t packedSize = stored ? static_cast<uint32_t>(layout.stored.size()) : layout.packedSize;
    Bytes member(2 + headerSize, 0);
    member[0] = headerSize;
    uint8_t* h = &member[2];
    std::copy_n(stored ? "-lh0-" : "-lh5-", 5, h);
    WriteLe32(h + 5, packedSize);
    WriteLe32(h + 9, stored ? packedSize : packedSize * 2);
    WriteLe16(h + 13, layout.loadOffset);
    WriteLe16(h + 15, layout.loadSegment);
    h[17] = layout.attribute;
    h[18] = layout.level;
    h[19] = static_cast<uint8_t>(n);
    std::copy(layout.name.begin(), layout.name.end(), h + 20);
    if (stored) WriteLe16(h + 20 + n, Crc16Of(layout.stored));
    h[22 + n] = 0x20;  // operating system; the extension size stays 0
    uint8_t sum = 0;
    for (size_t i = 0; i < headerSize; ++i) sum = static_cast<uint8_t>(sum + h[i]);
    member[1] = sum;
    if (stored) {
        member.insert(member.end(), layout.stored.begin(), layout.stored.end());
    } else {
        AppendFill(member, layout.packedSize, layout.fill);
    }
    member.push_back(0x00);
    if (layout.loadOffset == 0 && layout.loadSegment == 0x5000) member.push_back(0x00);
    return member;
}

void AppendFill(Bytes& image, size_t count, uint8_t value) { image.insert(image.end(), count, value); }

std::vector<RunMember> RunMembersOf(const Bytes& image)
{
    std::vector<RunMember> members;
    for (size_t at = 0; at + 21 <= image.size() && image[at] != 0xFF;) {
        const size_t length = image[at] + ReadLe32(&image[at + 7]) + 3;
        const uint16_t offset = ReadLe16(&image[at + 15]);
        const uint16_t segment = ReadLe16(&image[at + 17]);
        if (offset != 0 || at + length > image.size()) break;
        members.push_back({at, length, segment});
        at += length + (segment == 0x5000 ? 1 : 0);
    }
    return members;
}

Bytes LogoMemberOf(const std::string& imagePath)
{
    const Bytes image = ReadFile(imagePath);
    for (const RunMember& member : RunMembersOf(image)) {
        if (member.loadSegment == 0x4000) {
            return Bytes(image.begin() + static_cast<long>(member.offset),
                         image.begin() + static_cast<long>(member.offset + member.length));
        }
    }
    return {};
}

Bytes CentredBitmapPayload(const Bytes& bitmapFile)
{
    // The header word takes the place of "BM".
    Bytes payload = bitmapFile;
    payload.resize(std::max<size_t>(payload.size(), 2));
    payload[0] = 0x00;
    payload[1] = 0x00;
    return payload;
}

namespace {

uint8_t SumOf(const Bytes& image, size_t first, size_t last)
{
    uint8_t sum = 0;
    for (size_t i = first; i < last; ++i) sum = static_cast<uint8_t>(sum + image[i]);
    return sum;
}

}  // namespace

BootBlockSumPlaces SampleSumPlaces(const std::string& sampleName)
{
    static const std::map<std::string, BootBlockSumPlaces> places = {
        {"award-128k.bin", {0x1BFFE, 0x1B000}},
        {"award-256k.bin", {0x37FFE, 0x37400}},
        {"award-256k-nologo.bin", {0x37FFE, 0x37400}},
        {"award-256k-stock.bin", {0x37FFE, 0x37400}},
        {"award-512k.bin", {0x78FFE, std::nullopt}},
        {"award-1m.bin", {0xF7FFE, 0xF7400}},
        {"award-256k-stock-split.bin", {0x37FFE, 0x37400}},
        {"award-256k-stock-noblock.bin", {0x37FFE, 0x37400}},
        {"award-128k-nologo.bin", {0x1BFFE, 0x1B000}},
        {"award-128k-450pg.bin", {0x1BFFE, 0x1B000}},
    };
    return places.at(sampleName);
}

std::string BootBlockSumProblems(const Bytes& image, const BootBlockSumPlaces& places)
{
    std::string problems;
    const uint8_t main = SumOf(image, 0, places.mainAt);
    if (image[places.mainAt] != main) {
        problems += FormatText("main checksum at 0x%zX: 0x%02X where the bytes sum to 0x%02X; ", places.mainAt,
                               unsigned{image[places.mainAt]}, unsigned{main});
    }
    if (places.blockStart) {
        const uint8_t block = SumOf(image, *places.blockStart, places.mainAt + 1);
        if (image[places.mainAt + 1] != block) {
            problems += FormatText("block checksum at 0x%zX: 0x%02X where the block sums to 0x%02X; ",
                                   places.mainAt + 1, unsigned{image[places.mainAt + 1]}, unsigned{block});
        }
    }
    return problems;
}

BootBlockSumPlaces AddBootBlockTable(Bytes& image, size_t tableOffset, std::optional<size_t> blockFromPage)
{
    const std::string marker = "*BBSS*";
    std::copy(marker.begin(), marker.end(), image.begin() + static_cast<std::ptrdiff_t>(tableOffset));
    std::copy(marker.begin(), marker.end(), image.end() - 0x1800);
    const size_t page = tableOffset & ~size_t{0xFFF};
    BootBlockSumPlaces places{page + 0xFFE, std::nullopt};
    image[places.mainAt] = SumOf(image, 0, places.mainAt);
    if (blockFromPage) {
        places.blockStart = page + *blockFromPage;
        image[places.mainAt + 1] = SumOf(image, *places.blockStart, places.mainAt + 1);
    } else {
        // A value no block of the page sums to.
        auto sumsABlock = [&](uint8_t value) {
            for (size_t from = page; from < places.mainAt; from += 0x400) {
                if (SumOf(image, from, places.mainAt + 1) == value) return true;
            }
            return false;
        };
        uint8_t unused = 0;
        while (sumsABlock(unused)) ++unused;
        image[places.mainAt + 1] = unused;
    }
    return places;
}

std::string FirstChangeOutside(const Bytes& before, const Bytes& after,
                               const std::vector<std::pair<size_t, size_t>>& allowed)
{
    if (before.size() != after.size()) return "the images differ in length";
    for (size_t i = 0; i < before.size(); ++i) {
        const bool inside = std::any_of(allowed.begin(), allowed.end(),
                                        [i](const auto& range) { return i >= range.first && i < range.second; });
        if (!inside && before[i] != after[i]) {
            return FormatText("byte 0x%zX: 0x%02X where it was 0x%02X", i, unsigned{after[i]}, unsigned{before[i]});
        }
    }
    return "";
}

}  // namespace varlin::test
