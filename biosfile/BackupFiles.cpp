#include "biosfile/BackupFiles.h"

#include <cstdio>

#include "biosfile/BiosFileMessages.h"
#include "flash/FlashMessages.h"

namespace varlin {

namespace {

constexpr char kPartialSuffix[] = ".partial";

}  // namespace

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
    if (!rom.romInfo.flashInWindowsAllowed) {
        messages.ShowMessage(text::kBackupNotSupported);
        return false;
    }
    if (AskBackupFileName() != DialogResult::Ok) return false;

    const std::string partialPath = backupFilePath + kPartialSuffix;
    RomBackup backup(rom, messages);
    backup.backupFile = std::fopen(partialPath.c_str(), "w+b");
    if (backup.backupFile == nullptr) {
        messages.ShowMessage(text::kCouldntCreateFile);
        return false;
    }
    backup.backupSize = rom.romInfo.RomSizeBytes();
    backup.backupStart = rom.romInfo.romBase;
    const bool copied = dialog.RunBackupDialog(backup);
    const bool closed = std::fclose(backup.backupFile) == 0;
    backup.backupFile = nullptr;

    if (copied && !closed) messages.ShowMessage(text::kBackupWriteFailed);
    if (!copied || !closed) {
        std::remove(partialPath.c_str());
        return false;
    }
    if (!MoveFileReplacing(partialPath, backupFilePath)) {
        messages.ShowMessage(text::kCouldntCreateFile);
        return false;
    }
    return true;
}

}  // namespace varlin
