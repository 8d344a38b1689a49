// The Advanced Mode dialog's window: its controls and what each button does.
// The order of the checks in each button decides which message the user
// sees first, so each keeps its own.
#include "app/AdvancedModeDialog.h"

#include <array>

#include "app/AboutDialog.h"
#include "app/WizardApp.h"
#include "app/WarningDialog.h"
#include "resources/ResourceIds.h"

namespace varlin {

namespace {

constexpr char kNoBiosForPreview[] = "No BIOS file selected.";
constexpr char kNoBiosSource[] = "No BIOS source file selected!";
constexpr char kBiosFilter[] = "Bios Files(*.bin)|*.bin|";
constexpr char kPictureFilter[] = "Picture Files(*.bmp;*.jpg;*.jpeg)|*.jpg;*.jpeg;*.bmp|";

// The controls the 800*600 resolution has no use for.
constexpr std::array<int, 6> kSettingsOf640x480 = {IDC_POSITION_CENTER,      IDC_POSITION_BOTTOM_RIGHT,
                                                   IDC_POSITION_BOTTOM_LEFT, IDC_POSITION_TOP_RIGHT,
                                                   IDC_POSITION_TOP_LEFT,    IDC_SHOW_POST_MESSAGE};

// The fields the controls exchange, radio groups by their first button.
struct TextBinding {
    int id;
    std::string CAdvancedModeDialog::*field;
};
struct RadioBinding {
    int firstId;
    int count;
    int32_t CAdvancedModeDialog::*field;
};

constexpr std::array<TextBinding, 2> kTextBindings = {{
    {IDC_BIOS_PATH, &CAdvancedModeDialog::biosPath},
    {IDC_PICTURE_FILE, &CAdvancedModeDialog::picturePath},
}};
constexpr std::array<RadioBinding, 2> kRadioBindings = {{
    {IDC_RESOLUTION_640, 2, &CAdvancedModeDialog::screenResolution},
    {IDC_POSITION_CENTER, 5, &CAdvancedModeDialog::logoPosition},
}};

}  // namespace

CAdvancedModeDialog::CAdvancedModeDialog(CWizardApp& app)
    : CDialog(app.platform.windows, IDD_ADVANCED_MODE),
      checker(app.platform.messages),
      warningDialog(app.platform.windows),
      app(app)
{
}

LogoSettings CAdvancedModeDialog::Settings() const
{
    LogoSettings settings;
    settings.screenResolution = screenResolution;
    settings.logoPosition = logoPosition;
    settings.showPostMessage = showPostMessage;
    settings.logoFormat = logoFormatChoice;
    return settings;
}

LogoJob CAdvancedModeDialog::Job()
{
    const std::string workImage = app.platform.system.ProgramDirectory() + kWorkImageFileName;
    // The dialog has no small logo to offer: the image keeps its own.
    return {biosPath, picturePath, workImage, outputPath, Settings(), {}};
}

bool CAdvancedModeDialog::BuildBiosWithLogo()
{
    LogoBuild& build = app.logoBuild;
    const bool built = build.BuildBiosWithLogo(Job());
    pictureIsBitmap = build.pictureIsBitmap;
    logoHeaderWord = build.logoHeaderWord;
    return built;
}

void CAdvancedModeDialog::UpdateData(bool readControls)
{
    for (const TextBinding& binding : kTextBindings) {
        if (readControls) {
            this->*binding.field = ItemText(binding.id);
        } else {
            SetItemText(binding.id, this->*binding.field);
        }
    }
    if (readControls) {
        showPostMessage = host.IsChecked(*this, IDC_SHOW_POST_MESSAGE) ? 1 : 0;
    } else {
        host.SetChecked(*this, IDC_SHOW_POST_MESSAGE, showPostMessage != 0);
    }
    for (const RadioBinding& binding : kRadioBindings) {
        if (readControls) {
            int32_t index = -1;  // no button of the group checked
            for (int i = 0; i < binding.count; ++i) {
                if (host.IsChecked(*this, binding.firstId + i)) index = i;
            }
            this->*binding.field = index;
        } else {
            for (int i = 0; i < binding.count; ++i)
                host.SetChecked(*this, binding.firstId + i, this->*binding.field == i);
        }
    }
}

void CAdvancedModeDialog::EnableSettingsOf640x480(bool enable)
{
    for (int id : kSettingsOf640x480) EnableItem(id, enable);
}

void CAdvancedModeDialog::OnInitDialog()
{
    UpdateData(false);
    SetUpWindowFrame();
}

bool CAdvancedModeDialog::OnSysCommand(int command)
{
    if ((command & 0xFFF0) != kAboutCommand) return false;
    CAboutDialog about(host);
    about.DoModal();
    return true;
}

void CAdvancedModeDialog::OnCommand(int id)
{
    switch (id) {
    case IDC_BROWSE_BIOS:
        OnBrowseBios();
        break;
    case IDC_BROWSE_PICTURE:
        OnBrowsePicture();
        break;
    case IDC_RESOLUTION_640:
        EnableSettingsOf640x480(true);
        break;
    case IDC_RESOLUTION_800:
        EnableSettingsOf640x480(false);  // their fields keep their values
        break;
    case IDC_PREVIEW:
        OnPreview();
        break;
    case IDC_BUILD:
        OnBuild();
        break;
    case IDC_FLASH:
        OnFlash();
        break;
    case IDC_MODE_BACK:
        OnBack();
        break;
    default:
        CDialog::OnCommand(id);
        break;
    }
}

void CAdvancedModeDialog::OnOK() {}

void CAdvancedModeDialog::OnCancel() { app.QuitProgram(0); }

void CAdvancedModeDialog::OnBrowseBios()
{
    OpenFileDialogOptions options;
    options.filter = kBiosFilter;
    std::string chosen;
    if (app.platform.fileDialogs.AskOpenFileName(options, chosen) != DialogResult::Ok) return;
    biosPath = chosen;
    SetItemText(IDC_BIOS_PATH, biosPath);
}

void CAdvancedModeDialog::OnBrowsePicture()
{
    OpenFileDialogOptions options;
    options.filter = kPictureFilter;
    options.pathMustExist = true;
    options.allowMultiSelect = true;
    std::string chosen;
    if (app.platform.fileDialogs.AskOpenFileName(options, chosen) != DialogResult::Ok) return;
    if (!checker.CheckPicture(chosen)) return;
    SetItemText(IDC_PICTURE_FILE, chosen);
    picturePath = chosen;
    PictureKind kind = PictureKind::Jpeg;
    if (!DecidePictureKindForDialog(picturePath, app.platform.messages, kind)) return;
    pictureIsBitmap = kind == PictureKind::Bitmap ? 1 : 0;
    if (kind == PictureKind::Bitmap) {
        // A bitmap logo is only ever shown in 640*480.
        screenResolution = kResolution640x480;
        UpdateData(false);
        EnableItem(IDC_RESOLUTION_800, false);
        EnableSettingsOf640x480(true);
    } else {
        EnableItem(IDC_RESOLUTION_800, true);
    }
}

void CAdvancedModeDialog::OnPreview()
{
    MessagePort& messages = app.platform.messages;
    UpdateData(true);
    if (biosPath.empty()) {
        messages.ShowMessage(kNoBiosForPreview);
        return;
    }
    if (!checker.CheckPicture(picturePath)) return;
    CPreviewDialog& preview = app.previewDialog;
    preview.pictureWidth = checker.pictureWidth;
    preview.pictureHeight = checker.pictureHeight;
    preview.picturePath = picturePath;
    preview.screenResolution = screenResolution;
    preview.showPostMessage = showPostMessage;
    preview.logoPosition = logoPosition;
    preview.logoTarget = ChooseLogoTargetForFile(biosPath, logoFormatChoice);
    preview.LoadPictures();
    // The preview has its settings before the resolution rule may refuse.
    if (!CheckScreenResolution(checker, screenResolution, messages)) return;
    if (!preview.IsWindow()) preview.Create();
    preview.ShowWindow(ShowCommand::Show);
}

void CAdvancedModeDialog::OnBuild()
{
    MessagePort& messages = app.platform.messages;
    UpdateData(true);
    if (!CheckScreenResolution(checker, screenResolution, messages)) return;
    if (biosPath.empty()) {
        messages.ShowMessage(kNoBiosSource);
        host.FocusItem(*this, IDC_BIOS_PATH);
        return;
    }
    if (!checker.CheckPicture(picturePath)) return;
    SaveFileDialogOptions options;
    options.defaultExtension = "bin";
    options.filter = kBiosFilter;
    std::string chosen;
    if (app.platform.fileDialogs.AskSaveFileName(options, chosen) != DialogResult::Ok) return;
    // The chosen file is written only by a build that succeeds, and whole:
    // a failed build leaves what it held before.
    outputPath = chosen;
    BuildBiosWithLogo();
}

void CAdvancedModeDialog::OnFlash()
{
    MessagePort& messages = app.platform.messages;
    UpdateData(true);
    if (!CheckScreenResolution(checker, screenResolution, messages)) return;
    if (biosPath.empty()) {
        messages.ShowMessage(kNoBiosSource);
        return;
    }
    if (!checker.CheckPicture(picturePath)) return;
    if (warningDialog.DoModal() == kResultCancel) return;
    if (outputPath.empty()) outputPath = app.platform.system.ProgramDirectory() + kWorkImageFileName;
    app.BuildAndFlash(Job());
}

void CAdvancedModeDialog::OnBack()
{
    app.biosFilePath = app.platform.system.ProgramDirectory() + kBoardBiosCopyName;
    app.pictureFilePath = app.platform.system.ProgramDirectory() + kDefaultPictureName;
    app.easyResolution = 0;
    app.advancedMode = 0;
    // The controls keep showing what they showed; the next reading brings
    // those values back.
    biosPath.clear();
    picturePath.clear();
    showPostMessage = 0;
    logoPosition = kPositionCenter;
    screenResolution = kResolution640x480;
    ShowWindow(ShowCommand::Hide);
    host.SetMainWindow(app.advancedPage);
    app.advancedPage.ShowWindow(ShowCommand::Show);
}

}  // namespace varlin
