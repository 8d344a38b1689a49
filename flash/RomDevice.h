// The program's one flash ROM device.  It reads the BIOS F000 segment once,
// identifies the flash part and the ROM's regions from the Award records in
// it, and offers the primitives every flash operation is built from: read,
// block erase, blank check, program, the BIOS flash-access calls and the
// write-protect test.
//
// Each primitive goes through one of two back ends (RomBackEnd.h), chosen
// once from `platformMode`: on the NT family the requests of the Kordex
// driver, elsewhere the BIOS flash SMI raised directly; or, where the host
// has one, through a flash programmer of its own.  Every request is
// checked: a refused read, erase or program is reported to the user and
// fails the operation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "flash/RomBackEnd.h"
#include "flash/RomInfo.h"
#include "platform/DirectHardwarePort.h"
#include "platform/FlashProgrammerPort.h"
#include "platform/KordexDevicePort.h"
#include "platform/MessagePort.h"
#include "platform/support/Files.h"

namespace varlin {

// Sets the regions, the Main size and the ROM base of a record whose layout,
// size and region flags are known, as identification does.
void ApplyRomLayout(RomInfo& info);

class RomDevice {
public:
    RomDevice(MessagePort& messages, KordexDevicePort& driverDevice, DirectHardwarePort& hardware);

    RomDevice(const RomDevice&) = delete;
    RomDevice& operator=(const RomDevice&) = delete;

    // Start-up, in this order: the platform from the system's version word
    // (which also chooses the back end), then (after the driver is open) the
    // segment, identification and the SMI level query.
    bool DetectPlatform(uint32_t platformVersion);
    // Instead of the platform's way: every access through `programmer`,
    // which must outlive the device.  Start-up then goes on as usual.
    void UseProgrammer(FlashProgrammerPort& programmer);
    bool StartRomAccess();
    bool ReadSegment();
    // Decodes the records of `segmentImage` into `romInfo`; false when the
    // flash information record is missing.
    bool IdentifyRom();

    // The BIOS identification string of the ROM: its first 8 or 10
    // characters, and the text after them.
    std::string BiosIdPrefix() const;
    std::string BiosIdRest() const;

    // `length` bytes from / to the ROM at a physical address, 16 at a time.
    bool ReadRom(uint32_t address, uint8_t* buffer, uint32_t length);
    bool ProgramRom(uint32_t address, const uint8_t* buffer, uint32_t length);

    // A programmer that reaches the chip itself (UseProgrammer) takes whole
    // regions, erasing, writing and verifying as the chip needs; the update
    // then hands it each region at once.
    bool ProgramsChipItself() const { return backEnd->ProgramsChipItself(); }
    bool WriteRegion(uint32_t address, const uint8_t* data, uint32_t length);

    // Whether backup and update may reach the ROM.  The BIOS's "flashing
    // under Windows" flag speaks of its own flash service, which the driver
    // and the SMI use and a programmer of the host's own does not.
    bool FlashingAllowed() const { return romInfo.flashInWindowsAllowed || ProgramsChipItself(); }

    // Size in bytes of the n-th block (from 1) of the block table; 0 beyond it.
    uint32_t BlockSize(uint32_t n) const;

    // True when a block of the table starts at `address` (the end of the
    // table's last block counts too); `n` is then that block's number.
    bool BlockStartingAt(uint64_t address, uint32_t& n) const;

    // Erases whole blocks from `start` (a block boundary) until `length`
    // bytes are covered, checking each block is blank afterwards.  False for
    // a start below the ROM, off a block boundary or beyond the table.
    bool EraseRange(uint32_t start, uint32_t length);

    bool IsBlockBlank(uint32_t address);

    // The BIOS flash-access open and close, sent only when the SMI level asks.
    void SmiOpen();
    void SmiClose();

    // The SST 49LF004 can lock its top boot block; true when it is locked.
    bool BootBlockProtected();

    // Tells the user the ROM refused an erase, in the words the chip calls for.
    void ShowWriteProtectMessage();

    RomInfo romInfo;
    Bytes segmentImage;        // the 64 KiB of physical memory from 0xF0000
    uint16_t eraseStatus = 0;  // the chip's status after the last block erase

private:
    bool EraseBlock(uint32_t address, uint32_t size);
    void ShowRequestFailed(const char* what, uint32_t address);

    MessagePort& messages;
    DriverBackEnd driver;
    SmiBackEnd direct;
    std::optional<ProgrammerBackEnd> programmer;
    RomBackEnd* backEnd = &direct;  // what DetectPlatform or UseProgrammer chose; direct until then
};

}  // namespace varlin
