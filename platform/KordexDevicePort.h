// The port to the Kordex kernel driver: the device is opened by path and
// spoken to with device-control requests, each a code, an input block and an
// output block.  The driver itself is not ours; the program relies only on
// the seven requests below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace varlin {

// The device the driver creates, as CreateFileA takes it.
inline constexpr char kKordexDevicePath[] = "\\\\.\\Kordex";

// An open device; kNoDevice is what a failed open gives.
using DeviceHandle = intptr_t;
inline constexpr DeviceHandle kNoDevice = -1;

// The control codes: device type 0x22, buffered, any access, functions from 0x800.
namespace kordex {
inline constexpr uint32_t kReadSegment = 0x222000;   // in: 4-byte physical address; out: 65536 bytes
inline constexpr uint32_t kSetSmiPort = 0x222004;    // in: 2-byte SMI command port
inline constexpr uint32_t kSmiControl = 0x222008;    // in: 2-byte function; out: 16 bytes
inline constexpr uint32_t kSetAddress = 0x222010;    // in: 4-byte physical address
inline constexpr uint32_t kReadBytes = 0x222018;     // out: the 16 ROM bytes at the current address
inline constexpr uint32_t kProgramBytes = 0x22201C;  // in: 16 bytes for the current address; out: 4 bytes
inline constexpr uint32_t kEraseBlock = 0x222020;    // in: block address, block size; out: 4 bytes, status first

inline constexpr size_t kLineSize = 16;  // bytes per read or program request
inline constexpr size_t kSegmentSize = 65536;
inline constexpr uint32_t kSegmentAddress = 0x000F0000;
}  // namespace kordex

class KordexDevicePort {
public:
    virtual ~KordexDevicePort() = default;

    // Opens a device for reading and writing, unshared; kNoDevice on failure.
    virtual DeviceHandle OpenDevice(const std::string& path) = 0;
    virtual void CloseDevice(DeviceHandle device) = 0;

    // One synchronous control request; true when the driver carried it out.
    // `input` and `output` may be the same buffer.
    virtual bool Control(DeviceHandle device, uint32_t code, const uint8_t* input, size_t inputSize, uint8_t* output,
                         size_t outputSize) = 0;
};

}  // namespace varlin
