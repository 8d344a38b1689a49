#include "flash/RomUpdate.h"

#include <algorithm>
#include <array>

#include "flash/FlashMessages.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

// Above this address the small regions share the top 64 KiB with Boot.
constexpr uint32_t kTopSegmentStart = 0xFFFF0000u;

// The bar counts KiB, and the percentage counts the piece about to be
// written: a 64 KiB region shows 6, 12, 18, ... 100.
constexpr uint32_t kPositionPerPiece = kUpdatePieceSize / 1024;

std::string StepText(const char* prefix, const std::string& name) { return prefix + name + text::kBlockSuffix; }

std::string CauseText(const RegionFailure& failure, const char* name)
{
    switch (failure.fault) {
    case RegionFault::OutsideImage:
        return FormatText(text::kRegionOutsideImage, name);
    case RegionFault::OutsideRom:
        return FormatText(text::kRegionOutsideRom, name, static_cast<unsigned>(failure.address));
    case RegionFault::OffLayout:
        return FormatText(text::kRegionOffLayout, name, static_cast<unsigned>(failure.address));
    case RegionFault::KeptUnreadable:
        return text::kKeptAreaUnreadable;
    case RegionFault::KeptChanged:
        return FormatText(text::kKeptAreaChanged, static_cast<unsigned>(failure.address),
                          static_cast<unsigned>(failure.romByte), static_cast<unsigned>(failure.fileByte));
    case RegionFault::WriteProtected:
        return FormatText(text::kRegionWriteProtected, name);
    case RegionFault::Erase:
        return FormatText(text::kRegionEraseFailed, name);
    case RegionFault::Program:
        return FormatText(text::kRegionProgramFailed, name);
    case RegionFault::ReadBack:
        return FormatText(text::kRegionReadBackFailed, name);
    case RegionFault::Mismatch:
        return FormatText(text::kRegionMismatch, name, static_cast<unsigned>(failure.address),
                          static_cast<unsigned>(failure.romByte), static_cast<unsigned>(failure.fileByte));
    case RegionFault::None:
        break;
    }
    return {};
}

std::string JoinNames(const std::vector<const char*>& names)
{
    std::string joined;
    for (const char* name : names) {
        if (!joined.empty()) joined += ", ";
        joined += name;
    }
    return joined;
}

}  // namespace

std::vector<UpdateRegion> PlanUpdate(const RomInfo& info, uint32_t mainStart)
{
    std::vector<UpdateRegion> plan;
    const auto addDmi = [&](uint64_t imageOffset) {
        if (info.hasDmiRegion) plan.push_back({"DMI", info.dmiStart, imageOffset, info.dmiSize, info.clearDmi});
    };
    const uint64_t mainSize = info.mainSize;
    const uint64_t dmiSize = info.dmiSize;
    const uint64_t pnpSize = info.pnpSize;
    const uint64_t extraSize = info.extraSize;
    if (info.pnpStart > kTopSegmentStart || info.dmiStart > kTopSegmentStart) {
        plan.push_back({"Main", mainStart, 0, info.mainSize});
        addDmi(mainSize);
        plan.push_back({"PNP", info.pnpStart, mainSize + dmiSize, info.pnpSize});
    } else {
        // The extra region above PNP belongs to neither and is left alone.
        addDmi(0);
        plan.push_back({"PNP", info.pnpStart, dmiSize, info.pnpSize});
        plan.push_back(
            {"Main", info.pnpStart + info.pnpSize + info.extraSize, dmiSize + pnpSize + extraSize, info.mainSize});
    }
    plan.push_back({"Boot", info.bootStart, mainSize + dmiSize + pnpSize + extraSize, info.bootSize});
    return plan;
}

bool RomUpdate::Fail(RegionFault fault)
{
    failure.fault = fault;
    return false;
}

bool RomUpdate::CheckPlan(const std::vector<UpdateRegion>& plan, const Bytes& image, size_t& misfit)
{
    const RomInfo& info = rom.romInfo;
    const uint64_t romEnd = uint64_t{1} << 32;
    const uint64_t imageLimit = std::min<uint64_t>(image.size(), romSizeBytes);
    const auto misplaced = [&](size_t i, RegionFault fault) {
        misfit = i;
        failure.address = plan[i].address;
        return Fail(fault);
    };
    for (size_t i = 0; i < plan.size(); ++i) {
        const UpdateRegion& region = plan[i];
        if (!region.rewrite) continue;
        if (region.imageOffset + region.size > imageLimit) return misplaced(i, RegionFault::OutsideImage);
        const uint64_t end = uint64_t{region.address} + region.size;
        if (region.address < info.romBase || end > romEnd) return misplaced(i, RegionFault::OutsideRom);
        // Erasing works on whole blocks: a region that starts or ends inside
        // one would take its neighbour's bytes with it.
        uint32_t block = 0;
        if (!rom.BlockStartingAt(region.address, block) || (region.size != 0 && !rom.BlockStartingAt(end, block))) {
            return misplaced(i, RegionFault::OffLayout);
        }
        // The image's first byte belongs at romBase, so the region's bytes
        // are those at its distance from romBase, whatever the layout says.
        if (region.imageOffset != region.address - info.romBase) return misplaced(i, RegionFault::OffLayout);
        for (size_t j = 0; j < plan.size(); ++j) {
            const UpdateRegion& other = plan[j];
            if (j == i || other.size == 0 || region.size == 0) continue;
            if (region.address < uint64_t{other.address} + other.size && other.address < end) {
                return misplaced(i, RegionFault::OffLayout);
            }
        }
    }
    return true;
}

bool RomUpdate::ReadKeptAreas(const std::vector<UpdateRegion>& plan)
{
    std::vector<std::pair<uint64_t, uint64_t>> written;
    for (const UpdateRegion& region : plan) {
        if (region.rewrite && region.size != 0) {
            written.emplace_back(region.address, uint64_t{region.address} + region.size);
        }
    }
    std::sort(written.begin(), written.end());
    keptAreas.clear();
    uint64_t at = rom.romInfo.romBase;
    const auto keep = [&](uint64_t end) {
        if (end <= at) return true;
        KeptArea area{static_cast<uint32_t>(at), Bytes(end - at)};
        if (!rom.ReadRom(area.address, area.bytes.data(), static_cast<uint32_t>(area.bytes.size()))) return false;
        keptAreas.push_back(std::move(area));
        return true;
    };
    for (const auto& [first, end] : written) {
        if (!keep(first)) return false;
        at = std::max(at, end);
    }
    return keep(uint64_t{1} << 32);
}

bool RomUpdate::VerifyKeptAreas()
{
    for (const KeptArea& area : keptAreas) {
        if (!VerifyRegion(area.address, area.bytes.data(), static_cast<uint32_t>(area.bytes.size()))) {
            if (failure.fault == RegionFault::Mismatch) failure.fault = RegionFault::KeptChanged;
            return false;
        }
    }
    return true;
}

bool RomUpdate::UpdateRom(const Bytes& image)
{
    failure = {};
    const std::vector<UpdateRegion> plan = PlanUpdate(rom.romInfo, mainStart);
    std::vector<RegionState> states(plan.size(), RegionState::Unchanged);

    // A record that puts a region beyond the image or the ROM, or off its
    // blocks, is found before the ROM is touched, not half-way through.
    size_t misfit = 0;
    if (!CheckPlan(plan, image, misfit)) {
        ReportFailure(plan, misfit, states);
        return false;
    }
    // A programmer that reaches the chip itself may change more than the
    // region it was handed when the chip fails it (it may go on to erase a
    // larger block, up to the whole chip): the ROM as it was tells, after
    // such a failure, what each region holds.
    romBefore.clear();
    changedOutsideRegions = false;
    if (!ReadKeptAreas(plan) || (rom.ProgramsChipItself() && !ReadWholeRom(romBefore))) {
        Fail(RegionFault::KeptUnreadable);
        ReportFailure(plan, 0, states);
        return false;
    }

    for (size_t i = 0; i < plan.size(); ++i) {
        if (!plan[i].rewrite) continue;
        const bool boot = i + 1 == plan.size();
        if (!UpdateRegionOf(plan[i], image, boot)) {
            if (failure.fault != RegionFault::WriteProtected) states[i] = RegionState::Broken;
            if (!romBefore.empty()) ReassessStates(plan, image, states);
            ReportFailure(plan, i, states);
            return false;
        }
        states[i] = RegionState::Rewritten;
    }
    if (!VerifyKeptAreas()) {
        ReportFailure(plan, plan.size() - 1, states);
        return false;
    }
    return true;
}

bool RomUpdate::ReadWholeRom(Bytes& bytes)
{
    bytes.assign(rom.romInfo.RomSizeBytes(), 0);
    if (rom.ReadRom(rom.romInfo.romBase, bytes.data(), static_cast<uint32_t>(bytes.size()))) return true;
    bytes.clear();
    return false;
}

void RomUpdate::ReassessStates(const std::vector<UpdateRegion>& plan, const Bytes& image,
                               std::vector<RegionState>& states)
{
    // The failure at hand is the one to report, whatever the reads say.
    const RegionFailure cause = failure;
    Bytes now;
    const bool read = ReadWholeRom(now) && now.size() == romBefore.size();
    failure = cause;
    std::vector<bool> inRegion(romBefore.size(), false);
    const uint64_t romBase = rom.romInfo.romBase;
    for (size_t i = 0; i < plan.size(); ++i) {
        const UpdateRegion& region = plan[i];
        const uint64_t end = uint64_t{region.address} + region.size;
        if (region.size == 0 || region.address < romBase || end - romBase > romBefore.size()) continue;
        const size_t offset = static_cast<size_t>(region.address - romBase);
        std::fill_n(inRegion.begin() + static_cast<long>(offset), region.size, true);
        if (!read) {
            states[i] = RegionState::Broken;  // nothing tells what it holds
            continue;
        }
        const auto first = now.begin() + static_cast<long>(offset);
        const auto last = first + region.size;
        if (region.rewrite && std::equal(first, last, image.begin() + static_cast<long>(region.imageOffset))) {
            states[i] = RegionState::Rewritten;
        } else if (std::equal(first, last, romBefore.begin() + static_cast<long>(offset))) {
            states[i] = RegionState::Unchanged;
        } else {
            states[i] = RegionState::Broken;
        }
    }
    for (size_t at = 0; read && at < now.size() && !changedOutsideRegions; ++at) {
        changedOutsideRegions = !inRegion[at] && now[at] != romBefore[at];
    }
}

bool RomUpdate::UpdateRegionOf(const UpdateRegion& region, const Bytes& image, bool boot)
{
    if (boot && rom.BootBlockProtected()) {
        rom.ShowWriteProtectMessage();
        return Fail(RegionFault::WriteProtected);
    }
    if (ProgramRegion(region.address, image.data() + region.imageOffset, region.size, region.name)) return true;
    // A Boot region that refuses its erase is protected by a jumper, the
    // CMOS setup or the chip's lock; the chip's own words say which.
    if (boot && failure.fault == RegionFault::Erase) rom.ShowWriteProtectMessage();
    return false;
}

bool RomUpdate::ProgramRegion(uint32_t address, const uint8_t* source, uint32_t size, const std::string& name)
{
    if (rom.ProgramsChipItself()) return WriteWholeRegion(address, source, size, name);
    const uint32_t kib = size >> 10;
    progress.SetStepText(StepText(text::kErasingPrefix, name));
    progress.SetRange(kib & 0xFFFF);
    progress.SetPosition(0);

    rom.SmiOpen();
    if (!rom.EraseRange(address, size)) {
        rom.SmiClose();
        return Fail(RegionFault::Erase);
    }

    progress.SetStepText(StepText(text::kProgrammingPrefix, name));
    for (uint32_t offset = 0; offset < size; offset += kUpdatePieceSize) {
        const uint32_t position = offset / 1024 + kPositionPerPiece;
        progress.SetPosition(position);
        // A region under 1 KiB has no bar to fill; it is done in one piece.
        progress.SetPercentage(kib == 0 ? 100 : static_cast<int32_t>(position * 100) / static_cast<int32_t>(kib));
        // The last piece stops at the region's end, never past the image.
        const uint32_t length = std::min(kUpdatePieceSize, size - offset);
        if (!rom.ProgramRom(address + offset, source + offset, length)) {
            rom.SmiClose();
            return Fail(RegionFault::Program);
        }
    }
    rom.SmiClose();

    progress.SetStepText(StepText(text::kVerifyingPrefix, name));
    return VerifyRegion(address, source, size);
}

bool RomUpdate::WriteWholeRegion(uint32_t address, const uint8_t* source, uint32_t size, const std::string& name)
{
    // The programmer erases what the chip needs and writes in one go, with
    // no progress of its own to show: the bar fills when it is done.
    const uint32_t kib = size >> 10;
    progress.SetStepText(StepText(text::kProgrammingPrefix, name));
    progress.SetRange(kib & 0xFFFF);
    progress.SetPosition(0);
    if (!rom.WriteRegion(address, source, size)) return Fail(RegionFault::Program);
    progress.SetPosition(kib);
    progress.SetPercentage(100);

    progress.SetStepText(StepText(text::kVerifyingPrefix, name));
    return VerifyRegion(address, source, size);
}

bool RomUpdate::VerifyRegion(uint32_t address, const uint8_t* expected, uint32_t size)
{
    uint8_t piece[kUpdatePieceSize];
    for (uint32_t offset = 0; offset < size; offset += kUpdatePieceSize) {
        const uint32_t length = std::min(kUpdatePieceSize, size - offset);
        if (!rom.ReadRom(address + offset, piece, length)) return Fail(RegionFault::ReadBack);
        const auto [inRom, inFile] = std::mismatch(piece, piece + length, expected + offset);
        if (inRom != piece + length) {
            failure.address = address + offset + static_cast<uint32_t>(inRom - piece);
            failure.romByte = *inRom;
            failure.fileByte = *inFile;
            return Fail(RegionFault::Mismatch);
        }
    }
    return true;
}

void RomUpdate::ReportFailure(const std::vector<UpdateRegion>& plan, size_t failed,
                              const std::vector<RegionState>& states)
{
    struct Group {
        RegionState state;
        const char* prefix;
        std::vector<const char*> names;
    };
    std::array<Group, 3> groups = {{
        {RegionState::Rewritten, text::kRegionsRewritten, {}},
        {RegionState::Broken, text::kRegionsBroken, {}},
        {RegionState::Unchanged, text::kRegionsUnchanged, {}},
    }};
    // A region of no bytes can be neither rewritten nor broken.
    for (size_t i = 0; i < plan.size(); ++i) {
        if (plan[i].size == 0) continue;
        for (Group& group : groups) {
            if (group.state == states[i]) group.names.push_back(plan[i].name);
        }
    }

    std::string message = CauseText(failure, plan[failed].name);
    const auto addLine = [&message](const std::string& line) {
        message += '\n';
        message += line;
    };
    if (groups[0].names.empty() && groups[1].names.empty() && !changedOutsideRegions) {
        addLine(text::kRomUnchanged);
    } else {
        addLine(text::kUpdateIncomplete);
        for (const Group& group : groups) {
            if (!group.names.empty()) addLine(group.prefix + JoinNames(group.names) + ".");
        }
        if (changedOutsideRegions) addLine(text::kChangedOutsideRegions);
        addLine(text::kMayNotStart);
    }
    messages.ShowMessage(message);
}

}  // namespace varlin
