// Award-style BIOS images assembled by hand for tests: chains of LHA level-1
// member headers with filler data, free space of 0xFF, and the size code and
// BIOS ID near the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/support/Files.h"

namespace varlin::test {

struct MemberLayout {
    std::string name = "module.bin";
    uint32_t packedSize = 16;
    uint16_t loadOffset = 0;
    uint16_t loadSegment = 0;
    uint8_t attribute = 0x20;
    uint8_t level = 1;
    uint8_t fill = 0x5A;  // the data bytes
    Bytes stored = {};    // when set: the data, stored (-lh0-) with its CRC-16, instead of the fill
};

// One member: header size, checksum, header, packed data and the closing
// zero byte (H + P + 3 bytes); a system BIOS member (5000:0) gets the one
// byte more the chain expects after it.  Filled members claim -lh5- data
// that does not decode; stored ones decode to their data.
Bytes MakeMember(const MemberLayout& layout);

// Appends `count` bytes of `value`.
void AppendFill(Bytes& image, size_t count, uint8_t value);

// The members of an image from offset 0 up to the first 0xFF, found by a
// walk of their own: each starts where the one before ends (the system
// BIOS's with one byte more).
struct RunMember {
    size_t offset = 0;
    size_t length = 0;  // the archive, without the system BIOS's extra byte
    uint16_t loadSegment = 0;
};
std::vector<RunMember> RunMembersOf(const Bytes& image);

// The logo member (4000:0) of that run in a BIOS image file; empty when
// the image has no logo there.
Bytes LogoMemberOf(const std::string& imagePath);

// The payload a 640*480 bitmap logo, centred and without the POST
// messages, carries: the header word 0, then the file without "BM".
Bytes CentredBitmapPayload(const Bytes& bitmapFile);

// Where the boot block keeps its checksums in an image: the main sum's byte
// and, when the image keeps it, the start of the block the next byte sums.
struct BootBlockSumPlaces {
    size_t mainAt = 0;
    std::optional<size_t> blockStart;
};

// The checksum places of the bundled sample images, by file name.
BootBlockSumPlaces SampleSumPlaces(const std::string& sampleName);

// What is wrong with the boot-block checksums at `places`, each sum worked
// out here byte by byte: "main checksum at 0x...: 0x.. where the bytes sum
// to 0x.."; empty when they hold.
std::string BootBlockSumProblems(const Bytes& image, const BootBlockSumPlaces& places);

// Puts "*BBSS*" at `tableOffset` (and in the boot block's code, 6 KiB from
// the end) and sets the checksum bytes at the end of the table's page: the
// main sum when `places.blockStart` is unset, and the block sum as well
// otherwise.  Returns the places.
BootBlockSumPlaces AddBootBlockTable(Bytes& image, size_t tableOffset, std::optional<size_t> blockFromPage);

// The first byte where `after` differs from `before` outside the `allowed`
// ranges ([first, last) pairs), as "byte 0x..: 0x.. where it was 0x..";
// empty when there is none.
std::string FirstChangeOutside(const Bytes& before, const Bytes& after,
                               const std::vector<std::pair<size_t, size_t>>& allowed);

}  // namespace varlin::test
