// What a BIOS image holds, as the logo build and the board see it: every
// member with its data checked and whether a rebuild may move it, what the
// BIOS's code shows, the logo's format, the logo slot and the room after
// the run, the small logo, the boot block's checksums, the size code and
// the BIOS ID.
// inspect prints it; extract finds members through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "award/AwardImage.h"
#include "award/BiosCode.h"
#include "award/MemberData.h"
#include "award/MemberReplacement.h"
#include "logo/LogoFormat.h"
#include "logo/SmallLogoMember.h"

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
    AwardImage layout;
    std::vector<MemberCheck> checks;  // one per member
    BiosCode code;                    // what the BIOS's own code shows
    LogoFormat logoFormat;            // of the logo member, as the build sees it
    bool hasSlot = false;
    RunSlot slot;             // the old logo's place, or the run's end
    size_t membersAfter = 0;  // members after the old logo, which move with a new one
    uint64_t freeAfter = 0;   // free space after the run
    uint64_t largestArchive = 0;
    std::string refusal;        // why there is no slot, when the user would be told
    SmallLogoMember smallLogo;  // the member at 4002:0, read
    BootBlockChecksums checksums;
    char sizeCode = 0;
    uint32_t romSize = 0;
    std::string biosId;
};

ImageReport DescribeImage(const std::string& path, const Bytes& image);

// Reads a BIOS image whole for the tools; false after saying why.
bool ReadImageForTool(const std::string& path, Bytes& image);

// Replaces non-printable characters, for names and texts read from images.
std::string Printable(const std::string& text);

}  // namespace varlin::cli
