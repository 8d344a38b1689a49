#include "biosfile/BiosImage.h"

#include <array>
#include <cstring>

#include "biosfile/BiosFileMessages.h"
#include "award/BiosId.h"
#include "award/AwardRecords.h"

namespace varlin {

namespace {

constexpr uint32_t kExtraRegionMinimumImage = 0x80000;
constexpr uint32_t kExtraRegionSize = 0x10000;
constexpr uint8_t kOptionRomMark[] = {0x55, 0xAA};

bool HasAt(const uint8_t* line, size_t offset, std::string_view pattern)
{
    return std::memcmp(line + offset, pattern.data(), pattern.size()) == 0;
}

}  // namespace

bool BiosImage::PrepareBiosFile(const std::string& path)
{
    if (!rom.FlashingAllowed()) {
        messages.ShowMessage(text::kNoFlashingUnderWindows);
        return false;
    }
    checkedBiosPath = path;
    if (!ReadBiosFile()) return false;
    if (!CheckBiosFile()) {
        ReleaseImage();
        checkedBiosPath.clear();
        return false;
    }
    return true;
}

void BiosImage::ReleaseImage()
{
    imageData.clear();
    imageData.shrink_to_fit();
    imageSize = 0;
}

bool BiosImage::ReadBiosFile()
{
    if (checkedBiosPath.empty()) return false;
    const uint32_t romSize = rom.romInfo.RomSizeBytes();
    Bytes bytes;
    const ReadStatus status = ReadWholeFile(checkedBiosPath, bytes, romSize);
    if (status == ReadStatus::CannotOpen) {
        messages.ShowMessage(text::kCouldntOpenFile);
        return false;
    }
    ReleaseImage();
    if (status == ReadStatus::ReadError) {
        messages.ShowSystemMessage(text::kReadFileError, text::kOpenFileCaption, {});
        return false;
    }
    if (status == ReadStatus::TooLarge || bytes.size() != romSize) {
        checkedBiosPath.clear();
        messages.ShowSystemMessage(text::kBiosSizeMismatch, text::kOpenFileCaption, {});
        return false;
    }
    imageData = std::move(bytes);
    imageSize = romSize;
    return true;
}

bool BiosImage::CheckBiosFile()
{
    rom.IdentifyRom();
    return CheckSizeCode() && CheckBiosId() && CheckPreservedAreas();
}

bool BiosImage::CheckSizeCode()
{
    if (SizeCodeRomUnits(std::span<const uint8_t>(imageData.data(), imageSize)) == rom.romInfo.romSizeUnits)
        return true;
    messages.ShowSystemMessage(text::kBiosSizeMismatch, text::kOpenFileCaption, {});
    return false;
}

bool BiosImage::ReadRomLine(uint32_t address, uint8_t* line) { return rom.ReadRom(address, line, kordex::kLineSize); }

bool BiosImage::CheckBiosId()
{
    uint8_t line[kordex::kLineSize];
    if (!ReadRomLine(award::kBiosIdAddress, line)) return false;
    // A file without an ID names no board, so it cannot be taken for this one's.
    const std::string fileId =
        imageSize >= award::kBiosIdFromEnd ? BiosIdText(&imageData[imageSize - award::kBiosIdFromEnd]) : "";
    if (!fileId.empty() && fileId == BiosIdText(line)) return true;
    return messages.ShowSystemMessage(text::kBiosIdError, text::kOpenFileCaption, {MessageButtons::YesNo, false}) ==
           MessageAnswer::Yes;
}

bool BiosImage::CheckPreservedAreas()
{
    RomInfo& info = rom.romInfo;
    uint8_t line[kordex::kLineSize];
    if (!ReadRomLine(info.dmiStart, line)) return false;
    if (!HasAt(line, 0, award::kDmiSignature)) info.clearDmi = true;
    if (!ReadRomLine(info.pnpStart, line)) return false;
    if (!HasAt(line, award::kPnpSignatureOffset, award::kPnpSignature)) info.clearPnp = true;
    return CheckExtraRegion();
}

bool BiosImage::CheckExtraRegion()
{
    if (imageSize < kExtraRegionMinimumImage) return true;
    const long record =
        award::FindPattern(imageData.data(), imageSize, award::kExtraRegionRecord, award::kExtraRegionSearchStart,
                           award::kExtraRegionSearchEnd, award::kRecordAlignment);
    if (record < 0 || static_cast<size_t>(record) + award::kExtraRegionFlagOffset >= imageSize ||
        (imageData[static_cast<size_t>(record) + award::kExtraRegionFlagOffset] & award::kExtraRegionFlag) == 0) {
        return true;
    }

    // The extra region follows the PNP region on boards whose small regions
    // lie at the bottom of the ROM: 64 KiB above the PNP start, inside the
    // ROM and below the Boot region.  Above a PNP region in the top 64 KiB
    // that address would run past 4 GiB; such boards have no extra region.
    RomInfo& info = rom.romInfo;
    const uint64_t extraStart = uint64_t{info.pnpStart} + kExtraRegionSize;
    if (extraStart < info.romBase || extraStart < uint64_t{info.pnpStart} + info.pnpSize ||
        extraStart + kExtraRegionSize > info.bootStart) {
        return true;
    }
    info.extraStart = static_cast<uint32_t>(extraStart);
    uint8_t line[kordex::kLineSize];
    if (!ReadRomLine(info.extraStart, line)) return false;
    if (std::memcmp(line, kOptionRomMark, sizeof kOptionRomMark) == 0) return true;
    if (HasAt(line, award::kLhaMethodOffset, award::kLhaMethod)) {
        info.extraStart = 0;
        return true;
    }
    info.extraSize = kExtraRegionSize;
    info.ComputeMainSize();
    return true;
}

}  // namespace varlin
