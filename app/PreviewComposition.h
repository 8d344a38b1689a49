// How the preview lays out the boot screen: the scale and place of the logo
// and the places of the POST-message lines, on a 640 x 480 screen.  The
// preview window and `varlin preview` both compose with these rules.
#pragma once

#include <array>
#include <cstdint>

#include "app/Picture.h"

namespace varlin {

inline constexpr int kPreviewWidth = 640;
inline constexpr int kPreviewHeight = 480;

struct PreviewSettings {
    int32_t screenResolution = 0;  // 0 = 640*480, 1 = 800*600
    int32_t showPostMessage = 0;
    int32_t logoPosition = 0;  // 0 Center, 1 Bottom Right, 2 Bottom Left, 3 Top Right, 4 Top Left
    int32_t advancedMode = 0;
    int32_t pictureWidth = 0;  // as the picture check measured it
    int32_t pictureHeight = 0;
    bool stockLogo = false;  // the logo goes in the board's full-screen format
};

struct PreviewLayout {
    float scale = 1.0f;        // kept as a 32-bit float, as the screen draws it
    int32_t logoPosition = 0;  // the position in force: centred on the Easy path and in 800*600
    int logoX = 0;
    int logoY = 0;
    bool drawOverlays = false;
    bool fullScreen = false;  // the logo fills the screen, as a stock BIOS shows its own format
};

// The POST-message pictures, in drawing order, and where they stand.
struct OverlayPlace {
    const char* fileName;  // in the program directory
    int x;
    int y;
};

inline constexpr std::array<OverlayPlace, 6> kOverlayPlaces = {{
    {"BIOS_L1.dll", 20, 10},
    {"BIOS_L2.dll", 20, 28},
    {"BIOS_L3.dll", 10, 56},
    {"BIOS_L4.dll", 3, 86},
    {"BIOS_LB1.dll", 5, 434},
    {"BIOS_LB2.dll", 5, 452},
}};

// The overlays are shown only with the POST messages in 640*480.
inline bool OverlaysShown(int32_t showPostMessage, int32_t screenResolution)
{
    return showPostMessage == 1 && screenResolution == 0;
}

PreviewLayout LayOutPreview(const PreviewSettings& settings);

// The small logo stands at the top right of the POST screen, against its
// right edge and one text row (16 pixels) down.
inline constexpr int kSmallLogoTop = 16;

// A black 640 x 480 screen with the logo (stretched over all of it for a
// full-screen logo), where the layout says the overlays drawn over it at
// their natural size, and the small logo when one is given.  Pictures not
// loaded are left out.
RgbImage ComposePreview(const PreviewLayout& layout, const CPicture& logo,
                        const std::array<const CPicture*, 6>& overlays, const CPicture* smallLogo = nullptr);

}  // namespace varlin
