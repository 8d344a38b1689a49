// The ROM device's back end on a real board reached by a flash programmer
// of the host's own: physical addresses become offsets in the chip, whose
// last byte lies just below 4 GiB.
#include <algorithm>
#include <cstring>

#include "flash/RomBackEnd.h"

namespace varlin {

bool ProgrammerBackEnd::ReadLine(uint32_t address, uint8_t* line)
{
    uint32_t failedAt = 0;
    return ReadRange(address, line, kordex::kLineSize, failedAt);
}

bool ProgrammerBackEnd::ReadRange(uint32_t address, uint8_t* buffer, uint32_t length, uint32_t& failedAt)
{
    const uint64_t chipBase = ChipBase();
    const uint64_t end = uint64_t{address} + length;
    // What lies below the chip is no flash: an empty bus reads 0xFF.
    const uint64_t first = std::clamp<uint64_t>(chipBase, address, end);
    std::memset(buffer, 0xFF, static_cast<size_t>(first - address));
    const uint64_t romEnd = std::min<uint64_t>(end, uint64_t{1} << 32);
    if (first >= romEnd) return true;
    if (programmer.ReadChip(static_cast<uint32_t>(first - chipBase), buffer + (first - address),
                            static_cast<uint32_t>(romEnd - first))) {
        return true;
    }
    failedAt = static_cast<uint32_t>(first);
    return false;
}

bool ProgrammerBackEnd::WriteRegion(uint32_t address, const uint8_t* data, uint32_t length)
{
    if (length == 0) return true;
    if (address < ChipBase() || uint64_t{address} + length > uint64_t{1} << 32) return false;
    return programmer.WriteChip(static_cast<uint32_t>(address - ChipBase()), data, length);
}

}  // namespace varlin
