// The picture a stock logo is made from: the BIOS's own full-screen format
// carries no settings, only the picture.
#include "logo/LogoBuild.h"
#include "logo/PictureMessages.h"

namespace varlin {

bool LogoBuild::LoadStockPicture(const std::string& picturePath, RgbImage& picture)
{
    // The format carries no settings: the header word stays 0.
    pictureIsBitmap = PictureKindForBuild(picturePath) == PictureKind::Bitmap ? 1 : 0;
    logoHeaderWord = 0;

    Bytes file;
    if (ReadWholeFile(picturePath, file, kPictureReadLimit) != ReadStatus::Ok) {
        messages.ShowMessage(pictureIsBitmap != 0 ? text::kBitmapOpenError : text::kPictureMissing);
        return false;
    }
    if (file.empty() || !pictures.LoadPicture(file.data(), file.size(), picture) || picture.Empty()) {
        messages.ShowMessage(text::kInvalidPicture);
        return false;
    }
    return true;
}

}  // namespace varlin
