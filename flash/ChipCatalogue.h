// The flash chips the BIOS records may name, and what the program must know
// about some of them.
#pragma once

#include <cstdint>
#include <span>

namespace varlin {

struct ChipEntry {
    uint8_t makerCode;
    uint8_t deviceCode;
    const char* name;

    // The id as the segment holds it: maker code in the low byte.
    uint16_t ChipId() const { return static_cast<uint16_t>(makerCode | deviceCode << 8); }
};

// Every entry in catalogue order; the last is the unknown chip.
std::span<const ChipEntry> ChipCatalogue();

// The catalogue name of a chip id, or nullptr when it has none.
const char* ChipName(uint16_t chipId);

// Page-write parts erase as they program: they need no erase before
// programming, so their blank check always passes.
bool IsPageWriteChip(uint16_t chipId);

// Chip ids as the program's decisions name them.
namespace chip {
inline constexpr uint16_t kIntel28F002BXT = 0x7C89;
inline constexpr uint16_t kCsiCat28F002T = 0x7C31;
inline constexpr uint16_t kCsiCat28F001P = 0x9431;
inline constexpr uint16_t kIntel28F001BXT = 0x9489;
inline constexpr uint16_t kIntelE82802AC = 0xAC89;
inline constexpr uint16_t kIntelE82802AB = 0xAD89;
inline constexpr uint16_t kSst49LF004 = 0x58BF;
inline constexpr uint16_t kSst49LF004A = 0x60BF;
inline constexpr uint16_t kSst49LF002A = 0x57BF;
inline constexpr uint16_t kWinbond49V002F = 0x32DA;
inline constexpr uint16_t kSst39VF040 = 0xD7BF;
inline constexpr uint16_t kSst29EE020 = 0x10BF;
}  // namespace chip

}  // namespace varlin
