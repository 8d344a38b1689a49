#include "hosts/win32/Win32KordexDevice.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace varlin::win32 {

namespace {

HANDLE AsHandle(DeviceHandle device) { return reinterpret_cast<HANDLE>(device); }

}  // namespace

// Read and write access, not shared, an existing device only.
DeviceHandle Win32KordexDevice::OpenDevice(const std::string& path)
{
    HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return device == INVALID_HANDLE_VALUE ? kNoDevice : reinterpret_cast<DeviceHandle>(device);
}

void Win32KordexDevice::CloseDevice(DeviceHandle device)
{
    if (device != kNoDevice) CloseHandle(AsHandle(device));
}

bool Win32KordexDevice::Control(DeviceHandle device, uint32_t code, const uint8_t* input, size_t inputSize,
                                uint8_t* output, size_t outputSize)
{
    if (device == kNoDevice) return false;
    // DeviceIoControl takes a writable input pointer; a private copy keeps
    // the caller's input untouched when it is also the output buffer.
    std::vector<uint8_t> in(input, input + (input != nullptr ? inputSize : 0));
    DWORD returned = 0;
    return DeviceIoControl(AsHandle(device), code, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                           output, static_cast<DWORD>(output != nullptr ? outputSize : 0), &returned, nullptr) != 0;
}

}  // namespace varlin::win32
