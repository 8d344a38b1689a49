// The logo build: a picture and the logo settings in, a logo payload, its
// archive and a new BIOS image out.  The Advanced Mode dialog, the wizard's
// Easy path and the command-line tool each hand it their own settings.
#pragma once

#include <cstdint>
#include <string>

#include "award/BootBlockChecksums.h"
#include "logo/LogoFormat.h"
#include "logo/PictureChecker.h"
#include "platform/support/Files.h"
#include "platform/MessagePort.h"
#include "platform/PictureLoaderPort.h"

namespace varlin {

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

// How the BIOS is to show the logo.  The Easy path's settings are the
// picture's resolution, centred, without the POST messages.
struct LogoSettings {
    int32_t screenResolution = kResolution640x480;
    int32_t logoPosition = kPositionCenter;
    int32_t showPostMessage = 0;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;  // the tool may force a format
};

// The 16-bit header word that tells the BIOS how to show the logo.
uint16_t MakeLogoHeaderWord(const LogoSettings& settings, int32_t isBitmap);

// One build: the source image, the picture, and where the new image goes.
struct LogoJob {
    std::string biosPath;
    std::string picturePath;
    std::string workImagePath;  // always written ("tmp.bin" in the program directory)
    std::string outputPath;     // also written when set
    LogoSettings settings;
};

// What the last successful build did beside placing the logo: the format
// the logo was written in, and the boot-block checksums of the source and
// as the new image holds them.
struct RebuildReport {
    LogoTarget logo;
    BootBlockChecksums checksumsBefore;
    BootBlockChecksums checksumsAfter;
};

class LogoBuild {
public:
    LogoBuild(MessagePort& messages, PictureLoaderPort& pictures) : messages(messages), pictures(pictures) {}
    virtual ~LogoBuild() = default;

    // Writes the logo payload "tmp.tbp": the header word, then the bitmap
    // without its "BM" signature or the reduced JPEG.  Sets `pictureIsBitmap`
    // and `logoHeaderWord`.  On false the user has been told why and no
    // payload was written.
    bool WriteLogoPayload(const std::string& picturePath, const LogoSettings& settings);

    // Reduces the JPEG at `path` into `buffer` and into "tmp.jpg"; returns the
    // reduced length, or -1 when the file holds no usable scan.
    int32_t ReduceJpeg(const std::string& path, Bytes& buffer);

    // Writes the logo of a stock image into "tmp.tbp": the picture in the
    // image's own full-screen format, as `intended` holds it.  On false the
    // user has been told why and no payload was written.
    bool WriteStockLogoPayload(const std::string& picturePath, const StockLogoFormat& format, StockPicture& intended);

    // Makes the new BIOS image: the payload, packed as the logo member, in
    // the logo slot of a copy of `job.biosPath`.  The payload is in the
    // format the image's logo already has (the settings may say otherwise).
    // The image is written to the work image and to the output when one is
    // set, and only once it has passed its check.  On false the user has
    // been told why (or the slot search failed silently) and the output is
    // untouched.
    bool BuildBiosWithLogo(const LogoJob& job);

    // Packs the payload into the archive; the palette of a bitmap shown with
    // the POST messages is prepared first.
    virtual bool MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath,
                                 const std::string& memberName, const LogoSettings& settings);

    // What the last build or payload made.
    int32_t pictureIsBitmap = 0;
    int32_t logoHeaderWord = 0;
    RebuildReport lastRebuild;

private:
    bool ReadBitmapPayloadData(const std::string& picturePath, Bytes& data);

    MessagePort& messages;
    PictureLoaderPort& pictures;
    std::string packedPayloadPath;   // the file the last archive was packed from
    bool buildingStockLogo = false;  // the build in progress writes the stock format
};

}  // namespace varlin
