// The hardware as the Windows 9x family lets a program reach it: low
// physical memory is mapped at the same linear addresses, and I/O port
// writes from ring 3 are allowed.  Only the 32-bit program can run there;
// the 64-bit one always works through the driver, and its direct port
// refuses.
#pragma once

#include "platform/DirectHardwarePort.h"

namespace varlin::win32 {

class Win32DirectHardware : public DirectHardwarePort {
public:
    void RaiseSmi(SmiRegisters& registers) override;
    void BusDelay() override;
    bool ReadLowMemory(uint32_t address, uint8_t* buffer, size_t length) override;
};

}  // namespace varlin::win32
