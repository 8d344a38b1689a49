// The ROM device's back end on Windows 9x: low memory read directly and the
// BIOS flash service raised as an SMI, its arguments and answers in the
// processor's registers.
#include "flash/FlashSmi.h"
#include "flash/RomBackEnd.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

void SmiBackEnd::RaiseSmi(uint8_t command, SmiRegisters& registers, int busDelays)
{
    registers.eax = (registers.eax & 0xFFFFFF00u) | command;
    registers.edx = (registers.edx & 0xFFFF0000u) | info.smiPort;
    registers.carry = false;
    hardware.RaiseSmi(registers);
    for (int i = 0; i < busDelays; ++i) hardware.BusDelay();
}

bool SmiBackEnd::ReadSegment(uint8_t* segment, size_t size)
{
    return hardware.ReadLowMemory(kordex::kSegmentAddress, segment, size);
}

std::optional<uint8_t> SmiBackEnd::QuerySmiLevel() { return SmiControl(smi::kQueryLevel); }

uint8_t SmiBackEnd::SmiControl(uint8_t function)
{
    SmiRegisters registers;
    registers.eax = static_cast<uint32_t>(function) << 8;
    RaiseSmi(smi::kControl, registers, 0);
    return static_cast<uint8_t>(registers.eax);
}

bool SmiBackEnd::ReadLine(uint32_t address, uint8_t* line)
{
    SmiRegisters registers;
    registers.esi = address;
    RaiseSmi(smi::kRead16, registers, smi::kReadDelays);
    WriteLe32(line, registers.eax);
    WriteLe32(line + 4, registers.ecx);
    WriteLe32(line + 8, registers.edx);
    WriteLe32(line + 12, registers.ebx);
    return !registers.carry;
}

bool SmiBackEnd::ProgramLine(uint32_t address, const uint8_t* line)
{
    // Bytes 8-11 travel in the high halves of EAX and EDX, whose low halves
    // carry the command and the port.
    const uint32_t middle = ReadLe32(line + 8);
    SmiRegisters registers;
    registers.edi = address;
    registers.ebx = ReadLe32(line);
    registers.ecx = ReadLe32(line + 4);
    registers.edx = middle & 0xFFFF0000u;
    registers.eax = middle << 16;
    registers.esi = ReadLe32(line + 12);
    RaiseSmi(smi::kWrite16, registers, smi::kWriteDelays);
    return !registers.carry;
}

EraseOutcome SmiBackEnd::EraseBlock(uint32_t address, uint32_t size, uint16_t& status)
{
    SmiRegisters registers;
    registers.edi = address;
    registers.ecx = size;
    RaiseSmi(smi::kEraseBlock, registers, smi::kEraseDelays);
    if (registers.carry) return EraseOutcome::Refused;
    status = static_cast<uint16_t>(registers.eax);
    return EraseOutcome::Done;
}

}  // namespace varlin
