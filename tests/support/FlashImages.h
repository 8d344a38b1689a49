// BIOS images and emulated boards for the flash tests.  The images are
// synthetic: the right length, the size code and BIOS ID where the checks
// read them, and noise elsewhere (no LHA chain; the flash code never reads one).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "flash/RomDevice.h"
#include "platform/support/Files.h"
#include "hosts/emulated/BoardMaker.h"
#include "hosts/emulated/EmulatedBoard.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TempDir.h"

namespace varlin::test {

inline constexpr uint32_t kKiB = 1024;
inline constexpr uint32_t kWindows98Version = 0xC0000A04;

// An image of `size` bytes of noise with the size code of its size and the
// BIOS ID (at most 8 characters, zero-padded) 24 bytes before its end.
Bytes MakeFlashImage(uint32_t size, std::string_view biosId = "TESTBIOS", unsigned seed = 1);

// The image offset of a physical ROM address.
size_t ImageOffset(const Bytes& image, uint32_t address);

// Writes text (or bytes) into the image where the ROM address lies.
void PutAt(Bytes& image, uint32_t address, std::string_view text);

// The "*BS1" record that announces the extra region, at an image offset.
void PutExtraRegionRecord(Bytes& image, size_t offset, bool flagSet);

// The step texts an update shows for these regions, in order: erasing,
// programming, then reading back each.
std::vector<std::string> UpdateSteps(std::initializer_list<const char*> regions);

// A board made from an image in a fresh folder, opened; `settings` lines are
// added to its board.conf first (faults, protection).
class TestBoard {
public:
    TestBoard(const Bytes& image, const emulated::BoardOptions& options, const std::string& settings = "");

    std::string Folder() const { return dir.Path().string(); }
    std::string RomPath() const { return dir.File(emulated::kRomFileName); }
    emulated::EmulatedBoard& Board() { return *board; }

    emulated::BoardSummary summary;

private:
    TempDir dir;
    std::unique_ptr<emulated::EmulatedBoard> board;
};

// The program's start-up over a test board: platform, driver, segment,
// identification and the SMI query, in driver or direct mode.  False when
// the driver could not be opened.
bool StartRomAccessOn(emulated::EmulatedBoard& board, FakePlatform& platform, RomDevice& rom, bool directMode);

struct BoardHarness {
    bool Start(TestBoard& board, bool directMode = false)
    {
        return StartRomAccessOn(board.Board(), platform, rom, directMode);
    }

    FakePlatform platform;
    RomDevice rom{platform.messages, platform.kordex, platform.hardware};
};

}  // namespace varlin::test
