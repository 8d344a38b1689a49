// The ROM device's back end on the NT family: the Kordex driver's requests.
// The driver keeps a current address of its own: a run of line reads or
// programs starts with one set-address request and goes on from there.
#include "flash/FlashSmi.h"
#include "flash/RomBackEnd.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

bool DriverBackEnd::ReadSegment(uint8_t* segment, size_t size)
{
    uint8_t address[4];
    WriteLe32(address, kordex::kSegmentAddress);
    return device.Control(info.deviceHandle, kordex::kReadSegment, address, sizeof address, segment, size);
}

std::optional<uint8_t> DriverBackEnd::QuerySmiLevel()
{
    uint8_t port[2];
    WriteLe16(port, info.smiPort);
    device.Control(info.deviceHandle, kordex::kSetSmiPort, port, sizeof port, nullptr, 0);
    SmiControl(smi::kQueryLevel);  // the driver's reply is not a level the program may trust
    return std::nullopt;
}

uint8_t DriverBackEnd::SmiControl(uint8_t function)
{
    uint8_t buffer[kordex::kLineSize] = {function, 0};
    device.Control(info.deviceHandle, kordex::kSmiControl, buffer, 2, buffer, sizeof buffer);
    return buffer[0];
}

bool DriverBackEnd::StartLines(uint32_t address)
{
    uint8_t input[4];
    WriteLe32(input, address);
    return device.Control(info.deviceHandle, kordex::kSetAddress, input, sizeof input, nullptr, 0);
}

bool DriverBackEnd::ReadLine(uint32_t, uint8_t* line)
{
    return device.Control(info.deviceHandle, kordex::kReadBytes, nullptr, 0, line, kordex::kLineSize);
}

bool DriverBackEnd::ProgramLine(uint32_t, const uint8_t* line)
{
    uint8_t reply[4];
    return device.Control(info.deviceHandle, kordex::kProgramBytes, line, kordex::kLineSize, reply, sizeof reply);
}

EraseOutcome DriverBackEnd::EraseBlock(uint32_t address, uint32_t size, uint16_t& status)
{
    uint8_t input[8];
    WriteLe32(input, address);
    WriteLe32(input + 4, size);
    uint8_t reply[4] = {};
    if (!device.Control(info.deviceHandle, kordex::kEraseBlock, input, sizeof input, reply, sizeof reply)) {
        return EraseOutcome::RequestFailed;
    }
    status = reply[0];
    return EraseOutcome::Done;
}

}  // namespace varlin
