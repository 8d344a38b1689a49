// A logo payload read back out of an image: the settings its header word
// carries and the picture after it, as a file a user would recognise.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/support/Files.h"

namespace varlin {

enum class PayloadPicture { Bitmap, Jpeg };

struct PayloadContents {
    uint16_t headerWord = 0;
    PayloadPicture kind = PayloadPicture::Bitmap;
    bool resolution800x600 = false;
    int32_t logoPosition = 0;  // in the dialog's radio group order
    bool showPostMessage = false;
    Bytes pictureFile;  // the bitmap with its "BM" back, or the JPEG as stored
};

// Reads member data as a logo payload: a header word with only known bits
// set, followed by a loadable 8-bit bitmap (without its "BM") or by a JPEG.
// False when the data is something else.
bool ReadPayloadContents(std::span<const uint8_t> data, PayloadContents& contents);

}  // namespace varlin
