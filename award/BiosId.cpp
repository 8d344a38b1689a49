#include "award/BiosId.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "award/AwardRecords.h"
#include "platform/support/Files.h"

namespace varlin {

namespace {

struct SizeCodeRow {
    char code;
    uint8_t romSizeUnits;
};

constexpr std::array<SizeCodeRow, 3> kSizeCodes = {{
    {award::kSizeCode256K, 4},
    {award::kSizeCode512K, 8},
    {award::kSizeCode1M, 16},
}};
constexpr uint8_t kOtherSizeCodeUnits = 2;  // 128 KiB

}  // namespace

std::string BiosIdText(const uint8_t* id)
{
    std::string text;
    for (size_t i = 0; i < award::kBiosIdLength && id[i] != 0; ++i) text.push_back(static_cast<char>(id[i]));
    return text;
}

bool ReadFileBiosId(const std::string& path, std::string& id)
{
    id.clear();
    uint64_t size = 0;
    if (!FileSizeOf(path, size)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    uint8_t bytes[award::kBiosIdLength];
    if (size >= award::kBiosIdFromEnd && std::fseek(file, -static_cast<long>(award::kBiosIdFromEnd), SEEK_END) == 0 &&
        std::fread(bytes, 1, sizeof bytes, file) == sizeof bytes) {
        id = BiosIdText(bytes);
    }
    std::fclose(file);
    return true;
}

bool IsRomImageSize(uint64_t bytes)
{
    constexpr uint64_t kUnit = 0x10000;
    if (bytes == kOtherSizeCodeUnits * kUnit) return true;
    return std::any_of(kSizeCodes.begin(), kSizeCodes.end(),
                       [bytes](const SizeCodeRow& row) { return bytes == row.romSizeUnits * kUnit; });
}

uint8_t SizeCodeRomUnits(std::span<const uint8_t> image)
{
    if (image.size() < award::kSizeCodeFromEnd) return kOtherSizeCodeUnits;
    const char code = static_cast<char>(image[image.size() - award::kSizeCodeFromEnd]);
    for (const SizeCodeRow& row : kSizeCodes) {
        if (row.code == code) return row.romSizeUnits;
    }
    return kOtherSizeCodeUnits;
}

}  // namespace varlin
