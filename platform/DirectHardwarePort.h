// The port to the hardware as the Windows 9x family lets a program reach it:
// low physical memory read directly, and the BIOS flash service raised as a
// system-management interrupt by writing a command byte to an I/O port.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varlin {

// The processor registers an SMI takes and gives back.  The command byte sits
// in the low byte of eax and the port in the low half of edx when the SMI is
// raised (an OUT of al to dx).
struct SmiRegisters {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
    uint32_t esi = 0;
    uint32_t edi = 0;
    bool carry = false;
};

class DirectHardwarePort {
public:
    virtual ~DirectHardwarePort() = default;

    // Loads the registers, writes al to port dx and stores the registers and
    // the carry flag as the SMI handler left them.
    virtual void RaiseSmi(SmiRegisters& registers) = 0;

    // One write to port 0xEB, which only lets the bus settle.
    virtual void BusDelay() = 0;

    // Copies low physical memory (below 1 MiB); false when it cannot be reached.
    virtual bool ReadLowMemory(uint32_t address, uint8_t* buffer, size_t length) = 0;
};

}  // namespace varlin
