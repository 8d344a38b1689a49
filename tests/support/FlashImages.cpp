#include "tests/support/FlashImages.h"

#include <random>
#include <stdexcept>

#include "award/AwardRecords.h"
#include "flash/DriverService.h"

namespace varlin::test {

Bytes MakeFlashImage(uint32_t size, std::string_view biosId, unsigned seed)
{
    std::mt19937 random(seed);
    Bytes image(size);
    for (uint8_t& byte : image) byte = static_cast<uint8_t>(random());
    const char code = size == 256 * kKiB    ? award::kSizeCode256K
                      : size == 512 * kKiB  ? award::kSizeCode512K
                      : size == 1024 * kKiB ? award::kSizeCode1M
                                            : 'Y';
    image[size - award::kSizeCodeFromEnd] = static_cast<uint8_t>(code);
    for (size_t i = 0; i < award::kBiosIdLength; ++i) {
        image[size - award::kBiosIdFromEnd + i] = i < biosId.size() ? static_cast<uint8_t>(biosId[i]) : 0;
    }
    return image;
}

size_t ImageOffset(const Bytes& image, uint32_t address)
{
    return address - static_cast<uint32_t>((uint64_t{1} << 32) - image.size());
}

void PutAt(Bytes& image, uint32_t address, std::string_view text)
{
    std::copy(text.begin(), text.end(), image.begin() + static_cast<long>(ImageOffset(image, address)));
}

void PutExtraRegionRecord(Bytes& image, size_t offset, bool flagSet)
{
    std::copy(award::kExtraRegionRecord.begin(), award::kExtraRegionRecord.end(),
              image.begin() + static_cast<long>(offset));
    image[offset + award::kExtraRegionFlagOffset] = flagSet ? award::kExtraRegionFlag : 0xF7;
}

std::vector<std::string> UpdateSteps(std::initializer_list<const char*> regions)
{
    std::vector<std::string> steps;
    for (const char* region : regions) {
        for (const char* prefix : {"Erasing ", "Programming ", "Verifying "}) {
            steps.push_back(prefix + std::string(region) + " Block");
        }
    }
    return steps;
}

TestBoard::TestBoard(const Bytes& image, const emulated::BoardOptions& options, const std::string& settings)
{
    std::string error;
    if (!emulated::WriteBoard(Folder(), image, options, summary, error)) throw std::runtime_error(error);
    if (!settings.empty()) {
        Bytes conf = ReadFile(dir.File(emulated::kSettingsFileName));
        conf.insert(conf.end(), settings.begin(), settings.end());
        dir.Write(emulated::kSettingsFileName, conf);
    }
    board = emulated::EmulatedBoard::Open(Folder(), error);
    if (!board) throw std::runtime_error(error);
}

bool StartRomAccessOn(emulated::EmulatedBoard& board, FakePlatform& platform, RomDevice& rom, bool directMode)
{
    platform.AttachBoard(board);
    platform.system.platformVersion = directMode ? kWindows98Version : 0x00000006;
    rom.DetectPlatform(platform.system.PlatformVersion());
    if (!OpenDriver(rom.romInfo, platform.services)) return false;
    rom.StartRomAccess();
    return true;
}

}  // namespace varlin::test
