#include "hosts/native/NativePictureLoader.h"

#include <stb_image.h>

#include <climits>

#include "logo/BitmapFile.h"

namespace varlin {

namespace {

bool LoadIndexedBitmap(std::span<const uint8_t> file, RgbImage& picture)
{
    BitmapLayout layout;
    IndexedImage image;
    if (InspectBitmap(file, file.size(), layout) != BitmapVerdict::Loadable || !DecodeBitmap(file, layout, image)) {
        return false;
    }
    picture.width = image.width;
    picture.height = image.height;
    picture.rgb.resize(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        // An index beyond the palette shows black, as the Windows loader draws it.
        const uint8_t index = image.pixels[i];
        const std::array<uint8_t, 3> colour =
            index < image.palette.size() ? image.palette[index] : std::array<uint8_t, 3>{};
        std::copy(colour.begin(), colour.end(), picture.rgb.begin() + static_cast<ptrdiff_t>(i * 3));
    }
    return true;
}

}  // namespace

bool NativePictureLoader::LoadPicture(const uint8_t* bytes, size_t size, RgbImage& picture)
{
    picture = RgbImage{};
    if (LoadIndexedBitmap(std::span<const uint8_t>(bytes, size), picture)) return true;
    if (size > INT_MAX) return false;
    int width = 0;
    int height = 0;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 3);
    if (pixels == nullptr) return false;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return true;
}

}  // namespace varlin
