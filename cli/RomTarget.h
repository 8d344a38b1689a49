// What identify, backup and flash reach: an emulated board, as the Windows
// program reaches a mainboard (--board DIR, through the driver or, with
// --direct, the BIOS flash SMI), or a real board's flash chip through a
// flashrom programmer (--programmer NAME[:PARAMS], --chip, --segment).
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace varlin::cli {

struct RomTarget {
    std::string board;
    bool direct = false;
    std::string programmer;  // NAME[:PARAMS], as flashrom's -p takes it
    std::string chip;        // the chip's name, as flashrom's -c takes it
    std::string segment;     // the BIOS segment's file; empty: physical memory

    bool OnProgrammer() const { return !programmer.empty(); }
};

// Adds the options; the command's callback then calls CheckRomTarget.
void AddRomTargetOptions(CLI::App& command, RomTarget& target);

// Throws CLI::ValidationError unless one of --board and --programmer is given.
void CheckRomTarget(const CLI::App& command, const RomTarget& target);

// Makes the files the target names absolute, so that they stay valid once
// the run has moved into its working directory.
void MakeTargetPathsAbsolute(RomTarget& target);

// False, after saying which, when `output` is one of the files the target
// is made of or read from.
bool OutputSparesTarget(const std::string& output, const RomTarget& target);

}  // namespace varlin::cli
