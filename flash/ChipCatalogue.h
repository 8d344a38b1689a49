// The flash chips the BIOS records may name, and what the program must know
// about some of them: how they program and how they show write protection.
// The ROM device and the emulated board both read it here.
#pragma once

#include <cstdint>
#include <span>

namespace varlin {

// How a chip shows that its write protection refused a block erase, and
// which words the user then reads.
enum class Protection : uint8_t {
    Plain,           // any refused erase is protection
    StatusRegister,  // an Intel-style status register: only kEraseFailed is protection
    FirmwareHub,     // a firmware hub: only kEraseBlockLocked is; the lockout-jumper words
    LockoutJumpers,  // a hub-style part: any refused erase is; the lockout-jumper words
};

// What the program must allow for in a chip's behaviour.
struct ChipTraits {
    // Page-write parts erase as they program: they need no erase before
    // programming, so their blank check always passes.
    bool pageWrite = false;
    Protection protection = Protection::Plain;
    // The top 4 KiB of the boot region can be locked on its own; the
    // boot-block test tries to erase it.
    bool lockableBootBlock = false;
};

struct ChipEntry {
    uint8_t makerCode;
    uint8_t deviceCode;
    const char* name;
    ChipTraits traits = {};

    // The id as the segment holds it: maker code in the low byte.
    uint16_t ChipId() const { return static_cast<uint16_t>(makerCode | deviceCode << 8); }
};

// Every entry in catalogue order; the last is the unknown chip.
std::span<const ChipEntry> ChipCatalogue();

// The catalogue entry of a chip id; the unknown chip's for an id it lacks.
const ChipEntry& ChipFor(uint16_t chipId);

// The catalogue name of a chip id, or nullptr when it has none.
const char* ChipName(uint16_t chipId);

// The status a chip's erase of a protected block reports.
uint8_t ProtectedEraseStatus(const ChipEntry& entry);

namespace chip {

// Chip ids the emulated boards and the tests fit.
inline constexpr uint16_t kIntel28F002BXT = 0x7C89;
inline constexpr uint16_t kIntel28F001BXT = 0x9489;
inline constexpr uint16_t kIntelE82802AC = 0xAC89;
inline constexpr uint16_t kIntelE82802AB = 0xAD89;
inline constexpr uint16_t kSst49LF004 = 0x58BF;
inline constexpr uint16_t kSst39VF040 = 0xD7BF;
inline constexpr uint16_t kSst29EE020 = 0x10BF;

// Status bytes of an Intel-style status register after an erase.
inline constexpr uint8_t kEraseDone = 0x80;         // ready, no error
inline constexpr uint8_t kEraseFailed = 0xA0;       // ready, erase error
inline constexpr uint8_t kEraseBlockLocked = 0xA2;  // ready, erase error, block locked

}  // namespace chip

}  // namespace varlin
