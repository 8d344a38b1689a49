#include "logo/PictureChecker.h"

#include "logo/BitmapFile.h"
#include "logo/JpegMarkers.h"
#include "logo/PictureMessages.h"
#include "platform/support/Files.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr int32_t kBitmapMaxWidth = 640;
constexpr int32_t kBitmapMaxHeight = 480;
constexpr int32_t kJpegMaxWidth = 800;
constexpr int32_t kJpegMaxHeight = 600;

// The extension as the C runtime's path splitter gives it: from the last "."
// of the file name on, or empty when the name has no dot.
std::string SplitExtension(const std::string& path)
{
    const std::string_view name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

// The text after the last "." of the whole path, lower case.
std::string TextAfterLastDot(const std::string& path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : ToLowerAscii(path.substr(dot + 1));
}

}  // namespace

std::optional<PictureKind> PictureKindByExtension(const std::string& path)
{
    const std::string extension = ToUpperAscii(SplitExtension(path));
    if (extension.find("JPG") != std::string::npos || extension.find("JPEG") != std::string::npos) {
        return PictureKind::Jpeg;
    }
    if (extension.find("BMP") != std::string::npos) return PictureKind::Bitmap;
    return std::nullopt;
}

bool CPictureChecker::CheckPicture(const std::string& path)
{
    const std::optional<PictureKind> kind = PictureKindByExtension(path);
    if (!kind) {
        messages.ShowMessage(text::kChooseJpegOrBmp);
        return false;
    }
    return *kind == PictureKind::Jpeg ? CheckJpeg(path) : CheckBitmap(path);
}

bool CPictureChecker::CheckBitmap(const std::string& path)
{
    Bytes file;
    BitmapLayout layout;
    BitmapVerdict verdict = BitmapVerdict::Invalid;
    if (ReadWholeFile(path, file, kPictureReadLimit) == ReadStatus::Ok) {
        verdict = InspectBitmap(file, file.size(), layout);
    }
    if (verdict == BitmapVerdict::Invalid) {
        messages.ShowMessage(text::kInvalidBitmap);
        return false;
    }
    if (verdict == BitmapVerdict::NotEightBit) {
        messages.ShowMessage(text::kOnly256Colours);
        return false;
    }
    pictureWidth = layout.width;
    pictureHeight = layout.height;
    if (pictureWidth > kBitmapMaxWidth) {
        messages.ShowMessage(FormatText(text::kBitmapTooWide, pictureWidth));
        return false;
    }
    if (pictureHeight > kBitmapMaxHeight) {
        messages.ShowMessage(FormatText(text::kBitmapTooHigh, pictureHeight));
        return false;
    }
    return true;
}

bool CPictureChecker::CheckJpeg(const std::string& path)
{
    Bytes file;
    const ReadStatus status = ReadWholeFile(path, file, kPictureReadLimit);
    if (status != ReadStatus::Ok && status != ReadStatus::TooLarge) {
        messages.ShowMessage(text::kInvalidJpeg);
        return false;
    }
    // A frame of no pixels cannot be decoded, by the BIOS or anyone.
    int32_t width = 0;
    int32_t height = 0;
    const std::span<const uint8_t> bytes(file);
    if (status == ReadStatus::TooLarge || !HasJfifMark(bytes) ||
        !FindBaselineFrameSize(bytes.subspan(16), width, height) || width == 0 || height == 0) {
        messages.ShowMessage(text::kUnsupportedJpeg);
        return false;
    }
    pictureWidth = width;
    pictureHeight = height;
    if (width > kJpegMaxWidth || height > kJpegMaxHeight) {
        messages.ShowMessage(FormatText(text::kJpegTooLarge, width, height));
        return false;
    }
    return true;
}

bool DecidePictureKindForDialog(const std::string& path, MessagePort& messages, PictureKind& kind)
{
    const std::string suffix = TextAfterLastDot(path);
    if (suffix == "bmp") {
        kind = PictureKind::Bitmap;
        return true;
    }
    if (suffix == "jpg" || suffix == "jpeg") {
        kind = PictureKind::Jpeg;
        return true;
    }
    messages.ShowMessage(text::kOnlyJpegOrBitmap);
    return false;
}

PictureKind PictureKindForBuild(const std::string& path)
{
    return TextAfterLastDot(path) == "bmp" ? PictureKind::Bitmap : PictureKind::Jpeg;
}

bool CheckSmallLogoPicture(const std::string& path, int width, int height, MessagePort& messages)
{
    Bytes file;
    BitmapLayout layout;
    if (ReadWholeFile(path, file, kPictureReadLimit) == ReadStatus::Ok) {
        const BitmapVerdict verdict = InspectBitmap(file, file.size(), layout);
        const bool depth =
            verdict == BitmapVerdict::Loadable || (verdict == BitmapVerdict::NotEightBit && layout.bitsPerPixel == 4 &&
                                                   layout.compression == kBitmapCompressionNone);
        if (depth && layout.width == width && layout.height == height) return true;
    }
    CPictureChecker checker(messages);
    return checker.CheckPicture(path);
}

bool CheckScreenResolution(const CPictureChecker& checker, int32_t screenResolution, MessagePort& messages)
{
    if (screenResolution != kResolution640x480) return true;
    if (checker.pictureWidth <= kBitmapMaxWidth && checker.pictureHeight <= kBitmapMaxHeight) return true;
    messages.ShowMessage(FormatText(text::kTooLargeFor640x480, checker.pictureWidth, checker.pictureHeight));
    return false;
}

}  // namespace varlin
