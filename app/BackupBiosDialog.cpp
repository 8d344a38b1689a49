#include "app/BackupBiosDialog.h"

#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr int kCancelButton = kResultCancel;  // the button sends the cancel command

}  // namespace

bool CBackupBiosDialog::RunBackupDialog(RomBackup& romBackup)
{
    backup = &romBackup;
    copied = false;
    const int result = DoModal();
    backup = nullptr;
    return result == kResultOk && copied;
}

void CBackupBiosDialog::OnCommand(int id)
{
    if (id == IDC_BACKUP_START) {
        Backup();
        return;
    }
    CDialog::OnCommand(id);
}

// Nothing can be clicked while the copy runs: both buttons go, and the bar
// takes the place of the hint.  A copy that failed has told the user why
// and ends the dialog as cancelled.
void CBackupBiosDialog::Backup()
{
    if (backup == nullptr) return;
    host.SetWaitCursor(true);
    EnableItem(IDC_BACKUP_START, false);
    EnableItem(kCancelButton, false);
    ShowItem(IDC_PRESS_TO_BEGIN, false);
    ShowItem(IDC_BACKUP_PROGRESS, true);
    ShowItem(IDC_BACKUP_START, false);
    ShowItem(kCancelButton, false);
    copied = backup->CopyRomToFile(*this);
    EndDialog(copied ? kResultOk : kResultCancel);
    host.SetWaitCursor(false);
}

void CBackupBiosDialog::SetStepText(const std::string& text) { SetItemText(IDC_STEP_TEXT, text); }

void CBackupBiosDialog::SetRange(uint32_t upper) { host.SetProgressRange(*this, IDC_BACKUP_PROGRESS, upper); }

void CBackupBiosDialog::SetPosition(uint32_t position)
{
    host.SetProgressPosition(*this, IDC_BACKUP_PROGRESS, position);
}

void CBackupBiosDialog::SetPercentage(int32_t percentage)
{
    SetItemText(IDC_BACKUP_PERCENT, FormatText("%d", static_cast<int>(percentage)));
}

}  // namespace varlin
