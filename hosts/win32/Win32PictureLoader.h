// The system's picture loader: OleLoadPicture on a stream over the bytes,
// the picture then drawn at its natural size into a bitmap whose pixels
// are read back.  OLE must be started on the thread first.
#pragma once

#include "platform/PictureLoaderPort.h"

namespace varlin::win32 {

class Win32PictureLoader : public PictureLoaderPort {
public:
    bool LoadPicture(const uint8_t* bytes, size_t size, RgbImage& picture) override;
};

}  // namespace varlin::win32
