// Bitmap decoding and normalisation: every variant the check takes (up to
// 640 x 480) comes out in the logo form, with the same size and pixels.
#include "logo/BitmapFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> file(data, size);
    BitmapLayout layout;
    if (InspectBitmap(file, size, layout) != BitmapVerdict::Loadable) return 0;
    IndexedImage image;
    // Larger pictures are refused by the check before anything decodes them.
    if (layout.width > 640 || layout.height > 480) return 0;
    FUZZ_EXPECT(DecodeBitmap(file, layout, image));
    FUZZ_EXPECT(image.width == layout.width && image.height == layout.height);
    FUZZ_EXPECT(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height));

    Bytes normalised;
    FUZZ_EXPECT(NormaliseBitmap(file, layout, normalised));
    BitmapLayout again;
    FUZZ_EXPECT(InspectBitmap(normalised, normalised.size(), again) == BitmapVerdict::Loadable);
    FUZZ_EXPECT(IsLogoFormBitmap(again));
    FUZZ_EXPECT(again.width == layout.width && again.height == layout.height);
    IndexedImage decodedAgain;
    FUZZ_EXPECT(DecodeBitmap(normalised, again, decodedAgain));
    FUZZ_EXPECT(decodedAgain.pixels == image.pixels);
    return 0;
}
