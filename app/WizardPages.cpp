#include "app/WizardPages.h"

#include "app/AboutDialog.h"
#include "app/BackupBiosDialog.h"
#include "app/WizardApp.h"
#include "biosfile/BackupFiles.h"

namespace varlin {

namespace {

constexpr char kStartPageCaption[] = "VARLIN";

}  // namespace

CWizardPage::CWizardPage(CWizardApp& app, int templateId) : CDialog(app.platform.windows, templateId), app(app) {}

void CWizardPage::Run()
{
    if (IsWindow()) {
        ShowWindow(ShowCommand::Show);
    } else {
        DoModal();
    }
}

bool CWizardPage::OnSysCommand(int command)
{
    if ((command & 0xFFF0) != kAboutCommand) return false;
    CAboutDialog about(host);
    about.DoModal();
    return true;
}

void CWizardPage::OnCancel() { app.QuitProgram(0); }

void CStartPage::OnInitDialog()
{
    SetUpWindowFrame();
    host.SetCaption(*this, kStartPageCaption);
    if (!app.biosFileFound) EnableItem(IDC_PAGE_NEXT, false);
}

void CStartPage::OnCommand(int id)
{
    switch (id) {
    case IDC_PAGE_ADVANCED:
        app.advancedMode = 1;
        host.SetMainWindow(app.advancedPage);
        ShowWindow(ShowCommand::Hide);
        app.advancedPage.Run();
        break;
    case IDC_PAGE_EXIT:
        OnCancel();
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

void CAdvancedPage::OnInitDialog()
{
    SetUpWindowFrame();
    if (!app.biosFileFound) EnableItem(IDC_PAGE_NEXT, false);
}

void CAdvancedPage::OnCommand(int id)
{
    switch (id) {
    case IDC_PAGE_BACKUP: {
        BackupFiles files(app.romDevice, app.platform);
        CBackupBiosDialog dialog(host);
        files.CreateBackupFile(dialog);
        break;
    }
    case IDC_PAGE_BACK:
        ShowWindow(ShowCommand::Hide);
        EndDialog(kResultCancel);
        app.startPage.ShowWindow(ShowCommand::Restore);
        host.SetMainWindow(app.startPage);
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

void CAdvancedPage::OnCancel()
{
    EndDialog(kResultCancel);
    CWizardPage::OnCancel();
}

}  // namespace varlin
