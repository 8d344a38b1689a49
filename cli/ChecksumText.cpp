#include "cli/ChecksumText.h"

#include "platform/support/Text.h"

namespace varlin::cli {

namespace {

unsigned long long Offset(uint64_t offset) { return static_cast<unsigned long long>(offset); }

std::string Verdict(bool holds) { return holds ? "holds" : "stale"; }

std::string BlockSumsText(const BootBlockChecksums& checksums)
{
    std::string text;
    for (size_t i = 0; i < checksums.blockSums.size(); ++i) {
        text += FormatText("%s0x%llX: 0x%02X", i == 0 ? "" : ", ", Offset(checksums.PageStart() + 0x400 * i),
                           static_cast<unsigned>(checksums.blockSums[i]));
    }
    return text;
}

}  // namespace

std::string ChecksumLines(const BootBlockChecksums& checksums)
{
    if (!checksums.tableFound) return "checksums:  none recognised (no *BBSS* table in the last 64 KiB)\n";
    std::string text = FormatText("checksums:  *BBSS* table at 0x%llX\n", Offset(checksums.tableOffset));
    text += FormatText("  main     0x%llX: stored 0x%02X, computed 0x%02X, %s\n", Offset(checksums.main.offset),
                       static_cast<unsigned>(checksums.main.stored), static_cast<unsigned>(checksums.main.computed),
                       Verdict(checksums.main.Holds()).c_str());
    if (checksums.blockStartFound) {
        text += FormatText("  block    0x%llX: stored 0x%02X, computed 0x%02X from 0x%llX, holds\n",
                           Offset(checksums.block.offset), static_cast<unsigned>(checksums.block.stored),
                           static_cast<unsigned>(checksums.block.computed), Offset(checksums.blockStart));
    } else {
        text += FormatText("  block    0x%llX: stored 0x%02X, no block of the page sums to it (%s), stale\n",
                           Offset(checksums.block.offset), static_cast<unsigned>(checksums.block.stored),
                           BlockSumsText(checksums).c_str());
    }
    return text;
}

std::string ChecksumJson(const BootBlockChecksums& checksums)
{
    if (!checksums.tableFound) return "null";
    std::string sums;
    for (size_t i = 0; i < checksums.blockSums.size(); ++i) {
        sums += FormatText("%s%u", i == 0 ? "" : ", ", static_cast<unsigned>(checksums.blockSums[i]));
    }
    return FormatText(
        "{\"table\": %llu, \"main\": {\"offset\": %llu, \"stored\": %u, \"computed\": %u, \"holds\": %s}, "
        "\"block\": {\"offset\": %llu, \"stored\": %u, \"start\": %s, \"holds\": %s, \"sumsFromPage\": [%s]}}",
        Offset(checksums.tableOffset), Offset(checksums.main.offset), static_cast<unsigned>(checksums.main.stored),
        static_cast<unsigned>(checksums.main.computed), checksums.main.Holds() ? "true" : "false",
        Offset(checksums.block.offset), static_cast<unsigned>(checksums.block.stored),
        checksums.blockStartFound ? std::to_string(checksums.blockStart).c_str() : "null",
        checksums.blockStartFound ? "true" : "false", sums.c_str());
}

std::string ChecksumRepairLine(const BootBlockChecksums& before, const BootBlockChecksums& after)
{
    if (!before.MainHolds())
        return "no boot-block checksum recognised; the image is written unchanged outside the logo slot";
    std::string line =
        FormatText("boot-block checksums kept: main at 0x%llX 0x%02X -> 0x%02X", Offset(before.main.offset),
                   static_cast<unsigned>(before.main.stored), static_cast<unsigned>(after.main.stored));
    if (before.BlockHolds()) {
        line += FormatText(", block at 0x%llX 0x%02X -> 0x%02X", Offset(before.block.offset),
                           static_cast<unsigned>(before.block.stored), static_cast<unsigned>(after.block.stored));
    }
    return line;
}

}  // namespace varlin::cli
