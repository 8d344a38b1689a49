// The two ways to the flash ROM: "Flash To Mainboard" builds an image with
// the new logo first, "Update BIOS" takes the user's file.  Both check the
// file against the board, run the Update BIOS dialog, and move the wizard's
// windows out of the way and back.
#include "app/FinishedDialog.h"
#include "app/WizardApp.h"
#include "biosfile/BiosImage.h"
#include "flash/RomDevice.h"
#include "flash/UpdateBiosDialog.h"

namespace varlin {

bool CWizardApp::BuildAndFlash(const std::string& path)
{
    if (!advancedModeDialog.BuildBiosWithLogo()) return false;
    return FlashBios(path);
}

bool CWizardApp::FlashBios(const std::string& path)
{
    CUpdateBiosDialog updateDialog(*this);
    const RomInfo& info = romDevice.romInfo;
    updateDialog.update.romSizeBytes = info.RomSizeBytes();
    updateDialog.update.mainStart = info.romBase;

    // The checks have told the user why they refused.
    if (!biosImage.PrepareBiosFile(path)) return false;

    const bool easyPath = advancedMode == 0;
    if (easyPath && acceptPage.IsWindow()) acceptPage.ShowWindow(ShowCommand::ShowMinimized);

    if (updateDialog.DoModal() == kResultOk) {
        CDialog& page = advancedMode == 1 ? static_cast<CDialog&>(advancedModeDialog) : acceptPage;
        page.ShowWindow(ShowCommand::Hide);
        CFinishedDialog finished(*this);
        finished.DoModal();
        return true;
    }

    // The update told the user what it left behind; the wizard comes back.
    if (easyPath) {
        if (previewDialog.IsWindow()) previewDialog.ShowWindow(ShowCommand::Show);
        if (acceptPage.IsWindow()) acceptPage.ShowWindow(ShowCommand::ShowNormal);
    }
    return false;
}

}  // namespace varlin
