// The preview of the boot screen: a modeless window, created once and then
// only shown and hidden, showing the logo as the BIOS will, with the POST
// message lines over it when they stay shown.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/Dialog.h"
#include "app/Picture.h"
#include "app/PreviewComposition.h"
#include "logo/LogoFormat.h"
#include "resources/ResourceIds.h"

namespace varlin {

class CWizardApp;

class CPreviewDialog : public CDialog {
public:
    explicit CPreviewDialog(CWizardApp& app);

    // Loads the logo from `picturePath` (turned into the board's own format
    // when `logoTarget` says the logo is built in it) and, when the POST
    // lines are shown, the overlays from the program directory; pictures
    // that do not load are left out of the screen.
    void LoadPictures();

    void OnInitDialog() override;
    void OnCommand(int id) override;
    bool OnPaint() override;

    int32_t screenResolution = 0;
    int32_t showPostMessage = 0;
    int32_t logoPosition = 0;
    int32_t pictureWidth = 0;  // the picture's size as the check measured it
    int32_t pictureHeight = 0;
    std::string picturePath;
    LogoTarget logoTarget;  // the format the build will write the logo in
    CPicture logo;
    std::array<CPicture, 6> overlayPictures;

    // The settings the screen is composed with.
    PreviewSettings Settings() const;

private:
    bool LoadStockLogo();

    CWizardApp& app;
};

}  // namespace varlin
