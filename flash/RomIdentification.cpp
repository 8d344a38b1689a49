// Identification: the platform, the F000 segment and the Award records in it.
#include <algorithm>
#include <array>
#include <new>
#include <optional>

#include "award/AwardRecords.h"
#include "flash/FlashMessages.h"
#include "flash/RomDevice.h"
#include "platform/support/ByteOrder.h"

namespace varlin {

namespace {

struct Region {
    uint32_t start;
    uint32_t size;
};

// Where a layout puts the Boot, DMI and PNP regions.  A missing DMI or PNP
// entry leaves those fields as they were.
struct LayoutRow {
    uint8_t firstLayout;
    uint8_t lastLayout;
    Region boot;
    bool hasDmi;
    Region dmi;
    Region pnp;
};

constexpr std::array<LayoutRow, 4> kLayouts = {{
    {1, 2, {0xFFFFE000, 0x2000}, true, {0xFFFFC000, 0x1000}, {0xFFFFD000, 0x1000}},
    {3, 3, {0xFFFFC000, 0x4000}, false, {0, 0}, {0xFFFF8000, 0x4000}},
    {4, 5, {0xFFFFC000, 0x4000}, true, {0xFFFF8000, 0x2000}, {0xFFFFA000, 0x2000}},
    {6, 6, {0xFFFF0000, 0x10000}, true, {0xFFF80000, 0x10000}, {0xFFF90000, 0x10000}},
}};

// Unknown layouts keep the Boot start and know only the Boot size.
constexpr uint32_t kDefaultBootSize = 0x2000;

struct RomBaseRow {
    uint8_t romSizeUnits;
    uint32_t romBase;
};

constexpr std::array<RomBaseRow, 3> kRomBases = {{{4, 0xFFFC0000}, {8, 0xFFF80000}, {16, 0xFFF00000}}};
constexpr uint32_t kDefaultRomBase = 0xFFFE0000;  // 128 KiB, and any size not listed

// The version word's high bit marks the Windows 9x family and Win32s; a
// major version below 4 there is Win32s.
constexpr uint32_t kNotNtBit = 0x80000000;
constexpr uint32_t kWin9xMajorVersion = 4;

uint32_t RomBaseFor(uint8_t romSizeUnits)
{
    for (const RomBaseRow& row : kRomBases) {
        if (row.romSizeUnits == romSizeUnits) return row.romBase;
    }
    return kDefaultRomBase;
}

void SetRegions(RomInfo& info)
{
    const auto row = std::find_if(kLayouts.begin(), kLayouts.end(), [&info](const LayoutRow& r) {
        return info.layoutType >= r.firstLayout && info.layoutType <= r.lastLayout;
    });
    if (row == kLayouts.end()) {
        info.bootSize = kDefaultBootSize;
        return;
    }
    info.bootStart = row->boot.start;
    info.bootSize = row->boot.size;
    if (info.hasDmiRegion && row->hasDmi) {
        info.dmiStart = row->dmi.start;
        info.dmiSize = row->dmi.size;
    }
    if (info.hasPnpRegion) {
        info.pnpStart = row->pnp.start;
        info.pnpSize = row->pnp.size;
    }
}

long FindRecord(const Bytes& segment, std::string_view signature)
{
    return award::FindPattern(segment.data(), segment.size(), signature, 0, segment.size(), award::kRecordAlignment);
}

// Text up to the first zero byte, at most `length` characters.
std::string TextAt(const Bytes& segment, size_t offset, size_t length)
{
    std::string text;
    for (size_t i = offset; i < offset + length && i < segment.size() && segment[i] != 0; ++i) {
        text.push_back(static_cast<char>(segment[i]));
    }
    return text;
}

}  // namespace

void ApplyRomLayout(RomInfo& info)
{
    SetRegions(info);
    info.ComputeMainSize();
    info.romBase = RomBaseFor(info.romSizeUnits);
}

RomDevice::RomDevice(MessagePort& messages, KordexDevicePort& driverDevice, DirectHardwarePort& hardware)
    : messages(messages), driver(driverDevice, romInfo), direct(hardware, romInfo)
{
#if __cpp_exceptions
    try {
        segmentImage.assign(kordex::kSegmentSize, 0);
    } catch (const std::bad_alloc&) {
        messages.ShowMessage(text::kMallocError);
    }
#else
    // Built without exceptions (the 32-bit program), memory that runs out
    // ends the program with its own message.
    segmentImage.assign(kordex::kSegmentSize, 0);
#endif
}

bool RomDevice::DetectPlatform(uint32_t version)
{
    if ((version & kNotNtBit) == 0) {
        romInfo.platformMode = kPlatformNt;
    } else if ((version & 0xFF) < kWin9xMajorVersion) {
        romInfo.platformMode = kPlatformWin32s;
    } else {
        romInfo.platformMode = kPlatformWin9x;
    }
    backEnd = romInfo.DriverMode() ? static_cast<RomBackEnd*>(&driver) : &direct;
    return true;
}

void RomDevice::UseProgrammer(FlashProgrammerPort& port)
{
    programmer.emplace(port);
    backEnd = &*programmer;
}

bool RomDevice::ReadSegment()
{
    if (segmentImage.size() != kordex::kSegmentSize) return false;
    const bool read = backEnd->ReadSegment(segmentImage.data(), segmentImage.size());
    if (!read) {
        // Half-read records must not be taken for the BIOS's own.
        std::fill(segmentImage.begin(), segmentImage.end(), 0);
        ShowRequestFailed(text::kRomReadFailed, kordex::kSegmentAddress);
    }
    return read;
}

bool RomDevice::IdentifyRom()
{
    RomInfo& info = romInfo;
    info.blockTable[0] = 0;
    if (segmentImage.size() != kordex::kSegmentSize) return false;

    // A record too close to the segment's end to hold its port names none.
    const long flashRecord = FindRecord(segmentImage, award::kFlashRecordSignature);
    if (flashRecord >= 0 &&
        static_cast<size_t>(flashRecord) + award::kFlashRecordSmiPortOffset + 2 <= segmentImage.size()) {
        info.smiPort = ReadLe16(&segmentImage[static_cast<size_t>(flashRecord) + award::kFlashRecordSmiPortOffset]);
    }

    info.chipId = ReadLe16(&segmentImage[award::kChipIdOffset]);
    info.flashInfoFound = false;
    const long infoRecord = FindRecord(segmentImage, award::kFlashInfoSignature);
    if (infoRecord < 0 || static_cast<size_t>(infoRecord) + award::kFlashInfoRecordSize > segmentImage.size()) {
        return false;
    }
    const uint8_t* record = &segmentImage[static_cast<size_t>(infoRecord)];
    const size_t tableOffset = ReadLe16(record + award::kFlashInfoTableOffset);
    info.blockTable.fill(0);
    if (tableOffset + award::kBlockTableSize <= segmentImage.size()) {
        std::copy_n(&segmentImage[tableOffset], award::kBlockTableSize, info.blockTable.begin());
    }
    info.romSizeUnits = static_cast<uint8_t>(record[award::kFlashInfoSizeOffset] * 2);
    info.layoutType = record[award::kFlashInfoLayoutOffset];
    const uint8_t flags = record[award::kFlashInfoFlagsOffset];
    info.hasPnpRegion = (flags & award::kFlagPnpRegion) != 0;
    info.hasDmiRegion = (flags & award::kFlagDmiRegion) != 0;
    info.flashInWindowsAllowed = (flags & award::kFlagFlashInWindows) != 0;
    info.flashInfoFound = true;

    ApplyRomLayout(info);
    return true;
}

bool RomDevice::StartRomAccess()
{
    const bool segmentRead = ReadSegment();
    IdentifyRom();
    if (const std::optional<uint8_t> level = backEnd->QuerySmiLevel()) romInfo.smiLevel = *level;
    return segmentRead;
}

std::string RomDevice::BiosIdPrefix() const
{
    if (segmentImage.size() != kordex::kSegmentSize) return {};
    const size_t prefix =
        segmentImage[award::kBiosIdPrefixMarkOffset] == '-' ? award::kShortPrefixLength : award::kLongPrefixLength;
    return TextAt(segmentImage, award::kBiosIdTextOffset, prefix);
}

std::string RomDevice::BiosIdRest() const
{
    if (segmentImage.size() != kordex::kSegmentSize) return {};
    const int prefix =
        segmentImage[award::kBiosIdPrefixMarkOffset] == '-' ? award::kShortPrefixLength : award::kLongPrefixLength;
    const uint8_t lengthByte = segmentImage[award::kBiosIdLengthOffset];  // signed
    const int length = lengthByte < 0x80 ? lengthByte : lengthByte - 0x100;
    const int rest = length - prefix - 1;
    if (rest <= 0) return {};
    return TextAt(segmentImage, award::kBiosIdTextOffset + static_cast<size_t>(prefix), static_cast<size_t>(rest));
}

uint32_t RomDevice::BlockSize(uint32_t n) const
{
    const std::array<uint8_t, 20>& table = romInfo.blockTable;
    for (size_t pair = 0; pair < table.size(); pair += 2) {
        const uint8_t kib = table[pair];
        const uint8_t count = table[pair + 1];
        if (count == 0) return 0;
        if (n <= count) return kib * 1024u;
        n -= count;
    }
    return 0;  // ten pairs in use and no terminator: nothing beyond them
}

}  // namespace varlin
