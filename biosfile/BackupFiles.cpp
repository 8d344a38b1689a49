#include "biosfile/BackupFiles.h"

#include <cstdio>

#include "biosfile/BiosFileMessages.h"
#include "flash/FlashMessages.h"
#include "platform/support/PartialFile.h"

namespace varlin {

DialogResult BackupFiles::AskBackupFileName()
{
    SaveFileDialogOptions options;
    options.defaultExtension = kBackupDefaultExtension;
    options.initialFileName = kBackupInitialFileName;
    options.filter = kBackupFilter;
    options.hideReadOnly = true;
    options.confirmOverwrite = true;
    std::string chosen;
    const DialogResult result = platform.fileDialogs.AskSaveFileName(options, chosen);
    if (result == DialogResult::Ok) backupFilePath = chosen;
    return result;
}

bool BackupFiles::CreateBackupFile(BackupDialogPort& dialog)
{
    MessagePort& messages = platform.messages;
    if (!rom.FlashingAllowed()) {
        messages.ShowMessage(text::kBackupNotSupported);
        return false;
    }
    if (AskBackupFileName() != DialogResult::Ok) return false;

    // The copy goes to a file of its own beside the chosen one, which it
    // replaces only once complete.
    PartialFile partial(backupFilePath);
    RomBackup backup(rom, messages);
    backup.backupFile = partial.Stream();
    if (backup.backupFile == nullptr) {
        messages.ShowMessage(text::kCouldntCreateFile);
        return false;
    }
    backup.backupSize = rom.romInfo.RomSizeBytes();
    backup.backupStart = rom.romInfo.romBase;
    const bool copied = dialog.RunBackupDialog(backup);
    backup.backupFile = nullptr;
    const bool closed = partial.Close();

    if (copied && !closed) messages.ShowMessage(text::kBackupWriteFailed);
    if (!copied || !closed) return false;
    if (!partial.ReplaceTarget()) {
        messages.ShowMessage(text::kCouldntCreateFile);
        return false;
    }
    return true;
}

}  // namespace varlin
