#include "app/UpdateBiosDialog.h"

#include <string>

#include "app/WizardApp.h"
#include "resources/ResourceIds.h"

namespace varlin {

namespace {

// The Cancel button has the id Escape and the close box send.
constexpr int kCancelButton = kResultCancel;

}  // namespace

CUpdateBiosDialog::CUpdateBiosDialog(CWizardApp& app)
    : CDialog(app.platform.windows, IDD_UPDATE_BIOS), update(app.romDevice, app.platform.messages, *this), app(app)
{
}

void CUpdateBiosDialog::OnInitDialog()
{
    ShowItem(IDC_UPDATE_ICON, false);
    ShowItem(IDC_PLEASE_WAIT, false);
}

void CUpdateBiosDialog::OnCommand(int id)
{
    if (id == IDC_UPDATE_START) {
        OnUpdate();
        return;
    }
    CDialog::OnCommand(id);
}

void CUpdateBiosDialog::OnCancel() { app.QuitProgram(0); }

void CUpdateBiosDialog::OnUpdate()
{
    host.SetWaitCursor(true);
    ShowItem(IDC_UPDATE_ICON, true);
    ShowItem(IDC_PLEASE_WAIT, true);
    ShowItem(IDC_UPDATE_START, false);
    ShowItem(kCancelButton, false);
    ShowItem(IDC_PRESS_TO_BEGIN, false);
    host.RedrawNow(*this);
    // Nothing may cover the dialog or slow the update down while the ROM
    // is being rewritten.
    WindowPlacement topmost;
    topmost.keepPosition = true;
    topmost.topmost = true;
    host.PlaceWindow(*this, topmost);
    SystemPort& system = app.platform.system;
    system.SetUiThreadPriority(ThreadPriority::TimeCritical);
    ShowItem(IDC_UPDATE_PROGRESS, true);

    const bool updated = image != nullptr && update.UpdateRom(*image);

    system.SetUiThreadPriority(ThreadPriority::Normal);
    EndDialog(updated ? kResultOk : kUpdateFailed);
    ShowItem(IDC_UPDATE_PROGRESS, false);
    host.SetWaitCursor(false);
}

void CUpdateBiosDialog::SetStepText(const std::string& text)
{
    SetItemText(IDC_STEP_TEXT, text);
    ShowItem(IDC_STEP_TEXT, true);
}

void CUpdateBiosDialog::SetRange(uint32_t upper) { host.SetProgressRange(*this, IDC_UPDATE_PROGRESS, upper); }

void CUpdateBiosDialog::SetPosition(uint32_t position)
{
    host.SetProgressPosition(*this, IDC_UPDATE_PROGRESS, position);
}

void CUpdateBiosDialog::SetPercentage(int32_t percentage)
{
    SetItemText(IDC_UPDATE_PERCENT, std::to_string(percentage));
}

}  // namespace varlin
