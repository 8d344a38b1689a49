#include "hosts/emulated/EmulatedDirectHardware.h"

#include <algorithm>

#include "flash/FlashSmi.h"
#include "platform/support/ByteOrder.h"

namespace varlin::emulated {

size_t EmulatedDirectHardware::CountOf(uint8_t command) const
{
    return static_cast<size_t>(std::count(smiCommands.begin(), smiCommands.end(), command));
}

bool EmulatedDirectHardware::ReadLowMemory(uint32_t address, uint8_t* buffer, size_t length)
{
    if (board == nullptr || address < kSegmentBase || uint64_t{address} + length > kSegmentBase + kSegmentSize) {
        return false;
    }
    std::copy_n(board->Segment().begin() + (address - kSegmentBase), length, buffer);
    return true;
}

void EmulatedDirectHardware::RaiseSmi(SmiRegisters& r)
{
    // A write to any other port raises nothing and leaves the registers.
    if (board == nullptr || (r.edx & 0xFFFF) != board->Settings().smiPort) return;
    const uint8_t command = static_cast<uint8_t>(r.eax);
    smiCommands.push_back(command);
    const bool writable = board->Settings().smiLevel < smi::kLevelNeedingOpen || board->FlashAccessOpen();

    switch (command) {
    case smi::kControl:
        r.eax = (r.eax & 0xFFFFFF00u) | board->SmiControl(static_cast<uint8_t>(r.eax >> 8));
        r.carry = false;
        return;
    case smi::kRead16: {
        uint8_t line[16];
        r.carry = !board->Read(r.esi, line, sizeof line);
        if (r.carry) return;
        r.eax = ReadLe32(line);
        r.ecx = ReadLe32(line + 4);
        r.edx = ReadLe32(line + 8);
        r.ebx = ReadLe32(line + 12);
        return;
    }
    case smi::kEraseBlock: {
        uint8_t status = 0;
        r.carry = !writable || !board->Erase(r.edi, r.ecx, status);
        if (!r.carry) r.eax = (r.eax & 0xFFFF0000u) | status;
        return;
    }
    case smi::kWrite16: {
        uint8_t line[16];
        WriteLe32(line, r.ebx);
        WriteLe32(line + 4, r.ecx);
        WriteLe32(line + 8, (r.edx & 0xFFFF0000u) | (r.eax >> 16));
        WriteLe32(line + 12, r.esi);
        r.carry = !writable || !board->Program(r.edi, line, sizeof line);
        return;
    }
    default:
        r.carry = true;
        return;
    }
}

}  // namespace varlin::emulated
