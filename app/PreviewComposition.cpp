#include "app/PreviewComposition.h"

#include <algorithm>

namespace varlin {

namespace {

enum Position { kCenter = 0, kBottomRight = 1, kBottomLeft = 2, kTopRight = 3 };

}  // namespace

PreviewLayout LayOutPreview(const PreviewSettings& settings)
{
    PreviewLayout layout;
    if (settings.stockLogo) {
        // The board shows the picture over the whole screen, without the
        // POST messages: the format has no settings.
        layout.fullScreen = true;
        return layout;
    }
    const double width = settings.pictureWidth;
    const double height = settings.pictureHeight;
    // In 800*600 the screen is shown shrunk by 0.8: an 800 x 600 picture
    // fills the 640 x 480 preview and a smaller one is drawn smaller still.
    if (settings.screenResolution == 1) {
        layout.scale = static_cast<float>(std::max(width * 0.00125 * 0.8, height * (1.0 / 600) * 0.8));
    }
    layout.logoPosition = settings.logoPosition;
    if (settings.advancedMode == 0 || settings.screenResolution == 1) layout.logoPosition = kCenter;

    const int scaledWidth = static_cast<int>(width * layout.scale);
    const int scaledHeight = static_cast<int>(height * layout.scale);
    const int right = kPreviewWidth - scaledWidth;
    const int bottom = kPreviewHeight - scaledHeight;
    switch (layout.logoPosition) {
    case kCenter:
        layout.logoX = static_cast<int>(right * 0.5);
        layout.logoY = static_cast<int>(bottom * 0.5);
        break;
    case kBottomRight:
        layout.logoX = right;
        layout.logoY = bottom;
        break;
    case kBottomLeft:
        layout.logoY = bottom;
        break;
    case kTopRight:
        layout.logoX = right;
        break;
    default:  // Top Left, and anything else
        break;
    }
    layout.drawOverlays = OverlaysShown(settings.showPostMessage, settings.screenResolution);
    return layout;
}

RgbImage ComposePreview(const PreviewLayout& layout, const CPicture& logo,
                        const std::array<const CPicture*, 6>& overlays, const CPicture* smallLogo)
{
    RgbImage screen;
    screen.width = kPreviewWidth;
    screen.height = kPreviewHeight;
    screen.rgb.assign(static_cast<size_t>(kPreviewWidth) * kPreviewHeight * 3, 0);
    if (layout.fullScreen) {
        logo.RenderSized(screen, 0, 0, kPreviewWidth, kPreviewHeight);
    } else {
        logo.Render(screen, layout.logoX, layout.logoY, layout.scale);
    }
    if (layout.drawOverlays) {
        for (size_t i = 0; i < overlays.size(); ++i) {
            if (overlays[i] != nullptr) overlays[i]->Render(screen, kOverlayPlaces[i].x, kOverlayPlaces[i].y, 1.0);
        }
    }
    if (smallLogo != nullptr) smallLogo->Render(screen, kPreviewWidth - smallLogo->Width(), kSmallLogoTop, 1.0);
    return screen;
}

}  // namespace varlin
