#include "cli/ConsoleDialogs.h"

namespace varlin::cli {

bool ConsoleBackupDialog::RunBackupDialog(RomBackup& backup)
{
    bar.SetStepText("Save Mainboard BIOS");
    const bool copied = backup.CopyRomToFile(bar);
    bar.EndLine();
    return copied;
}

DialogResult ConsoleFileDialog::AskSaveFileName(const SaveFileDialogOptions&, std::string& chosenPath)
{
    return AnswerWithPreset(chosenPath);
}

DialogResult ConsoleFileDialog::AskOpenFileName(const OpenFileDialogOptions&, std::string& chosenPath)
{
    return AnswerWithPreset(chosenPath);
}

DialogResult ConsoleFileDialog::AnswerWithPreset(std::string& chosenPath) const
{
    if (presetPath.empty()) return DialogResult::Cancel;
    chosenPath = presetPath;
    return DialogResult::Ok;
}

}  // namespace varlin::cli
