// The port to the platform's picture loader, which turns a BMP or JPEG file
// (or bytes in memory) into pixels at the picture's natural size.  On
// Windows it is the system's own loader; elsewhere our bitmap reader and a
// JPEG decoder stand in for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlin {

// 8-bit RGB pixels, top row first.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    bool Empty() const { return width <= 0 || height <= 0; }
};

class PictureLoaderPort {
public:
    virtual ~PictureLoaderPort() = default;

    // False when the bytes are no picture the loader reads.
    virtual bool LoadPicture(const uint8_t* bytes, size_t size, RgbImage& picture) = 0;
};

}  // namespace varlin
