// The Update BIOS dialog's work: a checked BIOS image written into the
// flash ROM region by region (Main, DMI and PNP in the order of their
// addresses, Boot last), each region erased, programmed in 4096-byte pieces
// with a progress bar and a percentage, and read back.  A programmer that
// reaches the chip itself is handed each region whole instead.
//
// Nothing can bring the old BIOS back once a region is erased, so an update
// that stops tells the user exactly which regions hold the new BIOS, which
// one is broken off and which still hold the old one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flash/RomDevice.h"
#include "platform/support/Files.h"
#include "platform/MessagePort.h"
#include "platform/ProgressPort.h"

namespace varlin {

inline constexpr uint32_t kUpdatePieceSize = 4096;

// One region of an update: where it lies in the ROM and in the image.
struct UpdateRegion {
    const char* name;  // "Main", "DMI", "PNP" or "Boot"
    uint32_t address;  // physical
    uint64_t imageOffset;
    uint32_t size;
    bool rewrite = true;  // false: the ROM's DMI data is kept
};

// The regions in the order they are programmed: Main first when the small
// regions lie just below Boot (above 0xFFFF0000), else DMI, PNP, Main; Boot
// always last.  DMI appears only on boards that have it.
std::vector<UpdateRegion> PlanUpdate(const RomInfo& info, uint32_t mainStart);

enum class RegionFault {
    None,
    OutsideImage,
    OutsideRom,  // the plan puts the region outside the ROM
    OffLayout,   // off the erase blocks, over another region, or not where the file holds it
    WriteProtected,
    Erase,
    Program,
    ReadBack,
    Mismatch,
    KeptUnreadable,
    KeptChanged,  // the ROM changed outside every region written
};

struct RegionFailure {
    RegionFault fault = RegionFault::None;
    uint32_t address = 0;  // of the first byte that did not verify
    uint8_t romByte = 0;   // what the ROM holds there
    uint8_t fileByte = 0;  // what the image holds
};

class RomUpdate {
public:
    RomUpdate(RomDevice& rom, MessagePort& messages, ProgressPort& progress)
        : rom(rom), messages(messages), progress(progress)
    {
    }

    // The whole update.  True only when every region, Boot included, was
    // programmed and reads back as the image holds it.  On false the user
    // has been told what failed and in what state the ROM is left.
    bool UpdateRom(const Bytes& image);

    // Erases, programs and reads back one region; true when the ROM then
    // holds the `size` bytes at `source`, the bytes the image holds for the
    // region's address.  On false `failure` says why (a
    // refused request has been reported by the ROM device).
    bool ProgramRegion(uint32_t address, const uint8_t* source, uint32_t size, const std::string& name);

    uint32_t mainStart = 0;     // the Main region's address when it lies at the bottom of the ROM
    uint32_t romSizeBytes = 0;  // the length the image must have
    RegionFailure failure;      // of the region that stopped the last update

private:
    enum class RegionState { Unchanged, Rewritten, Broken };

    // Finds, before anything is erased, a region the plan cannot program
    // as it stands; false with `failure` and `misfit` set.
    bool CheckPlan(const std::vector<UpdateRegion>& plan, const Bytes& image, size_t& misfit);
    bool UpdateRegionOf(const UpdateRegion& region, const Bytes& image, bool boot);
    // ProgramRegion on a programmer that reaches the chip itself.
    bool WriteWholeRegion(uint32_t address, const uint8_t* source, uint32_t size, const std::string& name);
    bool VerifyRegion(uint32_t address, const uint8_t* expected, uint32_t size);
    // What the update must not change: every ROM byte outside the regions
    // it rewrites, as read before the first erase.
    bool ReadKeptAreas(const std::vector<UpdateRegion>& plan);
    bool VerifyKeptAreas();
    bool ReadWholeRom(Bytes& bytes);
    // After a failure on a programmer that reaches the chip itself: each
    // region's state as the ROM now shows it, against the image and against
    // the ROM as it was before the update.
    void ReassessStates(const std::vector<UpdateRegion>& plan, const Bytes& image, std::vector<RegionState>& states);
    bool Fail(RegionFault fault);
    void ReportFailure(const std::vector<UpdateRegion>& plan, size_t failed, const std::vector<RegionState>& states);

    struct KeptArea {
        uint32_t address;
        Bytes bytes;
    };

    RomDevice& rom;
    MessagePort& messages;
    ProgressPort& progress;
    std::vector<KeptArea> keptAreas;
    Bytes romBefore;  // the whole ROM before the update, on a programmer that reaches the chip itself
    bool changedOutsideRegions = false;
};

}  // namespace varlin
