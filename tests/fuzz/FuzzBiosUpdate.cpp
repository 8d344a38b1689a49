// The BIOS file checks and the ROM update on boards of every size, layout
// and region choice, with records, marks and bytes the input changes.  A
// board without faults either takes the file whole (every byte the file's,
// except what the update keeps: the ROM's DMI data and the extra region,
// which stay as they were) or is refused untouched.
//
// Input: size (bits 0-1 of byte 0), layout (byte 1, 0-7), choices (byte 2:
// DMI and PNP regions, direct mode, a page-write chip, the extra-region
// record in the file, the DMI and ESCD marks and an option ROM in the ROM),
// then patches of up to 16 bytes, each: where (0 ROM, 1 file, 2 segment),
// a 24-bit offset and a length.
#include <algorithm>

#include "biosfile/BiosImage.h"
#include "award/AwardRecords.h"
#include "flash/RomUpdate.h"
#include "hosts/emulated/BoardMaker.h"
#include "tests/fuzz/FuzzBoard.h"

using namespace varlin;

namespace {

constexpr uint32_t kSizes[] = {0x20000, 0x40000, 0x80000, 0x100000};
constexpr char kSizeCodes[] = {'X', 'Z', '[', '\\'};

void Put(Bytes& bytes, size_t offset, std::string_view text)
{
    if (offset + text.size() <= bytes.size())
        std::copy(text.begin(), text.end(), bytes.begin() + static_cast<long>(offset));
}

bool InRange(uint64_t address, uint64_t start, uint64_t size) { return address >= start && address < start + size; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) return 0;
    const uint32_t romSize = kSizes[data[0] & 3];
    const uint8_t layout = data[1] & 7;
    const uint8_t choices = data[2];
    const uint32_t romBase = static_cast<uint32_t>((uint64_t{1} << 32) - romSize);

    Bytes rom(romSize);
    for (uint32_t i = 0; i < romSize; ++i) rom[i] = static_cast<uint8_t>((i * 2654435761u) >> 24);
    Put(rom, romSize - 8103, std::string_view(&kSizeCodes[data[0] & 3], 1));
    Put(rom, romSize - 24, "FUZZBIOS");
    Bytes image = rom;
    for (uint32_t i = 0; i + 0x2000 < romSize; ++i) image[i] = static_cast<uint8_t>(image[i] ^ 0x5A);

    emulated::BoardOptions options;
    options.layout = layout;
    options.dmiRegion = (choices & 0x01) != 0;
    options.pnpRegion = (choices & 0x02) != 0;
    if ((choices & 0x08) != 0) options.chipId = 0x10BF;
    emulated::BoardSummary summary;
    emulated::BoardFiles files;
    std::string error;
    if (!emulated::ComposeBoard(rom, options, summary, files, error)) return 0;
    RomInfo layoutInfo;
    layoutInfo.romSizeUnits = static_cast<uint8_t>(romSize >> 16);
    layoutInfo.layoutType = layout;
    layoutInfo.hasDmiRegion = options.dmiRegion;
    layoutInfo.hasPnpRegion = options.pnpRegion;
    ApplyRomLayout(layoutInfo);
    const auto romOffset = [romBase](uint64_t address) { return static_cast<size_t>(address - romBase); };
    if ((choices & 0x10) != 0 && romSize >= 0x80000) Put(image, 0x60000, std::string_view("*BS1\0\0\x08\0", 8));
    if ((choices & 0x20) != 0 && layoutInfo.dmiStart >= romBase) Put(files.rom, romOffset(layoutInfo.dmiStart), "IMD$");
    if ((choices & 0x40) != 0 && layoutInfo.pnpStart >= romBase)
        Put(files.rom, romOffset(layoutInfo.pnpStart) + 2, "ACFG");
    if ((choices & 0x80) != 0 && layoutInfo.pnpStart >= romBase &&
        uint64_t{layoutInfo.pnpStart} + 0x10000 < (uint64_t{1} << 32)) {
        Put(files.rom, romOffset(layoutInfo.pnpStart + 0x10000), "\x55\xAA");
    }

    for (size_t at = 3; at + 5 <= size;) {
        const uint8_t where = data[at] % 3;
        const size_t offset = size_t{data[at + 1]} << 16 | size_t{data[at + 2]} << 8 | data[at + 3];
        const size_t length = std::min<size_t>(data[at + 4] & 15, size - at - 5);
        Bytes& target = where == 0 ? files.rom : where == 1 ? image : files.segment;
        for (size_t i = 0; i < length; ++i) target[(offset + i) % target.size()] = data[at + 5 + i];
        at += 5 + length;
    }

    std::unique_ptr<emulated::EmulatedBoard> board =
        emulated::EmulatedBoard::InMemory(files.rom, files.segment, files.settings, error);
    if (!board) return 0;
    const Bytes before = board->Rom();
    fuzz::FuzzBoard rig;
    FUZZ_EXPECT(rig.Start(*board, (choices & 0x04) != 0));

    BiosImage bios(rig.rom, rig.messages);
    if (!bios.PrepareBiosFile(fuzz::WriteInputFile("bios.bin", image.data(), image.size()))) {
        FUZZ_EXPECT(board->Rom() == before);
        return 0;
    }
    fuzz::QuietProgress progress;
    RomUpdate update(rig.rom, rig.messages, progress);
    const RomInfo& info = rig.rom.romInfo;
    update.romSizeBytes = info.RomSizeBytes();
    update.mainStart = info.romBase;
    const bool updated = update.UpdateRom(bios.imageData);
    const Bytes& after = board->Rom();
    if (!updated) {
        // Nothing on this board fails: only a plan the ROM cannot take is refused, before any erase.
        FUZZ_EXPECT(after == before);
        return 0;
    }
    FUZZ_EXPECT(after.size() == bios.imageData.size());
    for (size_t i = 0; i < after.size(); ++i) {
        const uint64_t address = uint64_t{info.romBase} + i;
        const bool kept = (info.hasDmiRegion && !info.clearDmi && InRange(address, info.dmiStart, info.dmiSize)) ||
                          InRange(address, info.extraStart, info.extraSize);
        FUZZ_EXPECT(after[i] == (kept ? before[i] : bios.imageData[i]));
    }
    return 0;
}
