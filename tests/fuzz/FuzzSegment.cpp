// The F000 segment's records: identification of the flash part, the ROM's
// size, base, block table and regions, and the BIOS identification text,
// from 64 KiB the BIOS (or an attacker) put there.
#include <algorithm>

#include "flash/ChipCatalogue.h"
#include "tests/fuzz/FuzzBoard.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::FuzzBoard board;
    RomDevice& rom = board.rom;
    rom.romInfo = RomInfo{};
    std::fill(rom.segmentImage.begin(), rom.segmentImage.end(), 0);
    std::copy_n(data, std::min(size, rom.segmentImage.size()), rom.segmentImage.begin());

    if (rom.IdentifyRom()) {
        const RomInfo& info = rom.romInfo;
        FUZZ_EXPECT(info.romBase >= 0xFFF00000u && info.RomSizeBytes() <= 255u * 0x10000);
        // The table walks from the ROM's first byte, whatever it holds.
        uint32_t block = 0;
        FUZZ_EXPECT(!rom.BlockStartingAt(info.romBase, block) || block == 1);
        for (uint64_t at :
             {uint64_t{info.bootStart}, uint64_t{info.dmiStart}, uint64_t{info.pnpStart}, uint64_t{1} << 32}) {
            rom.BlockStartingAt(at, block);
        }
    }
    const std::string prefix = rom.BiosIdPrefix();
    const std::string rest = rom.BiosIdRest();
    FUZZ_EXPECT(prefix.size() <= 10 && rest.size() <= 127);
    ChipName(rom.romInfo.chipId);
    return 0;
}
