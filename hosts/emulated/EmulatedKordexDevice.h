// The Kordex driver over an emulated board: it answers the seven device
// requests exactly as the real driver does, and records every request so
// tests can check what the program sent.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/KordexDevicePort.h"
#include "hosts/emulated/EmulatedBoard.h"

namespace varlin::emulated {

class EmulatedKordexDevice : public KordexDevicePort {
public:
    DeviceHandle OpenDevice(const std::string& path) override;
    void CloseDevice(DeviceHandle device) override;
    bool Control(DeviceHandle device, uint32_t code, const uint8_t* input, size_t inputSize, uint8_t* output,
                 size_t outputSize) override;

    // How many requests of this code were received.
    size_t CountOf(uint32_t code) const;

    EmulatedBoard* board = nullptr;       // none: there is no device to open
    std::function<bool()> driverRunning;  // unset: the driver always runs
    std::vector<uint32_t> requests;       // every control code received, in order

private:
    bool Answer(uint32_t code, const uint8_t* input, size_t inputSize, uint8_t* output, size_t outputSize);

    std::vector<DeviceHandle> openHandles;
    DeviceHandle nextHandle = 1;
    uint32_t currentAddress = 0;
    uint16_t smiPort = 0;
};

}  // namespace varlin::emulated
