#include "flash/RomBackup.h"

#include "flash/FlashMessages.h"

namespace varlin {

namespace {

// The bar counts KiB; each block moves it by 4 and the percentage is worked
// out before the block it counts is read.
constexpr uint32_t kPositionPerBlock = kBackupBlockSize / 1024;
constexpr int32_t kPercentPerBlock = 100 * static_cast<int32_t>(kPositionPerBlock);

}  // namespace

bool RomBackup::CopyRomToFile(ProgressPort& progress)
{
    const uint32_t kib = backupSize >> 10;
    progress.SetRange(kib & 0xFFFF);
    progress.SetPosition(0);

    uint32_t address = backupStart;
    uint32_t position = 0;
    int32_t accumulated = 0;
    uint8_t block[kBackupBlockSize];
    for (uint32_t done = 0; done < backupSize; done += kBackupBlockSize) {
        position += kPositionPerBlock;
        accumulated += kPercentPerBlock;
        progress.SetPosition(position);
        // Sizes below 1 KiB have no bar to fill; they are done in one block.
        const int32_t percentage = kib == 0 ? 100 : accumulated / static_cast<int32_t>(kib);
        progress.SetPercentage(static_cast<int16_t>(percentage));
        if (!rom.ReadRom(address, block, sizeof block)) return false;
        if (std::fwrite(block, 1, sizeof block, backupFile) != sizeof block) {
            messages.ShowMessage(text::kBackupWriteFailed);
            return false;
        }
        address += kBackupBlockSize;
    }
    return true;
}

}  // namespace varlin
