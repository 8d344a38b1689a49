// The dialogs of the tool: the backup runs at once with the progress bar,
// and the file dialogs are answered from the command line.
#pragma once

#include <string>

#include "cli/ConsoleProgress.h"
#include "flash/RomBackup.h"
#include "platform/FileDialogPort.h"

namespace varlin::cli {

// The backup dialog of the tool: the copy starts at once, with the bar.
class ConsoleBackupDialog : public BackupDialogPort {
public:
    explicit ConsoleBackupDialog(ConsoleProgressBar& bar) : bar(bar) {}
    bool RunBackupDialog(RomBackup& backup) override;

private:
    ConsoleProgressBar& bar;
};

// The file the command line named stands for the user's choice.
class ConsoleFileDialog : public FileDialogPort {
public:
    DialogResult AskSaveFileName(const SaveFileDialogOptions& options, std::string& chosenPath) override;
    DialogResult AskOpenFileName(const OpenFileDialogOptions& options, std::string& chosenPath) override;

    std::string presetPath;  // empty: the dialog is cancelled

private:
    DialogResult AnswerWithPreset(std::string& chosenPath) const;
};

}  // namespace varlin::cli
