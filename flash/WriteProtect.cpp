// Write protection: the SST 49LF004's boot-block lock and the message each
// chip family calls for when the ROM refuses an erase.
#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "flash/ChipCatalogue.h"
#include "flash/FlashMessages.h"
#include "flash/RomDevice.h"

namespace varlin {

namespace {

constexpr uint32_t kBootLockBlockSize = 0x1000;  // the lockable top block of the boot region

// Intel-style status registers report a refused erase with a status of their
// own; for the other chips any refusal means protection.
constexpr uint16_t kBootBlockParts[] = {chip::kIntel28F002BXT, chip::kCsiCat28F002T, chip::kCsiCat28F001P,
                                        chip::kIntel28F001BXT};
constexpr uint16_t kFirmwareHubs[] = {chip::kIntelE82802AC, chip::kIntelE82802AB};
constexpr uint16_t kLockableParts[] = {chip::kSst49LF004, chip::kWinbond49V002F, chip::kSst49LF002A,
                                       chip::kSst49LF004A};

struct WriteProtectRule {
    std::span<const uint16_t> chips;
    std::optional<uint16_t> onlyWithStatus;  // other statuses: no message at all
    const char* text;
};

constexpr std::array<WriteProtectRule, 3> kRules = {{
    {kBootBlockParts, 0xA0, text::kFlashIsWriteProtected},
    {kFirmwareHubs, 0xA2, text::kFwhIsWriteProtected},
    {kLockableParts, std::nullopt, text::kFwhIsWriteProtected},
}};

}  // namespace

bool RomDevice::BootBlockProtected()
{
    if (romInfo.chipId != chip::kSst49LF004) return false;
    SmiOpen();
    const uint32_t lockBlock = romInfo.bootStart + romInfo.bootSize - kBootLockBlockSize;
    const bool locked = EraseBlock(lockBlock, kBootLockBlockSize) && !IsBlockBlank(lockBlock);
    SmiClose();
    return locked;
}

void RomDevice::ShowWriteProtectMessage()
{
    const char* message = text::kFlashRomIsWriteProtected;
    for (const WriteProtectRule& rule : kRules) {
        if (std::find(rule.chips.begin(), rule.chips.end(), romInfo.chipId) == rule.chips.end()) continue;
        if (rule.onlyWithStatus && eraseStatus != *rule.onlyWithStatus) return;
        message = rule.text;
        break;
    }
    messages.ShowSystemMessage(message, text::kEraseErrorCaption, {MessageButtons::Ok, false});
}

}  // namespace varlin
