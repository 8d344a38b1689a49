// The ROM primitives: read, program, block erase, blank check and the BIOS
// flash-access calls, through the driver or through the SMI.
#include <cstring>

#include "flash/ChipCatalogue.h"
#include "flash/FlashMessages.h"
#include "flash/RomDevice.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr size_t kLine = kordex::kLineSize;
constexpr uint32_t kBlankCheckLength = 64;
constexpr int kBlankCheckWords = 3;  // the first three 32-bit words tell a blank block

}  // namespace

void RomDevice::ShowRequestFailed(const char* what, uint32_t address)
{
    platform.messages.ShowMessage(what + FormatText(text::kRomAddressFormat, static_cast<unsigned>(address)));
}

void RomDevice::RaiseSmi(uint8_t command, SmiRegisters& registers, int busDelays)
{
    registers.eax = (registers.eax & 0xFFFFFF00u) | command;
    registers.edx = (registers.edx & 0xFFFF0000u) | romInfo.smiPort;
    registers.carry = false;
    platform.hardware.RaiseSmi(registers);
    for (int i = 0; i < busDelays; ++i) platform.hardware.BusDelay();
}

uint8_t RomDevice::SmiControl(uint8_t function)
{
    if (romInfo.DriverMode()) {
        uint8_t buffer[kLine] = {function, 0};
        platform.kordex.Control(romInfo.deviceHandle, kordex::kSmiControl, buffer, 2, buffer, sizeof buffer);
        return buffer[0];
    }
    SmiRegisters registers;
    registers.eax = static_cast<uint32_t>(function) << 8;
    RaiseSmi(smi::kControl, registers, 0);
    return static_cast<uint8_t>(registers.eax);
}

void RomDevice::SmiOpen()
{
    if (romInfo.smiLevel >= smi::kLevelNeedingOpen) SmiControl(smi::kOpenFlashAccess);
}

void RomDevice::SmiClose()
{
    if (romInfo.smiLevel >= smi::kLevelNeedingOpen) SmiControl(smi::kCloseFlashAccess);
}

bool RomDevice::SetDriverAddress(uint32_t address)
{
    uint8_t input[4];
    WriteLe32(input, address);
    return platform.kordex.Control(romInfo.deviceHandle, kordex::kSetAddress, input, sizeof input, nullptr, 0);
}

bool RomDevice::ReadLine(uint32_t address, uint8_t* line)
{
    if (romInfo.DriverMode()) {
        return platform.kordex.Control(romInfo.deviceHandle, kordex::kReadBytes, nullptr, 0, line, kLine);
    }
    SmiRegisters registers;
    registers.esi = address;
    RaiseSmi(smi::kRead16, registers, smi::kReadDelays);
    WriteLe32(line, registers.eax);
    WriteLe32(line + 4, registers.ecx);
    WriteLe32(line + 8, registers.edx);
    WriteLe32(line + 12, registers.ebx);
    return !registers.carry;
}

bool RomDevice::ProgramLine(uint32_t address, const uint8_t* line)
{
    if (romInfo.DriverMode()) {
        uint8_t reply[4];
        return platform.kordex.Control(romInfo.deviceHandle, kordex::kProgramBytes, line, kLine, reply,
                                       sizeof reply);
    }
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

bool RomDevice::ReadRom(uint32_t address, uint8_t* buffer, uint32_t length)
{
    if (romInfo.DriverMode() && !SetDriverAddress(address)) {
        ShowRequestFailed(text::kRomReadFailed, address);
        return false;
    }
    for (uint32_t done = 0; done < length; done += kLine) {
        uint8_t line[kLine];
        if (!ReadLine(address + done, line)) {
            ShowRequestFailed(text::kRomReadFailed, address + done);
            return false;
        }
        std::memcpy(buffer + done, line, length - done < kLine ? length - done : kLine);
    }
    return true;
}

bool RomDevice::ProgramRom(uint32_t address, const uint8_t* buffer, uint32_t length)
{
    if (romInfo.DriverMode() && !SetDriverAddress(address)) {
        ShowRequestFailed(text::kRomProgramFailed, address);
        return false;
    }
    for (uint32_t done = 0; done < length; done += kLine) {
        uint8_t line[kLine];
        std::memset(line, 0xFF, sizeof line);  // past the end: bits programming leaves alone
        std::memcpy(line, buffer + done, length - done < kLine ? length - done : kLine);
        if (!ProgramLine(address + done, line)) {
            ShowRequestFailed(text::kRomProgramFailed, address + done);
            return false;
        }
    }
    return true;
}

bool RomDevice::EraseBlock(uint32_t address, uint32_t size)
{
    if (romInfo.DriverMode()) {
        uint8_t input[8];
        WriteLe32(input, address);
        WriteLe32(input + 4, size);
        uint8_t reply[4] = {};
        if (!platform.kordex.Control(romInfo.deviceHandle, kordex::kEraseBlock, input, sizeof input, reply,
                                     sizeof reply)) {
            ShowRequestFailed(text::kRomEraseFailed, address);
            return false;
        }
        eraseStatus = reply[0];
        return true;
    }
    SmiRegisters registers;
    registers.edi = address;
    registers.ecx = size;
    RaiseSmi(smi::kEraseBlock, registers, smi::kEraseDelays);
    if (registers.carry) {
        platform.messages.ShowMessage(text::kDisableCmosWriteProtect);
        return false;
    }
    eraseStatus = static_cast<uint16_t>(registers.eax);
    return true;
}

bool RomDevice::BlockStartingAt(uint64_t address, uint32_t& n) const
{
    if (address < romInfo.romBase) return false;
    // Walk the table from the ROM's first block to the one that starts at
    // `address`; an address inside a block or past the table has none.
    n = 1;
    for (uint64_t distance = address - romInfo.romBase; distance != 0; ++n) {
        const uint32_t size = BlockSize(n);
        if (size == 0 || size > distance) return false;
        distance -= size;
    }
    return true;
}

bool RomDevice::EraseRange(uint32_t start, uint32_t length)
{
    uint32_t n = 0;
    if (!BlockStartingAt(start, n)) return false;

    uint32_t address = start;
    for (uint32_t covered = 0; covered < length; ++n) {
        const uint32_t size = BlockSize(n);
        if (size == 0) return false;
        if (!EraseBlock(address, size) || !IsBlockBlank(address)) return false;
        address += size;
        covered += size;
    }
    return true;
}

bool RomDevice::IsBlockBlank(uint32_t address)
{
    if (IsPageWriteChip(romInfo.chipId)) return true;
    uint8_t head[kBlankCheckLength];
    if (!ReadRom(address, head, sizeof head)) return false;
    for (int word = 0; word < kBlankCheckWords; ++word) {
        if (ReadLe32(head + 4 * word) != 0xFFFFFFFFu) return false;
    }
    return true;
}

}  // namespace varlin
