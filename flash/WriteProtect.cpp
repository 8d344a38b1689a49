// Write protection: the boot-block lock of the chips that have one, and the
// message each chip's kind of protection calls for when the ROM refuses an
// erase.
#include <array>

#include "flash/ChipCatalogue.h"
#include "flash/FlashMessages.h"
#include "flash/RomDevice.h"

namespace varlin {

namespace {

constexpr uint32_t kBootLockBlockSize = 0x1000;  // the lockable top block of the boot region

struct ProtectionMessage {
    Protection protection;
    // Chips with a status register of their own report protection with one
    // status; any other status is no protection, and no message at all.
    bool onlyWithItsStatus;
    const char* text;
};

// The plain text differs from the status-register one by a blank after "ROM".
constexpr std::array<ProtectionMessage, 4> kMessages = {{
    {Protection::Plain, false, text::kFlashRomIsWriteProtected},
    {Protection::StatusRegister, true, text::kFlashIsWriteProtected},
    {Protection::FirmwareHub, true, text::kFwhIsWriteProtected},
    {Protection::LockoutJumpers, false, text::kFwhIsWriteProtected},
}};

}  // namespace

bool RomDevice::BootBlockProtected()
{
    // A programmer that reaches the chip itself knows the chip's locks: it
    // opens them, or the write of the region it could not open fails.
    if (ProgramsChipItself() || !ChipFor(romInfo.chipId).traits.lockableBootBlock) return false;
    SmiOpen();
    const uint32_t lockBlock = romInfo.bootStart + romInfo.bootSize - kBootLockBlockSize;
    const bool locked = EraseBlock(lockBlock, kBootLockBlockSize) && !IsBlockBlank(lockBlock);
    SmiClose();
    return locked;
}

void RomDevice::ShowWriteProtectMessage()
{
    const ChipEntry& chip = ChipFor(romInfo.chipId);
    for (const ProtectionMessage& message : kMessages) {
        if (message.protection != chip.traits.protection) continue;
        if (message.onlyWithItsStatus && eraseStatus != ProtectedEraseStatus(chip)) return;
        messages.ShowSystemMessage(message.text, text::kEraseErrorCaption, {MessageButtons::Ok, false});
        return;
    }
}

}  // namespace varlin
