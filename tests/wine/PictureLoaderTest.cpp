// The system's picture loader as the preview uses it: a bitmap comes out at
// its own size with the colours our bitmap reader finds in it, a JPEG at its
// size, and bytes that are no picture are refused.
//
//   picture_loader_wine_test PICTURES_DIR
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "logo/BitmapFile.h"
#include "platform/support/Files.h"
#include "hosts/win32/Win32PictureLoader.h"
#include "tests/wine/UiAutomation.h"
#include "tests/wine/WineCheck.h"

namespace {

using varlin::Bytes;
using varlin::RgbImage;

bool Load(const std::string& path, RgbImage& picture)
{
    Bytes bytes;
    if (varlin::ReadWholeFile(path, bytes) != varlin::ReadStatus::Ok) return false;
    return varlin::win32::Win32PictureLoader().LoadPicture(bytes.data(), bytes.size(), picture);
}

// The bitmap's pixels as our own reader gives them, in RGB.
RgbImage DecodeOurselves(const std::string& path)
{
    Bytes bytes;
    varlin::ReadWholeFile(path, bytes);
    varlin::BitmapLayout layout;
    varlin::IndexedImage indexed;
    RgbImage image;
    if (varlin::InspectBitmap(bytes, bytes.size(), layout) != varlin::BitmapVerdict::Loadable ||
        !varlin::DecodeBitmap(bytes, layout, indexed)) {
        return image;
    }
    image.width = indexed.width;
    image.height = indexed.height;
    for (const uint8_t index : indexed.pixels) {
        image.rgb.insert(image.rgb.end(), indexed.palette[index].begin(), indexed.palette[index].end());
    }
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: picture_loader_wine_test PICTURES_DIR\n");
        return 2;
    }
    const std::string pictures = varlin::wine::WindowsPath(argv[1]) + "\\";
    WINE_EXPECT(SUCCEEDED(OleInitialize(nullptr)), "OLE starts");

    RgbImage bitmap;
    const std::string bitmapPath = pictures + "varlin-320x240.bmp";
    WINE_EXPECT(Load(bitmapPath, bitmap), "the bitmap loads");
    WINE_EXPECT(bitmap.width == 320 && bitmap.height == 240, "bitmap size %dx%d", bitmap.width, bitmap.height);
    const RgbImage expected = DecodeOurselves(bitmapPath);
    WINE_EXPECT(!expected.Empty() && bitmap.rgb == expected.rgb, "the bitmap's pixels are its own");

    RgbImage jpeg;
    WINE_EXPECT(Load(pictures + "varlin-640x480.jpg", jpeg), "the JPEG loads");
    WINE_EXPECT(jpeg.width == 640 && jpeg.height == 480, "JPEG size %dx%d", jpeg.width, jpeg.height);
    WINE_EXPECT(jpeg.rgb.size() == 640u * 480u * 3u, "the JPEG's pixels");

    const uint8_t noise[] = {'N', 'O', 'T', ' ', 'A', ' ', 'P', 'I', 'C', 'T', 'U', 'R', 'E'};
    RgbImage refused;
    WINE_EXPECT(!varlin::win32::Win32PictureLoader().LoadPicture(noise, sizeof noise, refused), "noise is refused");
    WINE_EXPECT(refused.Empty(), "and leaves no picture");

    OleUninitialize();
    std::printf("picture loader: %d failure(s)\n", varlin::wine::failures);
    return varlin::wine::failures;
}
