#include "app/WizardPages.h"

#include "app/AboutDialog.h"
#include "app/BackupBiosDialog.h"
#include "app/WarningDialog.h"
#include "app/WizardApp.h"
#include "biosfile/BackupFiles.h"

namespace varlin {

namespace {

constexpr char kStartPageCaption[] = "VARLIN";
constexpr char kPictureFilter[] = "Picture Files(*.bmp;*.jpg;*.jpeg)|*.jpg;*.jpeg;*.bmp|";
constexpr char kBiosFilter[] = "Bios Files(*.bin)|*.bin|";
constexpr char kPictureFolder[] = "picture";

// Where the accept page stands: below and right of the others' places.
constexpr int kAcceptPageX = 390;
constexpr int kAcceptPageY = 350;

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

void CWizardPage::OnCommand(int id)
{
    if (id == IDC_PAGE_EXIT) {
        OnCancel();
        return;
    }
    CDialog::OnCommand(id);
}

void CWizardPage::OnCancel() { app.QuitProgram(0); }

void CWizardPage::ReturnTo(CDialog& previous, ShowCommand how)
{
    ShowWindow(ShowCommand::Hide);
    EndDialog(kResultCancel);  // the plain end of the run, not the program's
    previous.ShowWindow(how);
}

void CStartPage::OnInitDialog()
{
    SetUpWindowFrame();
    host.SetCaption(*this, kStartPageCaption);
    if (!app.biosFileFound) EnableItem(IDC_PAGE_NEXT, false);
}

void CStartPage::OnCommand(int id)
{
    switch (id) {
    case IDC_PAGE_NEXT:
        // The Easy path starts here, also after a visit to the Advanced
        // page: it builds with the Easy resolution and handles its windows
        // as the Easy path does.
        app.advancedMode = 0;
        ShowWindow(ShowCommand::Hide);
        app.picturePage.Run();
        break;
    case IDC_PAGE_ADVANCED:
        app.advancedMode = 1;
        host.SetMainWindow(app.advancedPage);
        ShowWindow(ShowCommand::Hide);
        app.advancedPage.Run();
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

CPicturePage::CPicturePage(CWizardApp& app) : CWizardPage(app, IDD_PICTURE_PAGE), checker(app.platform.messages) {}

void CPicturePage::OnInitDialog() { SetUpWindowFrame(); }

bool CPicturePage::OnPaint()
{
    SetItemText(IDC_PICTURE_PATH, picturePath);
    return false;
}

void CPicturePage::OnCommand(int id)
{
    switch (id) {
    case IDC_PAGE_BROWSE:
        OnBrowse();
        break;
    case IDC_PAGE_NEXT:
        OnNext();
        break;
    case IDC_PAGE_BACK:
        ReturnTo(app.startPage, ShowCommand::Show);
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

void CPicturePage::OnBrowse()
{
    OpenFileDialogOptions options;
    options.filter = kPictureFilter;
    options.initialDirectory = app.platform.system.ProgramDirectory() + kPictureFolder;
    options.pathMustExist = true;
    options.allowMultiSelect = true;
    std::string chosen;
    if (app.platform.fileDialogs.AskOpenFileName(options, chosen) != DialogResult::Ok) return;
    if (!checker.CheckPicture(chosen)) return;
    picturePath = chosen;
    SetItemText(IDC_PICTURE_PATH, picturePath);
}

void CPicturePage::OnNext()
{
    if (!checker.CheckPicture(picturePath)) return;
    CPreviewDialog& preview = app.previewDialog;
    preview.pictureWidth = checker.pictureWidth;
    preview.pictureHeight = checker.pictureHeight;
    app.pictureFilePath = picturePath;
    preview.picturePath = picturePath;
    preview.showPostMessage = 0;
    preview.logoPosition = 0;
    preview.screenResolution = kResolution640x480;
    app.easyResolution = kResolution640x480;
    // A picture larger than the 640*480 screen is shown in 800*600.
    if (checker.pictureWidth > 640 || checker.pictureHeight > 480) {
        app.easyResolution = kResolution800x600;
        preview.screenResolution = kResolution800x600;
    }
    // The build will write the logo in the format of the board's own.
    preview.logoTarget = ChooseLogoTargetForFile(app.biosFilePath, LogoFormatChoice::FollowImage);
    preview.LoadPictures();
    if (!preview.IsWindow()) preview.Create();
    preview.ShowWindow(ShowCommand::Show);
    ShowWindow(ShowCommand::Hide);
    app.acceptPage.DoModal();
}

void CAcceptPage::OnInitDialog()
{
    SetUpWindowFrame();
    WindowPlacement placement;
    placement.x = kAcceptPageX;
    placement.y = kAcceptPageY;
    placement.fitToClient = true;
    placement.show = false;  // shown when its run starts
    host.PlaceWindow(*this, placement);
}

void CAcceptPage::OnCommand(int id)
{
    CPreviewDialog& preview = app.previewDialog;
    switch (id) {
    case IDC_PAGE_NEXT:
        OnNext();
        break;
    case IDC_PAGE_BACK:
        if (preview.IsWindow()) preview.ShowWindow(ShowCommand::Hide);
        ReturnTo(app.picturePage, ShowCommand::Show);
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

void CAcceptPage::OnNext()
{
    // The Easy path builds the chosen picture, centred and without the POST
    // messages, in the picture page's resolution, into the board's own BIOS.
    LogoJob job;
    job.biosPath = app.biosFilePath;
    job.picturePath = app.pictureFilePath;
    job.workImagePath = app.platform.system.ProgramDirectory() + kWorkImageFileName;
    job.settings.screenResolution = app.easyResolution;
    CPreviewDialog& preview = app.previewDialog;
    if (preview.IsWindow()) preview.ShowWindow(ShowCommand::Hide);
    CWarningDialog warning(host);
    if (warning.DoModal() == kResultCancel) {
        if (preview.IsWindow()) preview.ShowWindow(ShowCommand::Show);
        return;
    }
    app.BuildAndFlash(job);
    ShowWindow(ShowCommand::Show);
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
    case IDC_PAGE_UPDATE:
        OnUpdateBios();
        break;
    case IDC_PAGE_NEXT:
        OnSuper();
        break;
    case IDC_PAGE_BACK:
        ReturnTo(app.startPage, ShowCommand::Restore);
        host.SetMainWindow(app.startPage);
        break;
    default:
        CWizardPage::OnCommand(id);
    }
}

void CAdvancedPage::OnUpdateBios()
{
    OpenFileDialogOptions options;
    options.defaultExtension = "bin";
    options.filter = kBiosFilter;
    std::string chosen;
    if (app.platform.fileDialogs.AskOpenFileName(options, chosen) != DialogResult::Ok || chosen.empty()) return;
    app.biosFilePath = chosen;
    app.FlashBios(chosen);
}

void CAdvancedPage::OnSuper()
{
    CAdvancedModeDialog& dialog = app.advancedModeDialog;
    dialog.biosPath.clear();
    dialog.picturePath.clear();
    dialog.showPostMessage = 0;
    dialog.logoPosition = kPositionCenter;
    dialog.screenResolution = kResolution640x480;
    host.SetMainWindow(dialog);
    app.advancedMode = 1;
    ShowWindow(ShowCommand::Hide);
    if (dialog.IsWindow()) {
        dialog.ShowWindow(ShowCommand::Show);
    } else {
        dialog.DoModal();
    }
}

void CAdvancedPage::OnCancel()
{
    EndDialog(kResultCancel);
    CWizardPage::OnCancel();
}

}  // namespace varlin
