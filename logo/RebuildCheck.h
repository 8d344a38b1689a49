// The check every rebuilt image passes in memory before it is written: a
// board boots only from an image whose chain, logo and boot-block checksums
// are whole, and a fault in the build must not reach its flash ROM.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "logo/StockLogo.h"

namespace varlin {

struct RebuiltLogo {
    uint64_t slotOffset = 0;
    uint64_t oldLength = 0;                      // the old logo's archive length; 0 when there was none
    std::span<const uint8_t> archive;            // the new logo member as packed
    std::span<const uint8_t> payload;            // what it must decode to
    const StockPicture* stockPicture = nullptr;  // for a stock logo: the picture it must show
};

// Compares the rebuilt image with its source: the member chain walks as in
// the source with the new logo last at the slot; the logo member is the
// archive, decodes to the payload and matches its CRC-16 (and a stock logo,
// read back as the BIOS reads it, shows exactly the intended picture and
// palette); every other byte
// is the source's but for the wiped rest of the old logo and the boot-block
// checksum bytes; and every checksum that held in the source holds.
// Returns what failed, in words for the user, or an empty text.
std::string CheckRebuiltImage(std::span<const uint8_t> source, std::span<const uint8_t> rebuilt,
                              const RebuiltLogo& logo);

}  // namespace varlin
