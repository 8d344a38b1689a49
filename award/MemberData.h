// The contents of a member of a BIOS image's chain: its data decoded by its
// method and checked against the CRC-16 its header carries.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/MemberChain.h"
#include "platform/support/Files.h"

namespace varlin {

// No member of a BIOS image unpacks to more than this.
inline constexpr size_t kMaxMemberContents = 16u << 20;

struct MemberData {
    bool decoded = false;
    std::string problem;  // why the data could not be decoded
    uint16_t computedCrc = 0;
    Bytes bytes;

    bool CrcHolds(const MemberHeader& header) const { return decoded && computedCrc == header.crc; }
};

// Decodes the member's data (extended headers skipped); never reads outside
// `image`.
MemberData DecodeMemberData(std::span<const uint8_t> image, const ChainMember& member);

// The CRC-16 LHA members carry over their original data.
uint16_t LhaCrc16(std::span<const uint8_t> bytes);

}  // namespace varlin
