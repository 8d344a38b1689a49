// The logo payload: header word and picture data, as the BIOS takes them.
#include <array>
#include <cstdio>

#include "logo/BitmapFile.h"
#include "logo/JpegMarkers.h"
#include "logo/LogoBuild.h"
#include "logo/LogoHeaderWord.h"
#include "logo/PictureMessages.h"
#include "platform/support/Files.h"

namespace varlin {

namespace {

constexpr uint16_t kHeader800x600Jpeg = header_word::kJpeg | header_word::k800x600;

uint16_t PositionBits(int32_t logoPosition)
{
    if (logoPosition < 0 || logoPosition >= static_cast<int32_t>(header_word::kPositionBits.size())) return 0;
    return header_word::kPositionBits[static_cast<size_t>(logoPosition)];
}

}  // namespace

uint16_t MakeLogoHeaderWord(const LogoSettings& settings, int32_t isBitmap)
{
    uint16_t word = 0;
    if (settings.screenResolution == kResolution640x480) {
        if (settings.showPostMessage != 0) word = header_word::kShowPostMessage;
        word = static_cast<uint16_t>(word + PositionBits(settings.logoPosition));
    }
    if (isBitmap != 0) return word;
    return static_cast<uint16_t>(
        word + (settings.screenResolution != kResolution640x480 ? kHeader800x600Jpeg : header_word::kJpeg));
}

bool LogoBuild::ReadBitmapPayloadData(const std::string& picturePath, Bytes& data)
{
    Bytes file;
    if (ReadWholeFile(picturePath, file, kPictureReadLimit) != ReadStatus::Ok) {
        messages.ShowMessage(text::kBitmapOpenError);
        return false;
    }
    // Variants other than the logo form are brought to it first, so that the
    // BIOS and the palette step find every field where they read it.
    BitmapLayout layout;
    Bytes normalised;
    if (InspectBitmap(file, file.size(), layout) == BitmapVerdict::Loadable && !IsLogoFormBitmap(layout) &&
        NormaliseBitmap(file, layout, normalised)) {
        file.swap(normalised);
    }
    if (file.size() < 2) {
        data.clear();
    } else {
        data.assign(file.begin() + 2, file.end());
    }
    return true;
}

int32_t LogoBuild::ReduceJpeg(const std::string& path, Bytes& buffer)
{
    if (ReadWholeFile(path, buffer, kPictureReadLimit) != ReadStatus::Ok) return -1;
    if (buffer.size() < 2 || buffer[0] != 0xFF || buffer[1] != 0xD8) {
        messages.ShowMessage(text::kNotAJpegPrefix + path + text::kNotAJpegSuffix);
    }
    Bytes reduced;
    if (ReduceJpegStream(buffer, reduced) != JpegReduction::Reduced) return -1;
    // "tmp.jpg" is a copy left for the user to look at; nothing reads it
    // back, so a failure to write it does not stop the build.
    WriteWholeFile(kReducedJpegFileName, reduced);
    buffer = std::move(reduced);
    return static_cast<int32_t>(buffer.size());
}

bool LogoBuild::WriteLogoPayload(const std::string& picturePath, const LogoSettings& settings)
{
    pictureIsBitmap = PictureKindForBuild(picturePath) == PictureKind::Bitmap ? 1 : 0;
    logoHeaderWord = MakeLogoHeaderWord(settings, pictureIsBitmap);

    Bytes data;
    if (pictureIsBitmap != 0) {
        if (!ReadBitmapPayloadData(picturePath, data)) return false;
    } else {
        if (!IsRegularFile(picturePath)) {
            messages.ShowMessage(text::kPictureMissing);
            return false;
        }
        if (ReduceJpeg(picturePath, data) < 0) {
            messages.ShowMessage(text::kInvalidPicture);
            return false;
        }
    }

    Bytes payload;
    payload.reserve(data.size() + 2);
    payload.push_back(static_cast<uint8_t>(logoHeaderWord));
    payload.push_back(static_cast<uint8_t>(logoHeaderWord >> 8));
    payload.insert(payload.end(), data.begin(), data.end());
    if (!WriteWholeFile(kPayloadFileName, payload)) {
        if (IsRegularFile(kPayloadFileName)) std::remove(kPayloadFileName);
        messages.ShowMessage(std::string(text::kCannotCreatePrefix) + kPayloadFileName);
        return false;
    }
    return true;
}

}  // namespace varlin
