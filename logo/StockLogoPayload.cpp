// The logo payload of a stock image: the picture in the BIOS's own
// full-screen format instead of our header word and picture file.
#include <cstdio>

#include "logo/LogoBuild.h"
#include "logo/PictureMessages.h"
#include "logo/StockConversion.h"

namespace varlin {

bool LogoBuild::WriteStockLogoPayload(const std::string& picturePath, const StockLogoFormat& format,
                                      StockPicture& intended)
{
    // The format carries no settings: the header word stays 0.
    pictureIsBitmap = PictureKindForBuild(picturePath) == PictureKind::Bitmap ? 1 : 0;
    logoHeaderWord = 0;

    Bytes file;
    if (ReadWholeFile(picturePath, file, kPictureReadLimit) != ReadStatus::Ok) {
        messages.ShowMessage(pictureIsBitmap != 0 ? text::kBitmapOpenError : text::kPictureMissing);
        return false;
    }
    RgbImage picture;
    if (file.empty() || !pictures.LoadPicture(file.data(), file.size(), picture) || picture.Empty()) {
        messages.ShowMessage(text::kInvalidPicture);
        return false;
    }
    intended = MakeStockPicture(picture, format);
    if (!WriteWholeFile(kPayloadFileName, EncodeStockLogo(intended))) {
        std::remove(kPayloadFileName);
        messages.ShowMessage(std::string(text::kCannotCreatePrefix) + kPayloadFileName);
        return false;
    }
    return true;
}

}  // namespace varlin
