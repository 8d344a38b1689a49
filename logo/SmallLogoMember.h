// The small logo of a BIOS image: the member loaded at 4002:0, which every
// Award BIOS of the era draws at the top right of its POST screen on every
// boot.  Most hold it in the classic form of character cells
// (logo/SmallLogo.h); others in the stock 4-bit format of the full-screen
// logo ("AWBM", logo/StockLogo.h), most of them 136 x 84.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/AwardImage.h"
#include "logo/SmallLogo.h"
#include "logo/StockLogo.h"
#include "platform/support/Files.h"

namespace varlin {

enum class SmallLogoForm {
    None,        // no member is loaded at 4002:0
    Classic,     // character cells
    Stock,       // the stock picture format
    Unreadable,  // data that fails its CRC-16, or in neither form
};

struct SmallLogoMember {
    SmallLogoForm form = SmallLogoForm::None;
    int64_t index = -1;        // in the layout's members; -1 when there is none
    std::string problem;       // why an unreadable member cannot be read
    Bytes data;                // the member's data, decoded
    ClassicSmallLogo classic;  // for the classic form
    StockLogoFormat stock;     // for the stock form

    bool Readable() const { return form == SmallLogoForm::Classic || form == SmallLogoForm::Stock; }
    // The size in pixels; 0 where the form is not read.
    int Width() const;
    int Height() const;
};

// Reads the first member loaded at 4002:0 of `image`, whose layout is given.
SmallLogoMember ReadSmallLogo(std::span<const uint8_t> image, const AwardImage& layout);

// Why the image's small logo cannot take a new picture, in words for the
// user: there is none, or it cannot be read; empty where it can.
std::string SmallLogoProblem(const SmallLogoMember& logo);

// "classic 17x6 cells (136x84)", "stock 4-bit 136x84", "none", "unreadable: ...".
std::string SmallLogoText(const SmallLogoMember& logo);
// One word for machines: "classic", "stock", "none", "unreadable".
const char* SmallLogoFormWord(SmallLogoForm form);

// The picture a readable small logo shows, as a stock picture of its pixel
// size (a classic one in the 16 standard colours).
StockPicture SmallLogoPicture(const SmallLogoMember& logo);

// The picture of a classic small logo, in the 16 standard colours.
StockPicture ClassicSmallLogoPicture(const ClassicSmallLogo& logo);

// A picture of 16 colours or fewer as a 4-bit bitmap file, any other as an
// 8-bit one.
Bytes SmallLogoAsBitmap(const StockPicture& picture);

}  // namespace varlin
