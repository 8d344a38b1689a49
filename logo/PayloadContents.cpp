#include "logo/PayloadContents.h"

#include <algorithm>

#include "logo/BitmapFile.h"
#include "logo/LogoHeaderWord.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

bool ReadPayloadContents(std::span<const uint8_t> data, PayloadContents& contents)
{
    if (data.size() < 4) return false;
    const uint16_t word = ReadLe16(data.data());
    if ((word & ~header_word::kKnownBits) != 0) return false;
    const auto& positions = header_word::kPositionBits;
    const auto position = std::find(positions.begin(), positions.end(), word & header_word::kPositionMask);
    if (position == positions.end()) return false;

    contents = PayloadContents{};
    contents.headerWord = word;
    contents.logoPosition = static_cast<int32_t>(position - positions.begin());
    contents.showPostMessage = (word & header_word::kShowPostMessage) != 0;
    const std::span<const uint8_t> picture = data.subspan(2);
    if ((word & header_word::kJpeg) != 0) {
        if (picture[0] != 0xFF || picture[1] != 0xD8) return false;
        contents.kind = PayloadPicture::Jpeg;
        contents.resolution800x600 = (word & header_word::k800x600) != 0;
        contents.pictureFile.assign(picture.begin(), picture.end());
        return true;
    }
    if ((word & header_word::k800x600) != 0) return false;  // bitmaps are shown in 640*480 only
    contents.pictureFile = {'B', 'M'};
    contents.pictureFile.insert(contents.pictureFile.end(), picture.begin(), picture.end());
    BitmapLayout layout;
    return InspectBitmap(contents.pictureFile, contents.pictureFile.size(), layout) == BitmapVerdict::Loadable;
}

}  // namespace varlin
