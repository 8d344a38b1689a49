// Finding where the logo goes in an Award BIOS image.
//
// The image holds its modules as a chain of LHA level-1 members from offset
// 0; the chain ends where the next member would start on a 0xFF byte, the
// first byte of the free space.  The logo is the member loaded at 4000:0,
// and it may only be replaced when it is the last member.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "award/BootBlockChecksums.h"
#include "award/MemberChain.h"
#include "platform/MessagePort.h"

namespace varlin {

// The refusal the user is shown when a chain ends this way; null where the
// chain gives a slot or ends silently.
const char* SlotRefusal(ChainEnd end);

// The run of 0xFF bytes from `offset` on: the room a new logo may take.  The
// boot block's checksum bytes never count as free space, even where one
// holds 0xFF: they must stay where the boot block reads them.
uint64_t FreeSpaceAt(std::span<const uint8_t> image, uint64_t offset, const BootBlockChecksums& checksums);

class CLogoSlotFinder {
public:
    explicit CLogoSlotFinder(MessagePort& messages) : messages(messages) {}
    virtual ~CLogoSlotFinder() = default;

    // Returns the offset at which the new logo archive goes and sets
    // `slotLength` to the length of the old logo there (0 when the image has
    // none and the slot is the free space after the last member); -1 when
    // there is no usable slot, after a message where one is due.
    int32_t FindLogoSlot(const std::string& biosPath, uint32_t& slotLength);

private:
    MessagePort& messages;
};

}  // namespace varlin
