// Picture acceptance: the one check every picture passes before it may
// become the boot logo, and the rules that tell a picture's kind by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/MessagePort.h"

namespace varlin {

enum class PictureKind { Bitmap, Jpeg };

// The largest picture file the program reads.  The check refuses larger
// files, so that what it accepts the payload can take whole.
constexpr size_t kPictureReadLimit = 64u << 20;

// Screen resolutions of the logo settings, as the radio group numbers them.
constexpr int32_t kResolution640x480 = 0;
constexpr int32_t kResolution800x600 = 1;

class CPictureChecker {
public:
    explicit CPictureChecker(MessagePort& messages) : messages(messages) {}

    // Accepts an 8-bit bitmap of at most 640 x 480 pixels or a baseline JFIF
    // JPEG of at most 800 x 600.  On false the user has been told why.  The
    // measured size is kept as soon as the picture has been measured, also
    // when it is then refused for its size.
    bool CheckPicture(const std::string& path);

    int32_t pictureWidth = 0;
    int32_t pictureHeight = 0;

private:
    bool CheckBitmap(const std::string& path);
    bool CheckJpeg(const std::string& path);

    MessagePort& messages;
};

// The kind CheckPicture judges a file as, from the upper-cased extension of
// its file name: one that contains "JPG" or "JPEG" is a JPEG, else one that
// contains "BMP" a bitmap; nothing otherwise.
std::optional<PictureKind> PictureKindByExtension(const std::string& path);

// Kind by name as the Advanced Mode dialog decides it after a browse: the
// text after the last "." of the path, lower case.  "bmp" is a bitmap, "jpg"
// and "jpeg" are JPEGs; anything else shows "Only support jpeg or bitmap
// picture." and gives false.
bool DecidePictureKindForDialog(const std::string& path, MessagePort& messages, PictureKind& kind);

// Kind by name as every build decides it: "bmp" is a bitmap, anything else a
// JPEG, without a message.
PictureKind PictureKindForBuild(const std::string& path);

// The pictures a small logo of width x height pixels takes: those
// CheckPicture accepts, and 4- and 8-bit bitmaps of exactly its size (as
// the small logo comes back from the image).  On false the user has been
// told why.
bool CheckSmallLogoPicture(const std::string& path, int width, int height, MessagePort& messages);

// In 640*480 a picture larger than 640 x 480 is refused with a message; in
// 800*600 nothing beyond CheckPicture's limits applies.
bool CheckScreenResolution(const CPictureChecker& checker, int32_t screenResolution, MessagePort& messages);

}  // namespace varlin
