// Backing up the flash ROM to a file the user names.  The copy goes to a
// temporary file beside the chosen one, which takes its place only when the
// whole ROM is in it: a backup that did not complete leaves nothing that
// looks like one.
#pragma once

#include <string>

#include "flash/RomBackup.h"
#include "flash/RomDevice.h"
#include "platform/PlatformServices.h"

namespace varlin {

class BackupFiles {
public:
    BackupFiles(RomDevice& rom, PlatformServices& platform) : rom(rom), platform(platform) {}

    // The Backup button: asks for a name and runs the backup dialog over the
    // new file.  True when a complete backup now lies at `backupFilePath`;
    // false when the user cancelled (nothing shown) or it failed (told why).
    bool CreateBackupFile(BackupDialogPort& dialog);

    // The Save-As dialog; on Ok the chosen path is kept in `backupFilePath`.
    DialogResult AskBackupFileName();

    std::string backupFilePath;

private:
    RomDevice& rom;
    PlatformServices& platform;
};

}  // namespace varlin
