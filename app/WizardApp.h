// The application object: the settings the wizard's dialogs share and the
// dialogs themselves, which live as long as the program, and the two ways
// the program ends.
#pragma once

#include <cstdint>
#include <string>

#include "app/AdvancedModeDialog.h"
#include "app/PreviewDialog.h"
#include "app/WizardPages.h"
#include "logo/LogoBuild.h"
#include "platform/PlatformServices.h"

namespace varlin {

class BiosImage;
class RomDevice;

// Files the program keeps in its own folder: the working copy of the
// board's BIOS and the rebuilt image.
inline constexpr char kBoardBiosCopyName[] = "yta.bin";
inline constexpr char kDefaultPictureName[] = "yta.bmp";

class CWizardApp {
public:
    // The ROM device and the BIOS file being programmed are made before the
    // application object and outlive it.
    CWizardApp(PlatformServices& platform, RomDevice& romDevice, BiosImage& biosImage);

    CWizardApp(const CWizardApp&) = delete;
    CWizardApp& operator=(const CWizardApp&) = delete;

    // Start-up: one running instance, the driver, the ROM's identification,
    // the board's BIOS file, then the start page as the main window.  Always
    // false: the program is over when it returns.
    bool InitInstance();

    // A second instance brings the first one's main window forward.
    void ActivateRunningInstance();

    // Cleans up and ends the process at once: the working copies "yta.bin"
    // and "tmp.bin" in the program directory are deleted first.
    [[noreturn]] void QuitProgram(int exitCode);

    // Restarts Windows after a completed update.
    void RebootSystem();

    // Builds the logo into a new image as `job` says and, when that
    // succeeded, flashes the image built (the job's output, else its work
    // image).
    bool BuildAndFlash(const LogoJob& job);

    // Checks the BIOS file at `path` against the board and programs it
    // through the Update BIOS dialog.  True when every region was
    // programmed and verified and the Finished dialog ran; on false the user
    // has been told why and the wizard's windows are back.
    bool FlashBios(const std::string& path);

    PlatformServices& platform;
    RomDevice& romDevice;
    BiosImage& biosImage;
    LogoBuild logoBuild;  // builds for both paths

    bool biosFileFound = false;
    bool driverUnavailable = false;  // start-up ended without the driver: the process ends in failure
    CAdvancedPage advancedPage;
    int32_t advancedMode = 0;  // 1 while the advanced path is taken
    CPreviewDialog previewDialog;
    CAdvancedModeDialog advancedModeDialog;
    CStartPage startPage;
    CPicturePage picturePage;
    CAcceptPage acceptPage;
    std::string biosFilePath;     // the BIOS the Easy path puts the logo into
    std::string pictureFilePath;  // the picture the Easy path uses
    int32_t easyResolution = 0;   // chosen by the picture page: 0 = 640*480, 1 = 800*600
};

}  // namespace varlin
