// Which format an image's logo is in, and which format a new logo is built
// in: stock Award BIOSes read only their own full-screen picture format, so
// a logo built for such an image must be in that format, or the board shows
// none at all.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/AwardImage.h"
#include "logo/StockConversion.h"
#include "logo/StockLogo.h"

namespace varlin {

enum class LogoFormatKind {
    None,           // the image has no logo member
    PayloadBitmap,  // our header word and a bitmap
    PayloadJpeg,    // our header word and a JPEG
    Stock,          // the stock full-screen format
    Other,          // data of some other kind
    Broken,         // data that does not decode to its CRC-16
};

struct LogoFormat {
    LogoFormatKind kind = LogoFormatKind::None;
    StockLogoFormat stock;  // for LogoFormatKind::Stock
};

// The format of the logo member (the first member loaded at 4000:0) of
// `image`, whose layout is given or read.
LogoFormat ReadLogoFormat(std::span<const uint8_t> image, const AwardImage& layout);
LogoFormat CurrentLogoFormat(std::span<const uint8_t> image);

// "stock 4-bit 640x480", "our payload (bitmap)", "none", ...
std::string LogoFormatText(const LogoFormat& format);
// One word for machines: "stock", "payload-bitmap", "none", ...
const char* LogoFormatWord(LogoFormatKind kind);

// What the user asked for; by default the build follows the image.
enum class LogoFormatChoice { FollowImage, Payload, Stock };

// The format a new logo is written in.
struct LogoTarget {
    bool stock = false;
    StockLogoFormat format;                       // when stock
    StockColours colours = StockColours::Chosen;  // when stock
    bool refused = false;                         // the image has no logo and its BIOS shows none: none is added
};

// By default a new logo takes the format of the image's own: the stock
// format in its size, colours and palette block (a logo without a block
// gets the standard colours), or our payload.  An image without a logo gets
// a stock one where its BIOS shows stock logos, and none where it shows
// none: such a logo would never be shown, and some of those boards no
// longer start once one is added.  A format asked for is built as asked; a
// stock logo where the image had none is 4-bit 640x480 in the standard
// colours, with a palette block that holds them, so a BIOS that reads the
// block and one that ignores it show the same picture.
LogoTarget ChooseLogoTarget(const LogoFormat& current, bool biosShowsStockLogos, LogoFormatChoice choice);

// The same for an image, and for the image file at `biosPath`; an image
// that cannot be read gets our payload (the build then says what is wrong
// with the file).
LogoTarget ChooseLogoTargetForImage(std::span<const uint8_t> image, LogoFormatChoice choice);
LogoTarget ChooseLogoTargetForFile(const std::string& biosPath, LogoFormatChoice choice);
// Where there is no image at all: our payload unless stock is asked for.
LogoTarget ChooseLogoTargetWithoutImage(LogoFormatChoice choice);

// What the board may do with a logo built in a format the user asked for,
// where that is not what the image or its BIOS calls for; empty otherwise.
// `payloadSize` is what the new member unpacks to.
std::string BoardWarning(const LogoFormat& current, bool biosShowsStockLogos, const LogoTarget& target,
                         uint64_t payloadSize);

}  // namespace varlin
