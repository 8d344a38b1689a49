// The Backup BIOS dialog's work: the whole flash ROM copied into an open
// file, 4096 bytes at a time, with a progress bar and a percentage.
#pragma once

#include <cstdint>
#include <cstdio>

#include "flash/RomDevice.h"
#include "platform/MessagePort.h"
#include "platform/ProgressPort.h"

namespace varlin {

inline constexpr uint32_t kBackupBlockSize = 4096;

class RomBackup {
public:
    RomBackup(RomDevice& rom, MessagePort& messages) : rom(rom), messages(messages) {}

    // What the Backup button does: file offset k gets the ROM byte at
    // backupStart + k.  False (after telling the user) when a read or a
    // write failed; the file then holds only part of the ROM.
    bool CopyRomToFile(ProgressPort& progress);

    uint32_t backupSize = 0;   // bytes to copy
    uint32_t backupStart = 0;  // physical address of the first
    std::FILE* backupFile = nullptr;

private:
    RomDevice& rom;
    MessagePort& messages;
};

// The window the copy runs in: the Windows dialog waits for its Backup
// button, the console tool starts at once.  True when the copy ran and
// completed; false when it was cancelled before starting or failed.
class BackupDialogPort {
public:
    virtual ~BackupDialogPort() = default;
    virtual bool RunBackupDialog(RomBackup& backup) = 0;
};

}  // namespace varlin
