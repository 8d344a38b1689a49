// A real board seen from a Linux system: the flash chip through libflashrom
// (the programmer and chip a user names as flashrom's -p and -c take them)
// and the BIOS's F000 segment from physical memory (/dev/mem), or from a
// file that holds those 64 KiB.
//
// libflashrom drives one programmer per process and talks through one log
// for all of it, so there is at most one of these at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FlashProgrammerPort.h"
#include "platform/support/Files.h"

struct flashrom_flashctx;
struct flashrom_programmer;

namespace varlin {

struct ProgrammerChoice {
    std::string programmer;   // NAME[:PARAMS]: "internal", "dummy:emulate=...,image=FILE"
    std::string chip;         // empty: the one chip the programmer finds
    std::string segmentFile;  // empty: physical memory at 0xF0000
};

class FlashromProgrammer : public FlashProgrammerPort {
public:
    // flashrom's own errors and warnings, one line at a time, as it says them.
    using Report = std::function<void(const std::string&)>;

    // Reads the segment, starts the programmer and finds the chip; nullptr,
    // with the reason in `error`, when any of it fails.
    static std::unique_ptr<FlashromProgrammer> Open(const ProgrammerChoice& choice, Report report, std::string& error);
    ~FlashromProgrammer() override;

    FlashromProgrammer(const FlashromProgrammer&) = delete;
    FlashromProgrammer& operator=(const FlashromProgrammer&) = delete;

    // The programmer's name without its parameters, and the chip as
    // flashrom names it.
    const std::string& ProgrammerName() const { return programmerName; }
    const std::string& ChipName() const { return chipName; }

    // The files a programmer's parameters name (the dummy programmer's
    // image), and the parameters with those made absolute against the
    // current directory, since flashrom opens them again when it shuts down.
    static std::vector<std::string> FilesNamedBy(const std::string& programmer);
    static std::string WithAbsoluteFiles(const std::string& programmer);

    uint32_t ChipSize() const override { return chipSize; }
    bool ReadSegment(uint8_t* segment, size_t size) override;
    bool ReadChip(uint32_t offset, uint8_t* buffer, uint32_t length) override;
    bool WriteChip(uint32_t offset, const uint8_t* data, uint32_t length) override;

    // What the log callback hands on.
    void Log(int level, const char* text);

private:
    explicit FlashromProgrammer(Report report) : report(std::move(report)) {}
    bool Start(const ProgrammerChoice& choice, std::string& error);
    bool InRegion(uint32_t offset, uint32_t length, const std::function<bool()>& operation);

    Report report;
    std::string programmerName;
    std::string chipName;
    std::vector<std::string> chipsFound;  // every "Found ... flash chip" of the last probe
    std::string pendingLine;              // an error or warning not yet ended by a newline
    Bytes segment;
    Bytes chipImage;  // flashrom reads and writes whole-chip buffers
    uint32_t chipSize = 0;
    bool initialised = false;
    bool programmerStarted = false;
    flashrom_programmer* programmer = nullptr;
    flashrom_flashctx* context = nullptr;
};

}  // namespace varlin
