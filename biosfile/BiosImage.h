// The BIOS file to be programmed, held whole in memory, and the checks that
// admit it: its length and size code against the ROM size, and its BIOS ID
// against the ROM's (the one check the user may override).  The same pass
// decides which of the ROM's DMI and PNP areas an update rewrites and
// whether an extra 64 KiB region lies above the PNP region.
#pragma once

#include <cstdint>
#include <string>

#include "flash/RomDevice.h"
#include "platform/support/Files.h"
#include "platform/MessagePort.h"

namespace varlin {

class BiosImage {
public:
    BiosImage(RomDevice& rom, MessagePort& messages) : rom(rom), messages(messages) {}

    BiosImage(const BiosImage&) = delete;
    BiosImage& operator=(const BiosImage&) = delete;

    // Loads and checks the file; true when the update may go on.  On false
    // the user has been told why, and after a failed check no image is held
    // and `checkedBiosPath` is empty.
    bool PrepareBiosFile(const std::string& path);

    bool ReadBiosFile();
    bool CheckBiosFile();
    bool CheckSizeCode();
    bool CheckBiosId();
    // These two only decide; they fail only when the ROM cannot be read.
    bool CheckPreservedAreas();
    bool CheckExtraRegion();

    std::string checkedBiosPath;
    Bytes imageData;         // its first byte belongs at romBase
    uint32_t imageSize = 0;  // 0 when no image is held

private:
    void ReleaseImage();
    bool ReadRomLine(uint32_t address, uint8_t* line);

    RomDevice& rom;
    MessagePort& messages;
};

}  // namespace varlin
