#include "app/FinishedDialog.h"

#include "app/WizardApp.h"
#include "resources/ResourceIds.h"

namespace varlin {

namespace {

// Where the question stands on the screen, above every other window.
constexpr int kFinishedX = 240;
constexpr int kFinishedY = 200;

}  // namespace

CFinishedDialog::CFinishedDialog(CWizardApp& app) : CDialog(app.platform.windows, IDD_FINISHED), app(app) {}

void CFinishedDialog::OnInitDialog()
{
    WindowPlacement placement;
    placement.x = kFinishedX;
    placement.y = kFinishedY;
    placement.topmost = true;
    host.PlaceWindow(*this, placement);
}

void CFinishedDialog::OnOK()
{
    app.RebootSystem();
    EndDialog(kResultOk);
}

void CFinishedDialog::OnCancel() { app.QuitProgram(0); }

}  // namespace varlin
