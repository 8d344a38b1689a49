// "Finished!": the update completed; "BIOS Update completed! Reboot now?"
// OK restarts Windows, Cancel ends the program without a restart.
#pragma once

#include "app/Dialog.h"

namespace varlin {

class CWizardApp;

class CFinishedDialog : public CDialog {
public:
    explicit CFinishedDialog(CWizardApp& app);

    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    CWizardApp& app;
};

}  // namespace varlin
