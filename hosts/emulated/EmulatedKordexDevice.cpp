#include "hosts/emulated/EmulatedKordexDevice.h"

#include <algorithm>
#include <cstring>

#include "platform/support/ByteOrder.h"

namespace varlin::emulated {

namespace {

constexpr size_t kLine = kordex::kLineSize;

}  // namespace

DeviceHandle EmulatedKordexDevice::OpenDevice(const std::string& path)
{
    if (board == nullptr || path != kKordexDevicePath || (driverRunning && !driverRunning())) return kNoDevice;
    openHandles.push_back(nextHandle);
    return nextHandle++;
}

void EmulatedKordexDevice::CloseDevice(DeviceHandle device)
{
    openHandles.erase(std::remove(openHandles.begin(), openHandles.end(), device), openHandles.end());
}

size_t EmulatedKordexDevice::CountOf(uint32_t code) const
{
    return static_cast<size_t>(std::count(requests.begin(), requests.end(), code));
}

bool EmulatedKordexDevice::Control(DeviceHandle device, uint32_t code, const uint8_t* input, size_t inputSize,
                                   uint8_t* output, size_t outputSize)
{
    requests.push_back(code);
    if (board == nullptr || std::find(openHandles.begin(), openHandles.end(), device) == openHandles.end())
        return false;
    return Answer(code, input, inputSize, output, outputSize);
}

bool EmulatedKordexDevice::Answer(uint32_t code, const uint8_t* input, size_t inputSize, uint8_t* output,
                                  size_t outputSize)
{
    switch (code) {
    case kordex::kReadSegment: {
        if (inputSize < 4 || ReadLe32(input) != kSegmentBase || outputSize < kSegmentSize) return false;
        std::copy(board->Segment().begin(), board->Segment().end(), output);
        return true;
    }
    case kordex::kSetSmiPort:
        if (inputSize < 2) return false;
        smiPort = ReadLe16(input);
        return true;
    case kordex::kSmiControl: {
        if (inputSize < 2 || outputSize < kLine) return false;
        const uint8_t function = input[0];
        // The SMI reaches the BIOS only through the port it listens on.
        const uint8_t level = smiPort == board->Settings().smiPort ? board->SmiControl(function) : 0xFF;
        std::memset(output, 0, kLine);
        output[0] = level;
        return true;
    }
    case kordex::kSetAddress:
        if (inputSize < 4) return false;
        currentAddress = ReadLe32(input);
        return true;
    case kordex::kReadBytes:
        if (outputSize < kLine || !board->Read(currentAddress, output, kLine)) return false;
        currentAddress += kLine;
        return true;
    case kordex::kProgramBytes:
        if (inputSize < kLine || !board->Program(currentAddress, input, kLine)) return false;
        if (outputSize >= 4) std::memset(output, 0, 4);
        currentAddress += kLine;
        return true;
    case kordex::kEraseBlock: {
        uint8_t status = 0;
        if (inputSize < 8 || outputSize < 1 || !board->Erase(ReadLe32(input), ReadLe32(input + 4), status)) {
            return false;
        }
        std::memset(output, 0, std::min<size_t>(outputSize, 4));
        output[0] = status;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace varlin::emulated
