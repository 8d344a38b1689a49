// The two ways to the flash ROM: "Flash To Mainboard" builds an image with
// the new logo first, "Update BIOS" takes the user's file.  Both run the
// update through the Update BIOS dialog and move the wizard's windows out
// of the way and back.
#include "app/FinishedDialog.h"
#include "app/UpdateBiosDialog.h"
#include "app/WizardApp.h"
#include "biosfile/BiosUpdate.h"
#include "flash/RomDevice.h"

namespace varlin {

namespace {

// The wizard's windows around an update.
class WizardUpdateSteps : public UpdateSteps {
public:
    WizardUpdateSteps(CWizardApp& app, CUpdateBiosDialog& dialog) : app(app), dialog(dialog) {}

    void FileAccepted() override
    {
        if (EasyPath() && app.acceptPage.IsWindow()) app.acceptPage.ShowWindow(ShowCommand::ShowMinimized);
    }

    bool RunUpdate(RomUpdate& update, const Bytes& image) override
    {
        (void)update;  // the dialog's own, run by its Update button
        dialog.image = &image;
        return dialog.DoModal() == kResultOk;
    }

    void UpdateCompleted() override
    {
        CDialog& page = EasyPath() ? static_cast<CDialog&>(app.acceptPage) : app.advancedModeDialog;
        page.ShowWindow(ShowCommand::Hide);
        CFinishedDialog finished(app);
        finished.DoModal();
    }

    // The update told the user what it left behind; the wizard comes back.
    void UpdateStopped() override
    {
        if (!EasyPath()) return;
        if (app.previewDialog.IsWindow()) app.previewDialog.ShowWindow(ShowCommand::Show);
        if (app.acceptPage.IsWindow()) app.acceptPage.ShowWindow(ShowCommand::ShowNormal);
    }

private:
    bool EasyPath() const { return app.advancedMode == 0; }

    CWizardApp& app;
    CUpdateBiosDialog& dialog;
};

}  // namespace

bool CWizardApp::BuildAndFlash(const LogoJob& job)
{
    if (!logoBuild.BuildBiosWithLogo(job)) return false;
    return FlashBios(job.outputPath.empty() ? job.workImagePath : job.outputPath);
}

bool CWizardApp::FlashBios(const std::string& path)
{
    CUpdateBiosDialog updateDialog(*this);
    WizardUpdateSteps steps(*this, updateDialog);
    return UpdateBiosFromFile(path, romDevice.romInfo, biosImage, updateDialog.update, steps);
}

}  // namespace varlin
