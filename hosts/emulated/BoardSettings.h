// The settings file of an emulated board, "board.conf": what the fitted
// chip is and how the board misbehaves.  One "key = value" per line; "#"
// starts a comment; numbers are decimal or 0x-hexadecimal.
//
//   chip = 0x7C89                  the flash part fitted (erase and program behave like it)
//   smi-port = 0xB2                the port the BIOS flash SMI listens on
//   smi-level = 0                  what SMI function 0 answers; from 4 on, direct-mode erase
//                                  and program need flash access opened (function 2) first
//   protect = 0xFFFFC000 0x4000    a write-protected range, start and size (may repeat)
//   protect-status = 0xA0          the status byte a refused erase reports
//   fail = read 0xFFFE8000         the read, erase or program request that touches this
//                                  address fails (may repeat)
//   stuck-block = 0xFFFF0000       the block holding this address will not erase (may repeat)
//   stuck-byte = 0xFFFE1234        this byte will not program (may repeat)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varlin::emulated {

struct AddressRange {
    uint32_t start = 0;
    uint32_t size = 0;

    bool Contains(uint64_t address) const { return address >= start && address < uint64_t{start} + size; }
    bool Overlaps(uint64_t first, uint64_t length) const
    {
        return first < uint64_t{start} + size && uint64_t{start} < first + length;
    }
};

enum class RequestKind { Read, Erase, Program };

struct FailingRequest {
    RequestKind kind = RequestKind::Read;
    uint32_t address = 0;
};

struct BoardSettings {
    uint16_t chipId = 0xA5FF;
    uint16_t smiPort = 0x00B2;
    uint8_t smiLevel = 0;
    std::vector<AddressRange> protectedRanges;
    uint8_t protectStatus = 0xA0;
    std::vector<FailingRequest> failingRequests;
    std::vector<uint32_t> stuckBlocks;
    std::vector<uint32_t> stuckBytes;
};

// False with `error` naming the line when the text is not a settings file.
bool ParseBoardSettings(const std::string& text, BoardSettings& settings, std::string& error);
std::string FormatBoardSettings(const BoardSettings& settings);

}  // namespace varlin::emulated
