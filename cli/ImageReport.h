// What a BIOS image holds, as the logo build and the board see it: the
// member chain with each member's data checked, the logo's format, the logo slot and the room
// after it, the boot block's checksums, the size code and the BIOS ID.
// inspect prints it; extract finds members through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "award/BootBlockChecksums.h"
#include "logo/LogoFormat.h"
#include "award/MemberChain.h"
#include "award/MemberData.h"

namespace varlin::cli {

// How a member's data stands up to decoding and its CRC-16.
struct MemberCheck {
    bool decoded = false;
    bool crcHolds = false;
    uint16_t computedCrc = 0;
    std::string problem;  // why it could not be decoded

    const char* Verdict() const { return !decoded ? "broken" : crcHolds ? "ok" : "bad-crc"; }
};

struct ImageReport {
    std::string path;
    size_t size = 0;
    MemberChain chain;
    std::vector<MemberCheck> checks;  // one per member of the chain
    LogoFormat logoFormat;            // of the logo member, as the build sees it
    bool hasSlot = false;
    uint64_t slotOffset = 0;
    uint64_t oldLength = 0;
    uint64_t freeAfter = 0;  // free space after the old logo (or from the slot)
    std::string refusal;     // why there is no slot, when the user would be told
    BootBlockChecksums checksums;
    char sizeCode = 0;
    uint32_t romSize = 0;
    std::string biosId;
};

ImageReport DescribeImage(const std::string& path, const Bytes& image);

// The largest logo archive the slot takes: one 0xFF byte must stay after it.
uint64_t LargestArchive(const ImageReport& report);

// Reads a BIOS image whole for the tools; false after saying why.
bool ReadImageForTool(const std::string& path, Bytes& image);

// Replaces non-printable characters, for names and texts read from images.
std::string Printable(const std::string& text);

}  // namespace varlin::cli
