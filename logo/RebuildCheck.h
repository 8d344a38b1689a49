// The check every rebuilt image passes in memory before it is written: a
// board boots only from an image whose members, logo and boot-block
// checksums are whole, and a fault in the build must not reach its flash ROM.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/MemberReplacement.h"
#include "logo/StockLogo.h"

namespace varlin {

struct RebuiltMember {
    RunSlot slot;                                // where it went, in the source's run
    std::span<const uint8_t> archive;            // the new member as packed
    std::span<const uint8_t> payload;            // what it must decode to
    const StockPicture* stockPicture = nullptr;  // for a stock logo: the picture it must show
    const char* role = "logo";                   // what the member is, for the messages
};

// Compares the rebuilt image with its source: the same members in the same
// order, those before the new one where they were, those after it in the
// run shifted by the difference in size and byte for byte the source's,
// those outside the run where they were; the new member is the archive,
// decodes to the payload and matches its CRC-16 (a stock logo, read back as
// the BIOS reads it, shows exactly the intended picture and palette); the
// run ends in free space (0xFF where it shrank); every other byte is the
// source's but the boot-block checksum bytes, and every checksum that held
// in the source holds.  Returns what failed, in words for the user, or an
// empty text.
std::string CheckRebuiltImage(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt,
                              const RebuiltMember& member);

}  // namespace varlin
