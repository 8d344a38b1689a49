// The ROM primitives: read, program, block erase, blank check and the BIOS
// flash-access calls, over whichever back end start-up chose.
#include <cstring>

#include "flash/ChipCatalogue.h"
#include "flash/FlashMessages.h"
#include "flash/FlashSmi.h"
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
    messages.ShowMessage(what + FormatText(text::kRomAddressFormat, static_cast<unsigned>(address)));
}

void RomDevice::SmiOpen()
{
    if (romInfo.smiLevel >= smi::kLevelNeedingOpen) backEnd->SmiControl(smi::kOpenFlashAccess);
}

void RomDevice::SmiClose()
{
    if (romInfo.smiLevel >= smi::kLevelNeedingOpen) backEnd->SmiControl(smi::kCloseFlashAccess);
}

bool RomBackEnd::ReadRange(uint32_t address, uint8_t* buffer, uint32_t length, uint32_t& failedAt)
{
    failedAt = address;
    if (!StartLines(address)) return false;
    for (uint32_t done = 0; done < length; done += kLine) {
        uint8_t line[kLine];
        failedAt = address + done;
        if (!ReadLine(address + done, line)) return false;
        std::memcpy(buffer + done, line, length - done < kLine ? length - done : kLine);
    }
    return true;
}

bool RomDevice::ReadRom(uint32_t address, uint8_t* buffer, uint32_t length)
{
    uint32_t failedAt = address;
    if (backEnd->ReadRange(address, buffer, length, failedAt)) return true;
    ShowRequestFailed(text::kRomReadFailed, failedAt);
    return false;
}

bool RomDevice::ProgramRom(uint32_t address, const uint8_t* buffer, uint32_t length)
{
    if (!backEnd->StartLines(address)) {
        ShowRequestFailed(text::kRomProgramFailed, address);
        return false;
    }
    for (uint32_t done = 0; done < length; done += kLine) {
        uint8_t line[kLine];
        std::memset(line, 0xFF, sizeof line);  // past the end: bits programming leaves alone
        std::memcpy(line, buffer + done, length - done < kLine ? length - done : kLine);
        if (!backEnd->ProgramLine(address + done, line)) {
            ShowRequestFailed(text::kRomProgramFailed, address + done);
            return false;
        }
    }
    return true;
}

bool RomDevice::WriteRegion(uint32_t address, const uint8_t* data, uint32_t length)
{
    if (backEnd->WriteRegion(address, data, length)) return true;
    ShowRequestFailed(text::kRomProgramFailed, address);
    return false;
}

bool RomDevice::EraseBlock(uint32_t address, uint32_t size)
{
    switch (backEnd->EraseBlock(address, size, eraseStatus)) {
    case EraseOutcome::Done:
        return true;
    case EraseOutcome::RequestFailed:
        ShowRequestFailed(text::kRomEraseFailed, address);
        return false;
    case EraseOutcome::Refused:
        messages.ShowMessage(text::kDisableCmosWriteProtect);
        return false;
    }
    return false;
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
    if (ChipFor(romInfo.chipId).traits.pageWrite) return true;
    uint8_t head[kBlankCheckLength];
    if (!ReadRom(address, head, sizeof head)) return false;
    for (int word = 0; word < kBlankCheckWords; ++word) {
        if (ReadLe32(head + 4 * word) != 0xFFFFFFFFu) return false;
    }
    return true;
}

}  // namespace varlin
