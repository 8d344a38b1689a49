#include "logo/LogoSlotFinder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/ByteOrder.h"

namespace varlin {

namespace {

// Member header fields, at offsets from the member's first byte.
constexpr size_t kHeaderSize = 0;
constexpr size_t kHeaderChecksum = 1;
constexpr size_t kPackedSize = 7;
constexpr size_t kLoadOffset = 15;
constexpr size_t kLoadSegment = 17;
constexpr size_t kAttribute = 19;
constexpr size_t kLevel = 20;
constexpr size_t kFixedFieldsEnd = 21;

constexpr uint16_t kLogoSegment = 0x4000;
constexpr uint16_t kSystemBiosSegment = 0x5000;  // its member carries one byte more
constexpr uint64_t kChecksumMissStep = 65536;

constexpr char kCannotOpen[] = "Cannot open BIOS file!";
constexpr char kZeroHeader[] = "BIOS has error!";
constexpr char kBadHeader[] = "Bios has error!";
constexpr char kLogoNotLast[] = "The logo is not at the end of BIOS ROM!";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads up to `count` bytes at `offset`; returns how many arrived.
size_t ReadAt(std::FILE* file, uint64_t offset, uint8_t* buffer, size_t count)
{
    if (offset > static_cast<uint64_t>(INT32_MAX)) return 0;
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(buffer, 1, count, file);
}

// A byte past the end of the file counts as not free space.
bool IsFreeSpaceAt(std::FILE* file, uint64_t offset)
{
    uint8_t byte = 0;
    return ReadAt(file, offset, &byte, 1) == 1 && byte == 0xFF;
}

}  // namespace

int32_t CLogoSlotFinder::FindLogoSlot(const std::string& biosPath, uint32_t& slotLength)
{
    std::error_code error;
    File file(std::filesystem::is_regular_file(biosPath, error) ? std::fopen(biosPath.c_str(), "rb") : nullptr);
    if (!file) {
        messages.ShowMessage(kCannotOpen);
        return -1;
    }
    uint64_t start = 0;
    for (;;) {
        // The header size, its checksum and up to 256 header bytes; only
        // bytes that were really read are ever looked at.
        uint8_t header[2 + 256] = {};
        const size_t got = ReadAt(file.get(), start, header, sizeof header);
        const size_t headerSize = got > kHeaderSize ? header[kHeaderSize] : 0;
        if (got < 2 + std::max<size_t>(headerSize, kFixedFieldsEnd - 2)) return -1;

        uint8_t sum = 0;
        for (size_t i = 0; i < headerSize; ++i) sum = static_cast<uint8_t>(sum + header[2 + i]);
        if (sum != header[kHeaderChecksum]) {
            start += kChecksumMissStep;
            continue;
        }
        if (headerSize == 0) {
            messages.ShowMessage(kZeroHeader);
            return -1;
        }
        if (header[kAttribute] != 0x20 || header[kLevel] != 1) {
            messages.ShowMessage(kBadHeader);
            return -1;
        }
        const uint64_t packedSize = ReadLe32(&header[kPackedSize]);
        const uint16_t loadOffset = ReadLe16(&header[kLoadOffset]);
        const uint16_t loadSegment = ReadLe16(&header[kLoadSegment]);
        if (loadOffset == 0 && loadSegment == kLogoSegment) {
            const uint64_t length = headerSize + packedSize + 3;
            if (!IsFreeSpaceAt(file.get(), start + length)) {
                messages.ShowMessage(kLogoNotLast);
                return -1;
            }
            if (start > static_cast<uint64_t>(INT32_MAX)) return -1;
            slotLength = static_cast<uint32_t>(length);
            return static_cast<int32_t>(start);
        }
        const bool systemBios = loadOffset == 0 && loadSegment == kSystemBiosSegment;
        start += headerSize + packedSize + (systemBios ? 4 : 3);
        if (IsFreeSpaceAt(file.get(), start)) {
            if (start > static_cast<uint64_t>(INT32_MAX)) return -1;
            slotLength = 0;
            return static_cast<int32_t>(start);
        }
    }
}

}  // namespace varlin
