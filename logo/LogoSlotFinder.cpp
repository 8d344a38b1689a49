#include "logo/LogoSlotFinder.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "logo/MemberHeader.h"

namespace varlin {

namespace {

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
        uint8_t bytes[kMemberHeaderReadSize] = {};
        const size_t got = ReadAt(file.get(), start, bytes, sizeof bytes);
        MemberHeader header;
        switch (ReadMemberHeader(std::span<const uint8_t>(bytes, got), header)) {
        case HeaderVerdict::CutShort:
            return -1;  // the chain ran off the end of the image
        case HeaderVerdict::ChecksumMiss:
            start += kChecksumMissStep;
            continue;
        case HeaderVerdict::ZeroSize:
            messages.ShowMessage(kZeroHeader);
            return -1;
        case HeaderVerdict::BadAttributes:
            messages.ShowMessage(kBadHeader);
            return -1;
        case HeaderVerdict::Member:
            break;
        }
        if (header.IsLogo()) {
            if (!IsFreeSpaceAt(file.get(), start + header.ArchiveLength())) {
                messages.ShowMessage(kLogoNotLast);
                return -1;
            }
            if (start > static_cast<uint64_t>(INT32_MAX)) return -1;
            slotLength = static_cast<uint32_t>(header.ArchiveLength());
            return static_cast<int32_t>(start);
        }
        start += header.ChainLength();
        if (IsFreeSpaceAt(file.get(), start)) {
            if (start > static_cast<uint64_t>(INT32_MAX)) return -1;
            slotLength = 0;
            return static_cast<int32_t>(start);
        }
    }
}

}  // namespace varlin
