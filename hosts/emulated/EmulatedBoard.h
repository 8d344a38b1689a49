// An emulated mainboard: a flash ROM with real NOR-flash behaviour and the
// BIOS F000 segment, kept in a directory:
//   rom.bin      the whole flash, its first byte at 4 GiB minus its size
//   segment.bin  the 64 KiB the BIOS shows at physical 0xF0000
//   board.conf   the fitted chip, the SMI port and the faults (BoardSettings.h)
// Erasing sets a block to 0xFF; programming can only clear bits (page-write
// chips replace the bytes); protected ranges refuse both.  Every change is
// written through to rom.bin at once, so a run that stops half-way leaves
// exactly the blocks written so far.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/support/Files.h"
#include "hosts/emulated/BoardSettings.h"

namespace varlin::emulated {

inline constexpr char kRomFileName[] = "rom.bin";
inline constexpr char kSegmentFileName[] = "segment.bin";
inline constexpr char kSettingsFileName[] = "board.conf";
inline constexpr uint32_t kSegmentBase = 0x000F0000;
inline constexpr uint32_t kSegmentSize = 0x10000;

class EmulatedBoard {
public:
    // Opens a board directory; nullptr, with the reason in `error`, when it
    // is not a usable board.
    static std::unique_ptr<EmulatedBoard> Open(const std::string& directory, std::string& error);
    // A board that lives in memory only (for fuzzing): the same checks, and
    // changes reach nothing but Rom().
    static std::unique_ptr<EmulatedBoard> InMemory(Bytes rom, Bytes segment, const std::string& settings,
                                                   std::string& error);
    ~EmulatedBoard();

    EmulatedBoard(const EmulatedBoard&) = delete;
    EmulatedBoard& operator=(const EmulatedBoard&) = delete;

    uint32_t RomBase() const { return static_cast<uint32_t>(uint64_t{1} << 32) - RomSize(); }
    uint32_t RomSize() const { return static_cast<uint32_t>(rom.size()); }
    const Bytes& Rom() const { return rom; }
    const Bytes& Segment() const { return segment; }
    const BoardSettings& Settings() const { return settings; }

    // The flash as the chip answers.  Addresses outside the ROM read as
    // 0xFF and ignore writes.  False when an injected fault refuses the
    // request (or rom.bin cannot be written).
    bool Read(uint32_t address, uint8_t* buffer, size_t length) const;
    bool Program(uint32_t address, const uint8_t* data, size_t length);
    // `status` is what the chip reports afterwards.
    bool Erase(uint32_t address, uint32_t size, uint8_t& status);

    // The BIOS flash SMI's control function: 0 answers the level, 2 opens
    // flash access and 3 closes it.
    uint8_t SmiControl(uint8_t function);
    bool FlashAccessOpen() const { return flashAccessOpen; }

private:
    EmulatedBoard() = default;
    bool Fails(RequestKind kind, uint64_t first, uint64_t length) const;
    bool IsProtected(uint64_t address) const;
    bool WriteThrough(size_t offset, size_t length);
    bool InRom(uint64_t address) const { return address >= RomBase() && address < uint64_t{1} << 32; }

    Bytes rom;
    Bytes segment;
    BoardSettings settings;
    std::FILE* romFile = nullptr;  // none for a board in memory
    bool flashAccessOpen = false;
};

}  // namespace varlin::emulated
