// The Update BIOS dialog: "Press Update button to begin."  Its Update
// button runs the whole update inside the handler, with the dialog topmost
// and the thread at time-critical priority, and ends the dialog with OK
// only when every region was programmed and verified.  Its Cancel ends the
// program; Enter does nothing.
#pragma once

#include "app/Dialog.h"
#include "flash/RomUpdate.h"
#include "platform/support/Files.h"
#include "platform/ProgressPort.h"

namespace varlin {

class CWizardApp;

// The result of an update that did not complete.
inline constexpr int kUpdateFailed = 0;

class CUpdateBiosDialog : public CDialog, private ProgressPort {
public:
    explicit CUpdateBiosDialog(CWizardApp& app);

    void OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override {}
    void OnCancel() override;

    // The Update button.
    void OnUpdate();

    RomUpdate update;
    const Bytes* image = nullptr;  // what the Update button programs

private:
    // The step text, the bar and the percentage number of the dialog.
    void SetStepText(const std::string& text) override;
    void SetRange(uint32_t upper) override;
    void SetPosition(uint32_t position) override;
    void SetPercentage(int32_t percentage) override;

    CWizardApp& app;
};

}  // namespace varlin
