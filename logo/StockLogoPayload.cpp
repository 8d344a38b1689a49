// The pictures the stock logo and the small logo are made from: those
// formats carry no settings, only the picture.
#include "logo/LogoBuild.h"
#include "logo/PictureMessages.h"

namespace varlin {

bool LogoBuild::LoadPictureFile(const std::string& picturePath, bool isBitmap, RgbImage& picture)
{
    Bytes file;
    if (ReadWholeFile(picturePath, file, kPictureReadLimit) != ReadStatus::Ok) {
        messages.ShowMessage(isBitmap ? text::kBitmapOpenError : text::kPictureMissing);
        return false;
    }
    if (file.empty() || !pictures.LoadPicture(file.data(), file.size(), picture) || picture.Empty()) {
        messages.ShowMessage(text::kInvalidPicture);
        return false;
    }
    return true;
}

bool LogoBuild::LoadStockPicture(const std::string& picturePath, RgbImage& picture)
{
    // The format carries no settings: the header word stays 0.
    pictureIsBitmap = PictureKindForBuild(picturePath) == PictureKind::Bitmap ? 1 : 0;
    logoHeaderWord = 0;
    return LoadPictureFile(picturePath, pictureIsBitmap != 0, picture);
}

}  // namespace varlin
