// The Advanced Mode dialog: its fields are the user's logo settings, which
// it hands to the logo build.
#pragma once

#include <cstdint>
#include <string>

#include "app/Dialog.h"
#include "app/WarningDialog.h"
#include "logo/LogoBuild.h"
#include "logo/PictureChecker.h"

namespace varlin {

class CWizardApp;

class CAdvancedModeDialog : public CDialog {
public:
    explicit CAdvancedModeDialog(CWizardApp& app);

    // The settings and the job of a build from the dialog's fields: the
    // work image is "tmp.bin" in the program directory.
    LogoSettings Settings() const;
    LogoJob Job();

    // Builds the new BIOS image from the fields (see LogoBuild); the build's
    // `pictureIsBitmap` and `logoHeaderWord` come back into the fields.
    bool BuildBiosWithLogo();

    // The dialog's window.
    void OnInitDialog() override;
    void OnCommand(int id) override;
    bool OnSysCommand(int command) override;
    void OnOK() override;      // Enter does nothing
    void OnCancel() override;  // Exit, Escape and the close box end the program

    // Copies the controls into the fields (true) or the fields into the controls.
    void UpdateData(bool readControls);

    // Logo settings.
    std::string biosPath;
    std::string picturePath;
    int32_t showPostMessage = 0;
    int32_t logoPosition = kPositionCenter;
    int32_t screenResolution = kResolution640x480;
    int32_t pictureIsBitmap = 0;
    int32_t logoHeaderWord = 0;
    std::string outputPath;
    CPictureChecker checker;
    LogoFormatChoice logoFormatChoice = LogoFormatChoice::FollowImage;  // the tool may force a format

private:
    void EnableSettingsOf640x480(bool enable);
    void OnBrowseBios();
    void OnBrowsePicture();
    void OnPreview();
    void OnBuild();
    void OnFlash();
    void OnBack();

    CWarningDialog warningDialog;  // one, run again before every flash

    CWizardApp& app;
};

}  // namespace varlin
