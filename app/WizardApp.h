// The application object: the settings the wizard's dialogs share and the
// dialogs themselves, which live as long as the program.
#pragma once

#include <cstdint>
#include <string>

#include "logo/AdvancedModeDialog.h"
#include "platform/PlatformServices.h"

namespace varlin {

class CWizardApp {
public:
    explicit CWizardApp(PlatformServices& platform) : platform(platform), advancedModeDialog(*this) {}

    CWizardApp(const CWizardApp&) = delete;
    CWizardApp& operator=(const CWizardApp&) = delete;

    PlatformServices& platform;

    bool biosFileFound = false;
    int32_t advancedMode = 0;         // 1 while the advanced path is taken
    CAdvancedModeDialog advancedModeDialog;
    std::string biosFilePath;         // the BIOS the Easy path puts the logo into
    std::string pictureFilePath;      // the picture the Easy path uses
    int32_t easyResolution = 0;       // chosen by the picture page: 0 = 640*480, 1 = 800*600
};

}  // namespace varlin
