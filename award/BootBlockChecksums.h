// The checksums an Award boot block tests at power-on, before it hands over
// to the BIOS it decompresses.  A wrong one halts the board ("BIOS ROM
// checksum error"), so a rebuilt image must keep every one the source kept.
//
// The boot block finds a table that starts with "*BBSS*" in the image's last
// 64 KiB (its own code, in the last 8 KiB, holds the same six characters, so
// the table is the first occurrence below them).  The table's 4 KiB page P
// ends in two checksum bytes, at M = P + 0xFFE and M + 1:
//   main:  the byte at M is the 8-bit sum of bytes 0 .. M-1, the whole
//          compressed area, the logo slot included;
//   block: the byte at M+1 is the 8-bit sum of bytes B .. M, for a block
//          start B on a 1 KiB boundary of the page (P + 0x400 on some boot
//          blocks, P on others).
// Older images use other schemes; for them neither sum holds, and nothing is
// recognised.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace varlin {

inline constexpr char kBootBlockTableMarker[] = "*BBSS*";

struct ChecksumByte {
    uint64_t offset = 0;
    uint8_t stored = 0;
    uint8_t computed = 0;

    bool Holds() const { return stored == computed; }
};

struct BootBlockChecksums {
    bool tableFound = false;
    uint64_t tableOffset = 0;  // where "*BBSS*" starts
    ChecksumByte main;         // at M
    ChecksumByte block;        // at M + 1, summed from blockStart
    bool blockStartFound = false;
    uint64_t blockStart = 0;  // B when some start makes the block sum hold
    // Sums of the block from each start the page allows, P + 0x400 * i.
    std::array<uint8_t, 4> blockSums{};

    bool MainHolds() const { return tableFound && main.Holds(); }
    // The block sum counts only where the main sum holds too.
    bool BlockHolds() const { return MainHolds() && blockStartFound; }
    uint64_t PageStart() const { return main.offset - kMainFromPage; }

    static constexpr uint64_t kMainFromPage = 0xFFE;
};

// Finds the table and reads both checksum bytes as the image holds them.
BootBlockChecksums ReadBootBlockChecksums(std::span<const uint8_t> image);

// What the checksum bytes of `image` must hold to keep the sums that held in
// its source (`source` as read from the source image, whose table and block
// start count).
struct ChecksumTargets {
    bool main = false;   // the main sum is kept
    bool block = false;  // the block sum is kept too
    uint64_t mainAt = 0;
    uint8_t mainValue = 0;
    uint8_t blockValue = 0;
};
ChecksumTargets BootBlockChecksumTargets(std::span<const uint8_t> image, const BootBlockChecksums& source);

// Sets those bytes: the rebuild changes the logo slot, and the sums follow.
void RepairBootBlockChecksums(std::span<uint8_t> image, const BootBlockChecksums& source);

}  // namespace varlin
