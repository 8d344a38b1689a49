// Direct hardware access over an emulated board: low memory shows the BIOS
// segment, and the BIOS flash SMI answers its register protocol on the
// board's SMI port, from the same flash as the emulated driver.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/DirectHardwarePort.h"
#include "hosts/emulated/EmulatedBoard.h"

namespace varlin::emulated {

class EmulatedDirectHardware : public DirectHardwarePort {
public:
    void RaiseSmi(SmiRegisters& registers) override;
    void BusDelay() override { ++busDelays; }
    bool ReadLowMemory(uint32_t address, uint8_t* buffer, size_t length) override;

    // How many SMIs of this command were raised on the board's port.
    size_t CountOf(uint8_t command) const;

    EmulatedBoard* board = nullptr;
    std::vector<uint8_t> smiCommands;  // every command raised on the board's port, in order
    size_t busDelays = 0;
};

}  // namespace varlin::emulated
