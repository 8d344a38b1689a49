// The Kordex driver reached through its device: CreateFileA and
// DeviceIoControl, synchronous, without an OVERLAPPED structure.
#pragma once

#include "platform/KordexDevicePort.h"

namespace varlin::win32 {

class Win32KordexDevice : public KordexDevicePort {
public:
    DeviceHandle OpenDevice(const std::string& path) override;
    void CloseDevice(DeviceHandle device) override;
    bool Control(DeviceHandle device, uint32_t code, const uint8_t* input, size_t inputSize, uint8_t* output,
                 size_t outputSize) override;
};

}  // namespace varlin::win32
