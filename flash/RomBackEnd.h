// The ways the ROM device reaches the flash ROM and the BIOS flash service.
// On the NT family only the Kordex driver may touch the hardware, so every
// access is one of its requests; Windows 9x lets the program read low
// memory and raise the BIOS flash SMI itself.  The device picks one of
// these at start-up and never asks again.  The native tool on a real board
// brings a third: a flash programmer of the host's own, which reaches the
// chip without the BIOS at all.
//
// A back end only carries requests; telling the user, walking the block
// table and deciding what a result means stay with the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "flash/RomInfo.h"
#include "platform/DirectHardwarePort.h"
#include "platform/FlashProgrammerPort.h"
#include "platform/KordexDevicePort.h"

namespace varlin {

enum class EraseOutcome {
    Done,           // the block was erased or the chip refused; its status tells which
    RequestFailed,  // the request did not reach the chip
    Refused,        // the BIOS refused the erase: its write protection is on
};

class RomBackEnd {
public:
    virtual ~RomBackEnd() = default;

    // The 64 KiB of physical memory from 0xF0000, into `segment`.
    virtual bool ReadSegment(uint8_t* segment, size_t size) = 0;

    // Tells the SMI port to whoever raises the SMI and asks the BIOS flash
    // service for its level; nothing when the answer is not one to trust.
    virtual std::optional<uint8_t> QuerySmiLevel() = 0;

    // One function of the BIOS flash service's control command; its answer.
    virtual uint8_t SmiControl(uint8_t function) = 0;

    // Readies a run of line reads or programs that starts at `address`;
    // the run then goes line by line, each kordex::kLineSize bytes.
    virtual bool StartLines(uint32_t address) = 0;
    virtual bool ReadLine(uint32_t address, uint8_t* line) = 0;
    virtual bool ProgramLine(uint32_t address, const uint8_t* line) = 0;

    // Erases one block; `status` (the chip's status afterwards) is set only
    // when the outcome is Done.
    virtual EraseOutcome EraseBlock(uint32_t address, uint32_t size, uint16_t& status) = 0;

    // `length` bytes from `address` on; on false `failedAt` is the address
    // of the request that failed.  Line by line unless the back end can do
    // better.
    virtual bool ReadRange(uint32_t address, uint8_t* buffer, uint32_t length, uint32_t& failedAt);

    // A programmer that reaches the chip itself uses no BIOS flash service
    // and takes whole regions: it erases, writes only what differs and
    // verifies, as the chip needs, and knows the chip's own locks.  The
    // others erase and program block by block through the BIOS's service.
    virtual bool ProgramsChipItself() const { return false; }
    virtual bool WriteRegion(uint32_t, const uint8_t*, uint32_t) { return false; }
};

// Every access a request of the Kordex driver, on the device `info` holds.
class DriverBackEnd : public RomBackEnd {
public:
    DriverBackEnd(KordexDevicePort& device, const RomInfo& info) : device(device), info(info) {}

    bool ReadSegment(uint8_t* segment, size_t size) override;
    std::optional<uint8_t> QuerySmiLevel() override;
    uint8_t SmiControl(uint8_t function) override;
    bool StartLines(uint32_t address) override;
    bool ReadLine(uint32_t address, uint8_t* line) override;
    bool ProgramLine(uint32_t address, const uint8_t* line) override;
    EraseOutcome EraseBlock(uint32_t address, uint32_t size, uint16_t& status) override;

private:
    KordexDevicePort& device;
    const RomInfo& info;
};

// Low memory read directly and the BIOS flash SMI raised on the port `info`
// names, with the bus delays each command needs.
class SmiBackEnd : public RomBackEnd {
public:
    SmiBackEnd(DirectHardwarePort& hardware, const RomInfo& info) : hardware(hardware), info(info) {}

    bool ReadSegment(uint8_t* segment, size_t size) override;
    std::optional<uint8_t> QuerySmiLevel() override;
    uint8_t SmiControl(uint8_t function) override;
    bool StartLines(uint32_t) override { return true; }  // every SMI carries its own address
    bool ReadLine(uint32_t address, uint8_t* line) override;
    bool ProgramLine(uint32_t address, const uint8_t* line) override;
    EraseOutcome EraseBlock(uint32_t address, uint32_t size, uint16_t& status) override;

private:
    void RaiseSmi(uint8_t command, SmiRegisters& registers, int busDelays);

    DirectHardwarePort& hardware;
    const RomInfo& info;
};

// A flash programmer of the host's own.  The chip's last byte lies at 4 GiB
// minus one, as the ROM's does; addresses below the chip read as 0xFF, as
// an empty bus does, and are never written.
class ProgrammerBackEnd : public RomBackEnd {
public:
    explicit ProgrammerBackEnd(FlashProgrammerPort& programmer) : programmer(programmer) {}

    bool ReadSegment(uint8_t* segment, size_t size) override { return programmer.ReadSegment(segment, size); }
    // There is no BIOS flash service to ask, open or close: the level stays 0.
    std::optional<uint8_t> QuerySmiLevel() override { return std::nullopt; }
    uint8_t SmiControl(uint8_t) override { return 0; }
    bool StartLines(uint32_t) override { return true; }
    bool ReadLine(uint32_t address, uint8_t* line) override;
    // Never erased or programmed piece by piece: only whole regions.
    bool ProgramLine(uint32_t, const uint8_t*) override { return false; }
    EraseOutcome EraseBlock(uint32_t, uint32_t, uint16_t&) override { return EraseOutcome::RequestFailed; }
    bool ReadRange(uint32_t address, uint8_t* buffer, uint32_t length, uint32_t& failedAt) override;
    bool ProgramsChipItself() const override { return true; }
    bool WriteRegion(uint32_t address, const uint8_t* data, uint32_t length) override;

private:
    uint64_t ChipBase() const { return (uint64_t{1} << 32) - programmer.ChipSize(); }

    FlashProgrammerPort& programmer;
};

}  // namespace varlin
