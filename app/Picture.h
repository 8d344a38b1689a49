// One picture of the preview: loaded through the platform's picture loader
// and drawn scaled into the composed screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/PictureLoaderPort.h"

namespace varlin {

class CPicture {
public:
    explicit CPicture(PictureLoaderPort& loader) : loader(loader) {}

    // Replaces the held picture; false (and nothing held) when the file
    // cannot be read or is no picture.
    bool Load(const std::string& path);
    bool LoadFromMemory(const uint8_t* bytes, size_t size);
    void Free() { picture = RgbImage{}; }

    // Draws at (x, y) at the natural size times `scale`, truncated; false
    // when no picture is held.
    bool Render(RgbImage& screen, int x, int y, double scale) const;
    // Draws stretched to width x height, each screen pixel taking the
    // picture's pixel under it.
    bool RenderSized(RgbImage& screen, int x, int y, int width, int height) const;

    bool Loaded() const { return !picture.Empty(); }
    int Width() const { return picture.width; }
    int Height() const { return picture.height; }

private:
    PictureLoaderPort& loader;
    RgbImage picture;
};

}  // namespace varlin
