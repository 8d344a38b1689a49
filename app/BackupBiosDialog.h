// The Backup BIOS dialog: the copy of the whole flash ROM into the file the
// caller opened starts with its Backup button and runs to its end inside
// the button's handler, moving the bar and the percentage as it goes.
#pragma once

#include <cstdint>
#include <string>

#include "app/Dialog.h"
#include "flash/RomBackup.h"
#include "platform/ProgressPort.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CBackupBiosDialog : public CDialog, public BackupDialogPort, private ProgressPort {
public:
    explicit CBackupBiosDialog(WindowHost& host) : CDialog(host, IDD_BACKUP_BIOS) {}

    // Runs the dialog modally over `backup`; true when the whole ROM was
    // copied.
    bool RunBackupDialog(RomBackup& backup) override;

    void OnCommand(int id) override;
    // Enter does nothing: only the Backup button starts the copy, and no
    // run can end as a success without one.
    void OnOK() override {}

private:
    void Backup();

    void SetStepText(const std::string& text) override;
    void SetRange(uint32_t upper) override;
    void SetPosition(uint32_t position) override;
    void SetPercentage(int32_t percentage) override;

    RomBackup* backup = nullptr;
    bool copied = false;
};

}  // namespace varlin
