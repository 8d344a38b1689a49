// The 16-bit header word at the start of the logo payload: how the BIOS is
// to show the picture that follows it.  Written by the build, read back by
// the image tools.
#pragma once

#include <array>
#include <cstdint>

namespace varlin::header_word {

constexpr uint16_t kJpeg = 0x0002;
constexpr uint16_t k800x600 = 0x0008;  // JPEG only
constexpr uint16_t kPositionMask = 0x0070;
constexpr uint16_t kShowPostMessage = 0x0100;
constexpr uint16_t kKnownBits = kJpeg | k800x600 | kPositionMask | kShowPostMessage;

// Bits 4 to 6 for each logo position, in the dialog's radio group order
// (Center, Bottom Right, Bottom Left, Top Right, Top Left): the BIOS numbers
// the corners differently.
constexpr std::array<uint16_t, 5> kPositionBits = {0x00, 0x30, 0x40, 0x20, 0x10};

}  // namespace varlin::header_word
