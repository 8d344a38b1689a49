// The logo build: a picture and the logo settings in, a logo payload, its
// archive and a new BIOS image out.  The Advanced Mode dialog, the wizard's
// Easy path and the command-line tool each hand it their own settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "award/BootBlockChecksums.h"
#include "award/MemberReplacement.h"
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

// How a stock logo is dithered: by default Floyd-Steinberg where its logo
// fits, else ordered, else none.
enum class DitheringChoice { Auto, FloydSteinberg, Ordered, None };

// How the BIOS is to show the logo.  The Easy path's settings are the
// picture's resolution, centred, without the POST messages.
struct LogoSettings {
    int32_t screenResolution = kResolution640x480;
    int32_t logoPosition = kPositionCenter;
    int32_t showPostMessage = 0;
    LogoFormatChoice logoFormat = LogoFormatChoice::FollowImage;  // the tool may force a format
    DitheringChoice dithering = DitheringChoice::Auto;            // for stock logos; the tool may choose
};

// The 16-bit header word that tells the BIOS how to show the logo.
uint16_t MakeLogoHeaderWord(const LogoSettings& settings, int32_t isBitmap);

// One build: the source image, the pictures, and where the new image goes.
struct LogoJob {
    std::string biosPath;
    std::string picturePath;    // the full-screen logo; empty to keep the image's
    std::string workImagePath;  // always written ("tmp.bin" in the program directory)
    std::string outputPath;     // also written when set
    LogoSettings settings;
    std::string smallLogoPath;  // the small logo at 4002:0; empty to keep the image's
};

// One dithering a stock logo was packed with, and the archive it gave.
struct DitheringTried {
    Dithering dithering = Dithering::FloydSteinberg;
    uint64_t archiveSize = 0;
};

// What the last build did: the format the logo was written in, where it
// went and what moved, the boot-block checksums of the source and as the
// new image holds them, and what the user should know of it.
struct RebuildReport {
    LogoTarget logo;
    RunSlot slot;               // the old logo's place, or the run's end where there was none
    uint64_t memberOffset = 0;  // where the new logo stands in the image written
    uint64_t memberLength = 0;  // the new logo member's archive
    uint64_t largestArchive = 0;
    size_t membersMoved = 0;  // members after the logo, shifted by the difference
    BootBlockChecksums checksumsBefore;
    BootBlockChecksums checksumsAfter;
    bool ditheringAutomatic = false;
    std::vector<DitheringTried> dithering;  // a stock logo's, in the order tried; the last was used
    std::string boardWarning;               // what the board may do with a format the user asked for
};

// What the small logo's part of the last build did: its form, where it
// went and what moved, and the checksums before and after it.
struct SmallLogoReport {
    bool built = false;
    std::string form;  // as SmallLogoText says it
    bool stock = false;
    Dithering dithering = Dithering::FloydSteinberg;  // a stock one's
    RunSlot slot;
    uint64_t memberLength = 0;
    size_t membersMoved = 0;
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

    // Makes the new BIOS image: the payload, packed as the logo member, in
    // place of the old logo of a copy of `job.biosPath` (the members after
    // it shifted), or after the last member where the image has none.  The
    // payload is in the format the image's logo already has, or the stock
    // format where the image has none and its BIOS shows stock logos; an
    // image whose BIOS shows none gets none (the settings may say
    // otherwise).  Where the job names a small logo, it then replaces the
    // image's own in that image (logo/SmallLogoBuild.cpp); with no picture,
    // only the small logo is replaced.  The image is written to the work
    // image and to the output when one is set, and only once each step has
    // passed its check.  On false the user has been told why (or the member
    // walk ran off the image, silently) and the output is untouched.
    bool BuildBiosWithLogo(const LogoJob& job);

    // Packs the payload into the archive; the palette of a bitmap shown with
    // the POST messages is prepared first.
    virtual bool MakeLogoArchive(const std::string& payloadPath, const std::string& archivePath,
                                 const std::string& memberName, const LogoSettings& settings);

    // What the last build or payload made.
    int32_t pictureIsBitmap = 0;
    int32_t logoHeaderWord = 0;
    RebuildReport lastRebuild;
    SmallLogoReport lastSmallLogo;

private:
    struct ImagePlan;      // what a build reads of its source image first
    struct SmallLogoPlan;  // what a small logo's build reads of its image first

    bool BuildFullScreenLogo(const LogoJob& job, Bytes& image);
    bool ReadBitmapPayloadData(const std::string& picturePath, Bytes& data);
    bool LoadPictureFile(const std::string& picturePath, bool isBitmap, RgbImage& picture);
    bool LoadStockPicture(const std::string& picturePath, RgbImage& picture);
    // Writes the stock logo payload and packs it: with each dithering in
    // turn, where the choice is automatic, until the archive takes no more
    // than `room` bytes.
    bool MakeStockLogoArchive(const LogoJob& job, const LogoTarget& target, uint64_t room, StockPicture& intended);
    // The image with the archive in the plan's slot, checked; nothing is written.
    bool PlaceArchive(const LogoJob& job, const ImagePlan& plan, const StockPicture* intended, Bytes& image);
    // The work image and the output, each whole or not at all.
    bool WriteImage(const LogoJob& job, const Bytes& image);

    // The small logo's steps: whether the image's small logo can be
    // replaced with the job's picture (the user told why not), and the
    // image with it replaced, checked.
    bool AcceptSmallLogo(const LogoJob& job, const SmallLogoPlan& plan);
    bool SmallLogoFitsSource(const LogoJob& job);
    bool PackSmallLogo(const Bytes& data, const std::string& memberName, Bytes& archive);
    bool ReplaceSmallLogo(const LogoJob& job, const Bytes& source, Bytes& rebuilt);

    MessagePort& messages;
    PictureLoaderPort& pictures;
    std::string packedPayloadPath;   // the file the last archive was packed from
    bool buildingStockLogo = false;  // the build in progress writes the stock format
};

}  // namespace varlin
