// The Advanced Mode dialog, which is also the logo builder of both paths:
// its fields are the logo settings every build reads.
#pragma once

#include <cstdint>
#include <string>

#include "app/Dialog.h"
#include "app/WarningDialog.h"
#include "logo/BootBlockChecksums.h"
#include "logo/LogoFormat.h"
#include "logo/PictureChecker.h"
#include "platform/Files.h"

namespace varlin {

class CWizardApp;

// What the last successful build did beside placing the logo: the format
// the logo was written in, and the boot-block checksums of the source and
// as the new image holds them.
struct RebuildReport {
    LogoTarget logo;
    BootBlockChecksums checksumsBefore;
    BootBlockChecksums checksumsAfter;
};

// Logo positions as the radio group numbers them.
enum LogoPosition : int32_t {
    kPositionCenter = 0,
    kPositionBottomRight = 1,
    kPositionBottomLeft = 2,
    kPositionTopRight = 3,
    kPositionTopLeft = 4,
};

// Working files of a build, by relative name in the current directory.
inline constexpr char kPayloadFileName[] = "tmp.tbp";
inline constexpr char kReducedJpegFileName[] = "tmp.jpg";
inline constexpr char kArchiveFileName[] = "tmp_b_pic";
// The rebuilt image, in the program directory.
inline constexpr char kWorkImageFileName[] = "tmp.bin";

class CAdvancedModeDialog : public CDialog {
public:
    explicit CAdvancedModeDialog(CWizardApp& app);

    // The 16-bit header word that tells the BIOS how to show the logo.  On the
    // Easy path it first takes the application's resolution.
    uint16_t MakeLogoHeaderWord(int32_t isBitmap);

    // Writes the logo payload "tmp.tbp": the header word, then the bitmap
    // without its "BM" signature or the reduced JPEG.  On false the user has
    // been told why and no payload was written.
    bool WriteLogoPayload();

    // Reduces the JPEG at `path` into `buffer` and into "tmp.jpg"; returns the
    // reduced length, or -1 when the file holds no usable scan.
    int32_t ReduceJpeg(const std::string& path, Bytes& buffer);

    // Writes the logo of a stock image into "tmp.tbp": the picture in the
    // image's own full-screen format, as `intended` holds it.  On false the
    // user has been told why and no payload was written.
    bool WriteStockLogoPayload(const StockLogoFormat& format, StockPicture& intended);

    // Makes the new BIOS image from the settings: the payload, packed as the
    // logo member, in the logo slot of a copy of `biosPath`.  The payload is
    // in the format the image's logo already has (`logoFormatChoice` may
    // say otherwise).  The image is left in the program directory's
    // "tmp.bin" and copied to `outputPath` when one is set.  On false the user has been told why (or the slot
    // search failed silently) and `outputPath` is untouched.
    bool BuildBiosWithLogo();

    // Packs the payload into the archive; the palette of a bitmap shown with
    // the POST messages on the advanced path is prepared first.
    virtual bool MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath,
                                 const std::string& memberName);

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
    RebuildReport lastRebuild;

private:
    bool ReadBitmapPayloadData(Bytes& data);
    void EnableSettingsOf640x480(bool enable);
    void OnBrowseBios();
    void OnBrowsePicture();
    void OnPreview();
    void OnBuild();
    void OnFlash();
    void OnBack();

    CWarningDialog warningDialog;  // one, run again before every flash
    std::string packedPayloadPath;  // the file the last archive was packed from
    bool buildingStockLogo = false;  // the build in progress writes the stock format

    CWizardApp& app;
};

}  // namespace varlin
