#include "hosts/emulated/BoardMaker.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "award/BiosId.h"
#include "award/AwardRecords.h"
#include "flash/ChipCatalogue.h"
#include "flash/RomDevice.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Text.h"
#include "hosts/emulated/BoardSettings.h"
#include "hosts/emulated/EmulatedBoard.h"

namespace varlin::emulated {

namespace {

// What a board of each ROM size gets when the options leave it open.
struct SizeDefaults {
    uint32_t romSize;
    uint16_t chipId;
    uint8_t layout;
};

constexpr SizeDefaults kSizes[] = {
    {0x20000, chip::kIntel28F001BXT, 1},
    {0x40000, chip::kIntel28F002BXT, 4},
    {0x80000, chip::kSst39VF040, 6},
    {0x100000, chip::kIntelE82802AC, 4},
};

constexpr uint32_t kRomSizeUnitBytes = 0x20000;  // KAFLASH counts the size in 128 KiB
constexpr uint32_t kBlockSizes[] = {0x10000, 0x8000, 0x4000, 0x2000, 0x1000};
constexpr size_t kMaxBlockPairs = 9;  // the tenth pair ends the table
constexpr char kIdentificationFormat[] = "01/01/2004-EMULATED-%s-00";

struct Region {
    const char* name;
    uint32_t start;
    uint32_t size;
};

std::vector<Region> RegionsOf(const RomInfo& info)
{
    std::vector<Region> regions;
    if (info.bootStart != 0) regions.push_back({"Boot", info.bootStart, info.bootSize});
    if (info.dmiSize != 0) regions.push_back({"DMI", info.dmiStart, info.dmiSize});
    if (info.pnpSize != 0) regions.push_back({"PNP", info.pnpStart, info.pnpSize});
    return regions;
}

// Blocks as large as 64 KiB, each aligned to its size, and none crossing a
// region boundary, so that every region starts on a block.
bool MakeBlockTable(const RomInfo& info, std::array<uint8_t, 20>& table)
{
    const uint32_t romSize = info.RomSizeBytes();
    std::set<uint32_t> boundaries = {romSize};
    for (const Region& region : RegionsOf(info)) {
        boundaries.insert(region.start - info.romBase);
        boundaries.insert(region.start - info.romBase + region.size);
    }
    std::vector<std::pair<uint32_t, uint32_t>> pairs;  // (size, count)
    for (uint32_t at = 0; at < romSize;) {
        const uint32_t next = *boundaries.upper_bound(at);
        const uint32_t* size = std::find_if(std::begin(kBlockSizes), std::end(kBlockSizes),
                                            [&](uint32_t s) { return at % s == 0 && at + s <= next; });
        if (size == std::end(kBlockSizes)) return false;
        if (pairs.empty() || pairs.back().first != *size) pairs.emplace_back(*size, 0);
        ++pairs.back().second;
        at += *size;
    }
    if (pairs.size() > kMaxBlockPairs) return false;
    table.fill(0);
    for (size_t i = 0; i < pairs.size(); ++i) {
        table[2 * i] = static_cast<uint8_t>(pairs[i].first / 1024);
        table[2 * i + 1] = static_cast<uint8_t>(pairs[i].second);
    }
    return true;
}

void PutText(Bytes& segment, size_t offset, std::string_view text)
{
    std::copy(text.begin(), text.end(), segment.begin() + static_cast<long>(offset));
}

Bytes MakeSegment(const RomInfo& info, uint8_t flags, const BoardSummary& board)
{
    Bytes segment(kSegmentSize, 0);
    PutText(segment, kFlashRecordAt, award::kFlashRecordSignature);
    WriteLe16(&segment[kFlashRecordAt + award::kFlashRecordSmiPortOffset], kBoardSmiPort);

    PutText(segment, kFlashInfoAt, award::kFlashInfoSignature);
    segment[kFlashInfoAt + award::kFlashInfoSizeOffset] = static_cast<uint8_t>(board.romSize / kRomSizeUnitBytes);
    segment[kFlashInfoAt + award::kFlashInfoLayoutOffset] = info.layoutType;
    segment[kFlashInfoAt + award::kFlashInfoFlagsOffset] = flags;
    WriteLe16(&segment[kFlashInfoAt + award::kFlashInfoTableOffset], kBlockTableAt);
    std::copy(board.blockTable.begin(), board.blockTable.end(), segment.begin() + kBlockTableAt);

    WriteLe16(&segment[award::kChipIdOffset], board.chipId);
    // The length counts the closing zero byte.
    segment[award::kBiosIdLengthOffset] = static_cast<uint8_t>(board.identification.size() + 1);
    PutText(segment, award::kBiosIdTextOffset, board.identification);
    return segment;
}

bool WriteBoardFile(const std::filesystem::path& folder, const char* name, const Bytes& bytes, std::string& error)
{
    const std::string path = (folder / name).string();
    if (ReplaceFileAtomically(path, bytes.data(), bytes.size())) return true;
    error = "cannot write " + path;
    return false;
}

}  // namespace

bool ComposeBoard(const Bytes& image, const BoardOptions& options, BoardSummary& summary, BoardFiles& files,
                  std::string& error)
{
    const SizeDefaults* defaults = std::find_if(std::begin(kSizes), std::end(kSizes),
                                                [&](const SizeDefaults& d) { return d.romSize == image.size(); });
    if (defaults == std::end(kSizes)) {
        error = FormatText("a BIOS image is 128 KiB, 256 KiB, 512 KiB or 1 MiB long, not %u bytes",
                           static_cast<unsigned>(image.size()));
        return false;
    }
    summary = BoardSummary{};
    summary.romSize = defaults->romSize;
    summary.chipId = options.chipId.value_or(defaults->chipId);
    summary.layout = options.layout.value_or(defaults->layout);

    const std::string biosId = options.biosId.value_or(BiosIdText(&image[image.size() - award::kBiosIdFromEnd]));
    if (biosId.empty() || biosId.size() > award::kBiosIdLength) {
        error = biosId.empty() ? "the image has no BIOS ID; give the board one with --bios-id"
                               : "a BIOS ID has at most 8 characters";
        return false;
    }
    summary.identification = FormatText(kIdentificationFormat, biosId.c_str());

    RomInfo info;
    info.romSizeUnits = static_cast<uint8_t>(summary.romSize / kRomUnitSize);
    info.layoutType = summary.layout;
    info.hasDmiRegion = options.dmiRegion;
    info.hasPnpRegion = options.pnpRegion;
    ApplyRomLayout(info);
    for (const Region& region : RegionsOf(info)) {
        if (region.start < info.romBase) {
            error = FormatText("layout %u puts the %s region at 0x%08X, outside this %u KiB ROM", summary.layout,
                               region.name, region.start, summary.romSize / 1024);
            return false;
        }
    }
    if (options.protectBoot && info.bootStart == 0) {
        error = FormatText("layout %u has no Boot region to protect", summary.layout);
        return false;
    }
    if (!MakeBlockTable(info, summary.blockTable)) {
        error = "the regions of this layout need more block sizes than a block table holds";
        return false;
    }

    BoardSettings settings;
    settings.chipId = summary.chipId;
    settings.smiPort = kBoardSmiPort;
    settings.protectStatus = ProtectedEraseStatus(ChipFor(summary.chipId));
    if (options.protectBoot) settings.protectedRanges.push_back({info.bootStart, info.bootSize});
    const uint8_t flags = static_cast<uint8_t>((options.pnpRegion ? award::kFlagPnpRegion : 0) |
                                               (options.dmiRegion ? award::kFlagDmiRegion : 0) |
                                               (options.flashInWindows ? award::kFlagFlashInWindows : 0));
    files.rom = image;
    files.segment = MakeSegment(info, flags, summary);
    files.settings = FormatBoardSettings(settings);
    return true;
}

bool WriteBoard(const std::string& directory, const Bytes& image, const BoardOptions& options, BoardSummary& summary,
                std::string& error)
{
    BoardFiles files;
    if (!ComposeBoard(image, options, summary, files, error)) return false;
    const std::filesystem::path folder(directory);
    std::error_code made;
    std::filesystem::create_directories(folder, made);
    if (made) {
        error = "cannot make the folder " + directory;
        return false;
    }
    return WriteBoardFile(folder, kRomFileName, files.rom, error) &&
           WriteBoardFile(folder, kSegmentFileName, files.segment, error) &&
           WriteBoardFile(folder, kSettingsFileName, Bytes(files.settings.begin(), files.settings.end()), error);
}

bool CreateBoard(const std::string& biosPath, const std::string& directory, const BoardOptions& options,
                 BoardSummary& summary, std::string& error)
{
    Bytes image;
    const ReadStatus status = ReadWholeFile(biosPath, image, 0x100000);
    if (status != ReadStatus::Ok && status != ReadStatus::TooLarge) {
        error = "cannot read " + biosPath;
        return false;
    }
    if (status == ReadStatus::TooLarge) {
        error = "a BIOS image is at most 1 MiB long: " + biosPath;
        return false;
    }
    return WriteBoard(directory, image, options, summary, error);
}

}  // namespace varlin::emulated
