#include "hosts/win32/Win32PictureLoader.h"

#include <windows.h>
#include <olectl.h>

#include <cstring>

namespace varlin::win32 {

namespace {

constexpr int kHimetricPerInch = 2540;

// A stream over a movable copy of the bytes, freed with the stream.
IStream* StreamOver(const uint8_t* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    void* data = GlobalLock(block);
    if (data == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(data, bytes, size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

// Draws the picture at its natural pixel size (its size in HIMETRIC at the
// screen's resolution) and reads the pixels back, top row first.
bool Rasterise(IPicture& loaded, RgbImage& picture)
{
    OLE_XSIZE_HIMETRIC himetricWidth = 0;
    OLE_YSIZE_HIMETRIC himetricHeight = 0;
    if (loaded.get_Width(&himetricWidth) != S_OK || loaded.get_Height(&himetricHeight) != S_OK) return false;
    HDC screen = GetDC(nullptr);
    const int width = MulDiv(himetricWidth, GetDeviceCaps(screen, LOGPIXELSX), kHimetricPerInch);
    const int height = MulDiv(himetricHeight, GetDeviceCaps(screen, LOGPIXELSY), kHimetricPerInch);
    bool drawn = false;
    if (width > 0 && height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (memory != nullptr && bitmap != nullptr) {
            HGDIOBJ previous = SelectObject(memory, bitmap);
            drawn = loaded.Render(memory, 0, 0, width, height, 0, himetricHeight, himetricWidth, -himetricHeight,
                                  nullptr) == S_OK;
            GdiFlush();
            SelectObject(memory, previous);
        }
        if (drawn) {
            const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
            picture.width = width;
            picture.height = height;
            picture.rgb.resize(static_cast<size_t>(width) * height * 3);
            const auto* rows = static_cast<const uint8_t*>(bits);
            for (int y = 0; y < height; ++y) {
                const uint8_t* from = rows + y * stride;
                uint8_t* to = picture.rgb.data() + static_cast<size_t>(y) * width * 3;
                for (int x = 0; x < width; ++x, from += 3, to += 3) {
                    to[0] = from[2];
                    to[1] = from[1];
                    to[2] = from[0];
                }
            }
        }
        if (bitmap != nullptr) DeleteObject(bitmap);
        if (memory != nullptr) DeleteDC(memory);
    }
    ReleaseDC(nullptr, screen);
    return drawn;
}

}  // namespace

bool Win32PictureLoader::LoadPicture(const uint8_t* bytes, size_t size, RgbImage& picture)
{
    picture = {};
    if (bytes == nullptr || size == 0) return false;
    IStream* stream = StreamOver(bytes, size);
    if (stream == nullptr) return false;
    IPicture* loaded = nullptr;
    const HRESULT result =
        OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&loaded));
    stream->Release();
    if (result != S_OK || loaded == nullptr) return false;
    const bool rasterised = Rasterise(*loaded, picture);
    loaded->Release();
    if (!rasterised) picture = {};
    return rasterised;
}

}  // namespace varlin::win32
