#include "app/Picture.h"

#include <algorithm>

#include "logo/PictureChecker.h"
#include "platform/support/Files.h"

namespace varlin {

bool CPicture::Load(const std::string& path)
{
    Free();
    Bytes bytes;
    if (ReadWholeFile(path, bytes, kPictureReadLimit) != ReadStatus::Ok || bytes.empty()) return false;
    return LoadFromMemory(bytes.data(), bytes.size());
}

bool CPicture::LoadFromMemory(const uint8_t* bytes, size_t size)
{
    Free();
    if (!loader.LoadPicture(bytes, size, picture)) {
        Free();
        return false;
    }
    return true;
}

bool CPicture::Render(RgbImage& screen, int x, int y, double scale) const
{
    if (!Loaded()) return false;
    return RenderSized(screen, x, y, static_cast<int>(picture.width * scale), static_cast<int>(picture.height * scale));
}

bool CPicture::RenderSized(RgbImage& screen, int x, int y, int width, int height) const
{
    if (!Loaded()) return false;
    if (width <= 0 || height <= 0) return true;
    // Only the part that falls on the screen is drawn.
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + width, screen.width);
    const int bottom = std::min(y + height, screen.height);
    for (int sy = top; sy < bottom; ++sy) {
        const int py = static_cast<int>(static_cast<int64_t>(sy - y) * picture.height / height);
        for (int sx = left; sx < right; ++sx) {
            const int px = static_cast<int>(static_cast<int64_t>(sx - x) * picture.width / width);
            const uint8_t* from = &picture.rgb[(static_cast<size_t>(py) * picture.width + px) * 3];
            std::copy_n(from, 3, &screen.rgb[(static_cast<size_t>(sy) * screen.width + sx) * 3]);
        }
    }
    return true;
}

}  // namespace varlin
