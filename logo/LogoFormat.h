// Which format an image's logo is in, and which format a new logo is built
// in: stock Award BIOSes read only their own full-screen picture format, so
// a logo built for such an image must be in that format, or the board shows
// none at all.
#pragma once

#include <cstdint>
#include <span>
#include <string>

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

// The format of the logo member (the member loaded at 4000:0) of `image`.
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
    StockLogoFormat format;  // when stock
};

// The image's own stock format when its logo is in one (or, when the stock
// format is asked for, the common full-screen one if the image has none);
// our payload otherwise.
LogoTarget ChooseLogoTarget(const LogoFormat& current, LogoFormatChoice choice);

// The same for the image file at `biosPath`; an image that cannot be read
// gets our payload (the build then says what is wrong with the file).
LogoTarget ChooseLogoTargetForFile(const std::string& biosPath, LogoFormatChoice choice);

}  // namespace varlin
