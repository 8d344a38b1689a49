// The picture loader off Windows: bitmaps through our own reader (every
// variant the Windows loader takes, RLE8 and core headers included), other
// pictures through stb_image.
#pragma once

#include "platform/PictureLoaderPort.h"

namespace varlin {

class NativePictureLoader : public PictureLoaderPort {
public:
    bool LoadPicture(const uint8_t* bytes, size_t size, RgbImage& picture) override;
};

}  // namespace varlin
