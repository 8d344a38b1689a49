#include "app/PreviewDialog.h"

#include "app/WizardApp.h"
#include "logo/StockConversion.h"
#include "platform/support/Files.h"

namespace varlin {

namespace {

constexpr int kCloseCommand = 1003;

// Placed at the screen's corner with an outer size whose client area is
// about 640 x 480.
constexpr WindowPlacement kPreviewPlacement = {0, 0, 646, 506, false, true};

}  // namespace

CPreviewDialog::CPreviewDialog(CWizardApp& app)
    : CDialog(app.platform.windows, IDD_PREVIEW),
      logo(app.platform.pictures),
      overlayPictures{CPicture(app.platform.pictures), CPicture(app.platform.pictures),
                      CPicture(app.platform.pictures), CPicture(app.platform.pictures),
                      CPicture(app.platform.pictures), CPicture(app.platform.pictures)},
      app(app)
{
}

// The picture as the build will write it into a stock image's logo.
bool CPreviewDialog::LoadStockLogo()
{
    logo.Free();
    Bytes file;
    RgbImage picture;
    if (ReadWholeFile(picturePath, file, kPictureReadLimit) != ReadStatus::Ok || file.empty() ||
        !app.platform.pictures.LoadPicture(file.data(), file.size(), picture) || picture.Empty()) {
        return false;
    }
    const Bytes bitmap = StockPictureAsBitmap(MakeStockPicture(picture, logoTarget.format, {logoTarget.colours}));
    return logo.LoadFromMemory(bitmap.data(), bitmap.size());
}

void CPreviewDialog::LoadPictures()
{
    if (logoTarget.stock) {
        LoadStockLogo();
    } else {
        logo.Load(picturePath);
    }
    if (!OverlaysShown(showPostMessage, screenResolution)) return;
    // The names follow the directory's own separator, as the program has
    // always named them; the platform takes the doubled separator.
    const std::string directory = app.platform.system.ProgramDirectory() + kPathSeparator;
    for (size_t i = 0; i < overlayPictures.size(); ++i) overlayPictures[i].Load(directory + kOverlayPlaces[i].fileName);
}

void CPreviewDialog::OnInitDialog() { host.PlaceWindow(*this, kPreviewPlacement); }

void CPreviewDialog::OnCommand(int id)
{
    if (id == kResultOk) {
        ShowWindow(ShowCommand::Hide);
        return;
    }
    if (id == kResultCancel || id == kCloseCommand) {
        ShowWindow(ShowCommand::Hide);
        EndDialog(kResultCancel);  // the window stays; it is only hidden
    }
}

PreviewSettings CPreviewDialog::Settings() const
{
    PreviewSettings settings;
    settings.screenResolution = screenResolution;
    settings.showPostMessage = showPostMessage;
    settings.logoPosition = logoPosition;
    settings.advancedMode = app.advancedMode;
    settings.pictureWidth = pictureWidth;
    settings.pictureHeight = pictureHeight;
    settings.stockLogo = logoTarget.stock;
    return settings;
}

bool CPreviewDialog::OnPaint()
{
    const PreviewLayout layout = LayOutPreview(Settings());
    if (!layout.fullScreen) logoPosition = layout.logoPosition;  // the preview keeps the position it drew
    std::array<const CPicture*, 6> overlays{};
    for (size_t i = 0; i < overlays.size(); ++i) overlays[i] = &overlayPictures[i];
    const RgbImage screen = ComposePreview(layout, logo, overlays);
    host.PresentFrame(*this, Frame{screen.width, screen.height, screen.rgb.data()});
    return true;
}

}  // namespace varlin
