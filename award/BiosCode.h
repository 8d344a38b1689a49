// What an Award BIOS's own code tells about the boot screen it draws.
//
// A BIOS shows a full-screen logo in the stock format ("AWBM" pictures)
// exactly when its code looks for one: when one of its code members,
// decoded, holds the four bytes "AWBM".  A member that is itself such a
// picture does not count: a BIOS may carry a stock logo it never shows.
// Every member is searched, those past the gap too.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/AwardImage.h"

namespace varlin {

struct BiosCode {
    bool showsStockLogos = false;
    std::string banner;  // "Award Modular BIOS v4.51PG"; empty when the system BIOS holds none
};

// Decodes the members of `layout` (each as far as its CRC-16 holds; all of
// them together never to more than a few dozen MiB, so a hostile image
// ends in "not shown").
BiosCode ExamineBiosCode(std::span<const uint8_t> image, const AwardImage& layout);

// The banner a decoded system BIOS prints at the top of the screen: the
// text around "BIOS v", up to the end of the version.
std::string FindBiosBanner(std::span<const uint8_t> systemBios);

inline constexpr char kStockLogoSignature[] = "AWBM";

}  // namespace varlin
