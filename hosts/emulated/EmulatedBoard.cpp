#include "hosts/emulated/EmulatedBoard.h"

#include <algorithm>

#include "flash/ChipCatalogue.h"
#include "flash/FlashSmi.h"

namespace varlin::emulated {

namespace {

constexpr size_t kLargestRom = 0x1000000;

bool IsRomSize(size_t size) { return size >= kSegmentSize && size <= kLargestRom && (size & (size - 1)) == 0; }

}  // namespace

std::unique_ptr<EmulatedBoard> EmulatedBoard::InMemory(Bytes rom, Bytes segment, const std::string& settings,
                                                       std::string& error)
{
    std::unique_ptr<EmulatedBoard> board(new EmulatedBoard);
    board->rom = std::move(rom);
    board->segment = std::move(segment);
    if (!IsRomSize(board->rom.size())) {
        error = "no flash image of 64 KiB to 16 MiB (a power of two)";
        return nullptr;
    }
    if (board->segment.size() != kSegmentSize) {
        error = "no 64 KiB BIOS segment";
        return nullptr;
    }
    if (!ParseBoardSettings(settings, board->settings, error)) return nullptr;
    return board;
}

std::unique_ptr<EmulatedBoard> EmulatedBoard::Open(const std::string& directory, std::string& error)
{
    const std::string romPath = PathInFolder(directory, kRomFileName);
    const std::string segmentPath = PathInFolder(directory, kSegmentFileName);
    const std::string settingsPath = PathInFolder(directory, kSettingsFileName);
    Bytes rom;
    Bytes segment;
    Bytes settingsText;
    if (ReadWholeFile(romPath, rom, kLargestRom) != ReadStatus::Ok) rom.clear();
    if (ReadWholeFile(segmentPath, segment) != ReadStatus::Ok) segment.clear();
    const bool settingsRead = ReadWholeFile(settingsPath, settingsText) == ReadStatus::Ok;
    std::string partError;
    std::unique_ptr<EmulatedBoard> board =
        InMemory(std::move(rom), std::move(segment), std::string(settingsText.begin(), settingsText.end()), partError);
    if (!board || !settingsRead) {
        if (partError.starts_with("no flash image")) {
            error = partError + " in " + romPath;
        } else if (partError.starts_with("no 64 KiB")) {
            error = partError + " in " + segmentPath;
        } else {
            error = "unusable board settings " + settingsPath + (partError.empty() ? "" : ": " + partError);
        }
        return nullptr;
    }
    board->romFile = std::fopen(romPath.c_str(), "r+b");
    if (board->romFile == nullptr) {
        error = "cannot open " + romPath + " for writing";
        return nullptr;
    }
    return board;
}

EmulatedBoard::~EmulatedBoard()
{
    if (romFile != nullptr) std::fclose(romFile);
}

bool EmulatedBoard::Fails(RequestKind kind, uint64_t first, uint64_t length) const
{
    return std::any_of(settings.failingRequests.begin(), settings.failingRequests.end(),
                       [&](const FailingRequest& request) {
                           return request.kind == kind && request.address >= first && request.address < first + length;
                       });
}

bool EmulatedBoard::IsProtected(uint64_t address) const
{
    return std::any_of(settings.protectedRanges.begin(), settings.protectedRanges.end(),
                       [address](const AddressRange& range) { return range.Contains(address); });
}

bool EmulatedBoard::WriteThrough(size_t offset, size_t length)
{
    if (romFile == nullptr) return true;
    return std::fseek(romFile, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fwrite(&rom[offset], 1, length, romFile) == length && std::fflush(romFile) == 0;
}

bool EmulatedBoard::Read(uint32_t address, uint8_t* buffer, size_t length) const
{
    if (Fails(RequestKind::Read, address, length)) return false;
    for (size_t i = 0; i < length; ++i) {
        const uint64_t at = uint64_t{address} + i;
        buffer[i] = InRom(at) ? rom[at - RomBase()] : 0xFF;
    }
    return true;
}

bool EmulatedBoard::Program(uint32_t address, const uint8_t* data, size_t length)
{
    if (Fails(RequestKind::Program, address, length)) return false;
    const bool pageWrite = ChipFor(settings.chipId).traits.pageWrite;
    size_t first = SIZE_MAX;
    size_t last = 0;
    for (size_t i = 0; i < length; ++i) {
        const uint64_t at = uint64_t{address} + i;
        if (!InRom(at) || IsProtected(at)) continue;
        if (std::find(settings.stuckBytes.begin(), settings.stuckBytes.end(), at) != settings.stuckBytes.end()) {
            continue;
        }
        uint8_t& cell = rom[at - RomBase()];
        cell = pageWrite ? data[i] : static_cast<uint8_t>(cell & data[i]);
        first = std::min(first, static_cast<size_t>(at - RomBase()));
        last = static_cast<size_t>(at - RomBase());
    }
    return first == SIZE_MAX || WriteThrough(first, last - first + 1);
}

bool EmulatedBoard::Erase(uint32_t address, uint32_t size, uint8_t& status)
{
    if (Fails(RequestKind::Erase, address, size)) return false;
    const bool refused = std::any_of(settings.protectedRanges.begin(), settings.protectedRanges.end(),
                                     [&](const AddressRange& range) { return range.Overlaps(address, size); });
    if (refused) {
        status = settings.protectStatus;
        return true;
    }
    const bool stuck = std::any_of(settings.stuckBlocks.begin(), settings.stuckBlocks.end(), [&](uint32_t at) {
        return at >= address && uint64_t{at} < uint64_t{address} + size;
    });
    if (stuck) {
        status = chip::kEraseFailed;
        return true;
    }
    status = chip::kEraseDone;
    const uint64_t first = std::max<uint64_t>(address, RomBase());
    const uint64_t end = std::min<uint64_t>(uint64_t{address} + size, uint64_t{1} << 32);
    if (first >= end) return true;
    std::fill(rom.begin() + static_cast<long>(first - RomBase()), rom.begin() + static_cast<long>(end - RomBase()),
              0xFF);
    return WriteThrough(static_cast<size_t>(first - RomBase()), static_cast<size_t>(end - first));
}

uint8_t EmulatedBoard::SmiControl(uint8_t function)
{
    if (function == smi::kOpenFlashAccess) flashAccessOpen = true;
    if (function == smi::kCloseFlashAccess) flashAccessOpen = false;
    return settings.smiLevel;
}

}  // namespace varlin::emulated
