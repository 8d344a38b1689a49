// The port to a flash programmer of the host's own, which reaches the ROM
// chip without the BIOS and without the Kordex driver: on Linux the one a
// user boots on the board from a live system.  It reads and writes the chip
// by range; a write erases and rewrites whatever the chip needs around the
// range, leaves every other byte as it was and verifies what it wrote.
// Offsets count from the chip's first byte, which lies at 4 GiB minus the
// chip's size.
//
// The BIOS's F000 segment comes with it, as physical memory shows it (or as
// a file keeps it), since the program identifies the ROM by its records.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varlin {

class FlashProgrammerPort {
public:
    virtual ~FlashProgrammerPort() = default;

    // The chip's size in bytes, as the programmer identified it.
    virtual uint32_t ChipSize() const = 0;

    // The 64 KiB of the F000 segment, into `segment`.
    virtual bool ReadSegment(uint8_t* segment, size_t size) = 0;

    virtual bool ReadChip(uint32_t offset, uint8_t* buffer, uint32_t length) = 0;

    // True only when the chip now holds the `length` bytes at `offset` as
    // `data` gives them.
    virtual bool WriteChip(uint32_t offset, const uint8_t* data, uint32_t length) = 0;
};

}  // namespace varlin
