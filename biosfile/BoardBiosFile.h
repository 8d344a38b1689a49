// Finding the board's own BIOS file at start-up: the first file in the
// "bios" folder beside the program whose BIOS ID appears in the ROM's BIOS
// identification is copied to "yta.bin" in the program folder.
#pragma once

#include "flash/RomDevice.h"
#include "platform/PlatformServices.h"

namespace varlin {

// 1 when a file was found and copied; -1 (after advising the user where to
// put one) when none fits.
int FindBoardBiosFile(RomDevice& rom, PlatformServices& platform);

}  // namespace varlin
