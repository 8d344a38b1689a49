#include "samples/generator/SampleBios.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <cstdio>
#include <random>
#include <string_view>
#include <vector>

#include "lha/LhaWriter.h"
#include "logo/SmallLogo.h"
#include "logo/StockLogo.h"
#include "platform/support/Files.h"
#include "samples/generator/SamplePictures.h"

namespace varlin::samples {

namespace {

constexpr size_t KiB = 1024;

// Where a 512 KiB board of layout 6 has its extra region: 64 KiB above the
// ESCD area, which starts 64 KiB above the ROM's first byte.
constexpr size_t kExtraRegionOffset = 0x20000;
constexpr size_t kExtraRegionSize = 0x10000;

// The regions a board of each size keeps for its DMI and ESCD (PNP) data:
// the preserved areas carry their marks so that an update leaves them be.
struct PreservedArea {
    size_t offset;  // from the start of the image
    size_t markAt;  // where the mark stands inside the area
    const char* mark;
};

// The boot block's table page: "*BBSS*" at its start, and its last two
// bytes the checksums the boot block tests at power-on (the main sum of the
// image below them, and the sum of a block of the page ending at the first).
struct ChecksumPage {
    size_t fromEnd;     // the page's start, from the end of the image
    bool blockSum;      // whether the second byte is kept too
    size_t blockStart;  // from the page's start: 0 or 0x400
};

// The logo member a sample carries: none, our payload, or a full-screen
// logo in the stock format (with its palette block, or without one).
enum class SampleLogo { None, Payload, Stock, StockWithoutBlock };

// What a module holds: code of a size (the image's size divided by
// `divisor`) made from `seed`, or random bytes that do not compress, sized
// so that the room after the run is what the sample asks for.
struct ModuleRecipe {
    const char* name;
    uint16_t segment;
    size_t divisor;  // 0: random bytes that fill the image up to its room
    uint32_t seed;
};

// The load addresses of the two logos: the full-screen one and the small
// one of the POST screen, which a sample carries in the form its board's
// BIOS reads (the stock format on stock boards, else the classic form).
constexpr uint16_t kLogoSegment = 0x4000;
constexpr uint16_t kSmallLogoSegment = 0x4002;

// The modules most samples carry before their logo.
const std::vector<ModuleRecipe> kCommonModules = {
    {"original.tm", 0x5000, 3, 1},
    {"extension.rom", 0x4001, 16, 2},
    {"smalllogo.bin", kSmallLogoSegment, 0, 0},
};

// What the system BIOS's code says of itself: its banner, and whether it
// looks for a stock full-screen logo (a compare with "AWBM").
struct SystemCode {
    const char* banner;
    bool looksForStockLogos;
};

struct SampleImage {
    const char* fileName;
    size_t size;
    char sizeCode;         // at size - 8103
    const char* biosId;    // 8 characters at size - 24
    size_t bootBlockSize;  // the top of the image, programmed last
    SampleLogo logo;
    std::vector<PreservedArea> preserved;
    bool extraRegionRecord;  // "*BS1" with the extra-region flag at 0x60000
    ChecksumPage checksums;
    std::vector<ModuleRecipe> modules = kCommonModules;  // the run from offset 0, the logo after them
    std::vector<ModuleRecipe> afterLogo = {};            // members after the logo in the run
    SystemCode code = {nullptr, false};
    size_t systemBiosAt = 0;  // where the system BIOS stands apart, past the free space; 0: in the run
    size_t room = 0;          // the room a new logo has, for a module of random bytes to leave
};

const std::vector<SampleImage>& Samples()
{
    // clang-format off
    static const std::vector<SampleImage> samples = {
        {"award-128k.bin", 128 * KiB, 'X', "VL128K01", 8 * KiB, SampleLogo::Payload,
         {{128 * KiB - 0x4000, 0, "IMD$"}, {128 * KiB - 0x3000, 2, "ACFG"}}, false, {0x5000, true, 0}},
        {"award-256k.bin", 256 * KiB, 'Z', "VL256K01", 16 * KiB, SampleLogo::Payload,
         {{256 * KiB - 0x8000, 0, "IMD$"}, {256 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400}},
        {"award-256k-nologo.bin", 256 * KiB, 'Z', "VL256K02", 16 * KiB, SampleLogo::None,
         {{256 * KiB - 0x8000, 0, "IMD$"}, {256 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400}},
        // A stock board: its BIOS shows only a full-screen logo of its own format.
        {"award-256k-stock.bin", 256 * KiB, 'Z', "VL256K03", 16 * KiB, SampleLogo::Stock,
         {{256 * KiB - 0x8000, 0, "IMD$"}, {256 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400},
         kCommonModules, {}, {"Award Modular BIOS v6.00PG", true}},
        {"award-512k.bin", 512 * KiB, '[', "VL512K01", 64 * KiB, SampleLogo::Payload, {}, true, {0x8000, false, 0}},
        {"award-1m.bin", 1024 * KiB, '\\', "VL1024K1", 16 * KiB, SampleLogo::Payload,
         {{1024 * KiB - 0x8000, 0, "IMD$"}, {1024 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400}},
        // A stock board whose logo is followed by a ROM extension and a PCI
        // option ROM, with the system BIOS apart at 0x20000.
        {"award-256k-stock-split.bin", 256 * KiB, 'Z', "VL256K04", 16 * KiB, SampleLogo::Stock,
         {{256 * KiB - 0x8000, 0, "IMD$"}, {256 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400},
         {{"extension.rom", 0x4001, 16, 2}, {"smalllogo.bin", kSmallLogoSegment, 0, 0}},
         {{"awardext.rom", 0x4080, 16, 6}, {"pcirom.bin", 0x0800, 32, 7}},
         {"Award Modular BIOS v6.00PG", true}, 0x20000},
        // A stock board whose logo has no palette block: its BIOS shows it
        // in the standard colours.
        {"award-256k-stock-noblock.bin", 256 * KiB, 'Z', "VL256K05", 16 * KiB, SampleLogo::StockWithoutBlock,
         {{256 * KiB - 0x8000, 0, "IMD$"}, {256 * KiB - 0x6000, 2, "ACFG"}}, false, {0x9000, true, 0x400},
         kCommonModules, {}, {"Award Modular BIOS v6.00PG", true}},
        // A board without a logo whose BIOS shows stock ones, with little room.
        {"award-128k-nologo.bin", 128 * KiB, 'X', "VL128K02", 8 * KiB, SampleLogo::None,
         {{128 * KiB - 0x4000, 0, "IMD$"}, {128 * KiB - 0x3000, 2, "ACFG"}}, false, {0x5000, true, 0},
         {{"original.tm", 0x5000, 3, 1}, {"extension.rom", 0x4001, 16, 2},
          {"smalllogo.bin", kSmallLogoSegment, 0, 0}, {"cpucode.bin", 0x4003, 0, 10}},
         {}, {"Award Modular BIOS v6.00PG", true}, 0, 6 * 1024},
        // A board without a logo whose BIOS shows none: two SCSI option ROMs
        // in its chain, as on the boards that stop at power-on once a large
        // logo member is added.
        {"award-128k-450pg.bin", 128 * KiB, 'X', "VL128K03", 8 * KiB, SampleLogo::None,
         {{128 * KiB - 0x4000, 0, "IMD$"}, {128 * KiB - 0x3000, 2, "ACFG"}}, false, {0x5000, true, 0},
         {{"original.tm", 0x5000, 3, 1}, {"scsi1.rom", 0x4003, 16, 8}, {"scsi2.rom", 0x4004, 16, 9}},
         {}, {"Award Modular BIOS v4.50PG", false}},
    };
    // clang-format on
    return samples;
}

// Module contents that compress like code does: runs of similar
// instructions with changing operands, and tables.
Bytes ModuleBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    static constexpr uint8_t kOpcodes[] = {0x8B, 0x89, 0xE8, 0x74, 0x75, 0xB8, 0x50, 0x58, 0xC3, 0x66, 0x0F};
    Bytes bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        if (random() % 8 == 0) {
            const uint8_t base = static_cast<uint8_t>(random());
            for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<uint8_t>(base + i * 4));
        } else {
            bytes.push_back(kOpcodes[random() % sizeof kOpcodes]);
            bytes.push_back(static_cast<uint8_t>(random() % 16));
            if (random() % 2 == 0) bytes.push_back(static_cast<uint8_t>(random()));
        }
    }
    bytes.resize(size);
    return bytes;
}

struct Module {
    std::string name;
    uint16_t segment;
    Bytes content;
};

// Packs one module with our writer at its load address; empty on failure.
Bytes PackModule(LhaWriter& writer, const Module& module, const std::string& workFolder)
{
    std::string input = workFolder + "/" + module.name;
    const std::string archive = workFolder + "/module.lzh";
    if (!WriteWholeFile(input, module.content)) return {};
    writer.LhaResetState();
    char address[10];
    std::snprintf(address, sizeof address, "%X:0", static_cast<unsigned>(module.segment));
    writer.SetLoadAddressText(address);
    const LhaResult result = writer.LhaWriteArchive(input, archive, module.name);
    Bytes packed;
    if (!result || ReadWholeFile(archive, packed) != ReadStatus::Ok) {
        std::fprintf(stderr, "cannot pack %s: %s\n", module.name.c_str(), result.message.c_str());
        return {};
    }
    std::remove(archive.c_str());
    std::remove(input.c_str());
    return packed;
}

uint8_t Sum(const Bytes& image, size_t from, size_t to)
{
    uint8_t sum = 0;
    for (size_t i = from; i < to; ++i) sum = static_cast<uint8_t>(sum + image[i]);
    return sum;
}

// The table page, and the marker in the boot block's code, which searches
// the image for it.
void AddChecksumPage(Bytes& image, const ChecksumPage& page)
{
    constexpr char kMarker[] = "*BBSS*";
    constexpr uint8_t kTableEntries[] = {0x00, 0x80, 0x00, 0xE0, 0x00, 0x10, 0x00, 0x00};
    const size_t start = image.size() - page.fromEnd;
    std::fill(image.begin() + static_cast<ptrdiff_t>(start), image.begin() + static_cast<ptrdiff_t>(start + 0x1000),
              0xFF);
    std::copy(kMarker, kMarker + 6, image.begin() + static_cast<ptrdiff_t>(start));
    std::copy(std::begin(kTableEntries), std::end(kTableEntries), image.begin() + static_cast<ptrdiff_t>(start + 6));
    std::copy(kMarker, kMarker + 6, image.end() - 0x1800);

    const size_t mainAt = start + 0xFFE;
    image[mainAt] = Sum(image, 0, mainAt);
    if (page.blockSum) {
        image[mainAt + 1] = Sum(image, start + page.blockStart, mainAt + 1);
        return;
    }
    // Only the main sum: the second byte must sum no block of the page.
    auto sumsABlock = [&](uint8_t value) {
        for (size_t from = start; from < mainAt; from += 0x400) {
            if (Sum(image, from, mainAt + 1) == value) return true;
        }
        return false;
    };
    uint8_t unused = 0;
    while (sumsABlock(unused)) ++unused;
    image[mainAt + 1] = unused;
}

class SilentSink final : public LhaProgressSink {
public:
    void WriteOutput(std::string_view) override {}
    void WriteError(std::string_view) override {}
};

// The logo members' contents, by kind.
struct SampleLogos {
    Bytes payload;
    Bytes stock;
    Bytes stockWithoutBlock;
    Bytes smallClassic;
    Bytes smallStock;
    Bytes smallStockWithoutBlock;
};

// The system BIOS's banner and its search for a stock logo, written over
// the code of its module where a real one has them: text among the code,
// and a compare of a dword with "AWBM".
void AddSystemCode(Bytes& content, const SystemCode& code)
{
    constexpr size_t kBannerAt = 0x100;
    constexpr size_t kLogoSearchAt = 0x300;
    if (code.banner != nullptr) {
        const std::string text = std::string(1, '\0') + code.banner + ", An Energy Star Ally" + std::string(1, '\0');
        std::copy(text.begin(), text.end(), content.begin() + kBannerAt);
    }
    if (code.looksForStockLogos) {
        constexpr uint8_t kCompare[] = {0x66, 0x81, 0x3C, 'A', 'W', 'B', 'M', 0x75, 0x20};  // cmp dword [si], "AWBM"
        std::copy(std::begin(kCompare), std::end(kCompare), content.begin() + kLogoSearchAt);
    }
}

Module MakeModule(const SampleImage& sample, const ModuleRecipe& recipe)
{
    Module module{recipe.name, recipe.segment, ModuleBytes(sample.size / recipe.divisor, recipe.seed)};
    if (recipe.segment == 0x5000) AddSystemCode(module.content, sample.code);
    return module;
}

Module LogoModule(SampleLogo logo, const SampleLogos& logos)
{
    switch (logo) {
    case SampleLogo::Payload:
        return {"varlin.bmp", kLogoSegment, logos.payload};
    case SampleLogo::Stock:
        return {"fullscreen.bmp", kLogoSegment, logos.stock};
    case SampleLogo::StockWithoutBlock:
        return {"fullscreen.bmp", kLogoSegment, logos.stockWithoutBlock};
    case SampleLogo::None:
        break;
    }
    return {};
}

// A stock board's small logo is in the stock format too, with a palette
// block where its full-screen logo has one.
Module SmallLogoModule(SampleLogo logo, const ModuleRecipe& recipe, const SampleLogos& logos)
{
    const Bytes& content = logo == SampleLogo::Stock               ? logos.smallStock
                           : logo == SampleLogo::StockWithoutBlock ? logos.smallStockWithoutBlock
                                                                   : logos.smallClassic;
    return {recipe.name, recipe.segment, content};
}

Module ModuleOf(const SampleImage& sample, const ModuleRecipe& recipe, const SampleLogos& logos)
{
    if (recipe.segment == kLogoSegment) return LogoModule(sample.logo, logos);
    if (recipe.segment == kSmallLogoSegment) return SmallLogoModule(sample.logo, recipe, logos);
    return MakeModule(sample, recipe);
}

// Appends a packed module; the system BIOS member carries a checksum byte
// after its archive.
bool AddPacked(LhaWriter& writer, const Module& module, const std::string& workFolder, Bytes& image)
{
    const Bytes packed = PackModule(writer, module, workFolder);
    if (packed.empty()) return false;
    image.insert(image.end(), packed.begin(), packed.end());
    if (module.segment == 0x5000) {
        uint8_t sum = 0;
        for (uint8_t byte : packed) sum = static_cast<uint8_t>(sum + byte);
        image.push_back(static_cast<uint8_t>(-sum));
    }
    return true;
}

// A module of random bytes whose archive takes `length` bytes: stored, as
// random bytes do not compress, so its size can be set to the byte.
bool AddFiller(LhaWriter& writer, const ModuleRecipe& recipe, size_t length, const std::string& workFolder,
               Bytes& image)
{
    std::mt19937 random(recipe.seed);
    Module module{recipe.name, recipe.segment, {}};
    size_t content = length;
    for (int attempt = 0; attempt < 2; ++attempt) {
        content -= std::min(content, size_t{64});
        module.content.resize(content);
        for (uint8_t& byte : module.content) byte = static_cast<uint8_t>(random());
        const Bytes packed = PackModule(writer, module, workFolder);
        if (packed.size() == length) break;
        content = content + length - packed.size() + 64;
    }
    const size_t before = image.size();
    if (!AddPacked(writer, module, workFolder, image)) return false;
    return image.size() - before == length;
}

bool MakeImage(const SampleImage& sample, const SampleLogos& logos, const std::string& folder,
               const std::string& workFolder)
{
    SilentSink sink;
    LhaWriter writer(sink);
    std::vector<ModuleRecipe> run = sample.modules;
    if (sample.logo != SampleLogo::None) run.push_back({"logo", kLogoSegment, 0, 0});
    run.insert(run.end(), sample.afterLogo.begin(), sample.afterLogo.end());

    Bytes image;
    const ModuleRecipe* filler = nullptr;
    for (const ModuleRecipe& recipe : run) {
        if (recipe.segment != kLogoSegment && recipe.segment != kSmallLogoSegment && recipe.divisor == 0) {
            filler = &recipe;  // made last, to fill what the others leave
            continue;
        }
        if (!AddPacked(writer, ModuleOf(sample, recipe, logos), workFolder, image)) return false;
    }
    const size_t pageStart = sample.size - sample.checksums.fromEnd;
    if (filler != nullptr) {
        // The room is what lies between the run and the checksum page, less
        // the one 0xFF byte that must stay after the run.
        const size_t used = image.size() + sample.room + 1;
        if (used >= pageStart || !AddFiller(writer, *filler, pageStart - used, workFolder, image)) {
            std::fprintf(stderr, "%s: cannot leave a room of %zu bytes\n", sample.fileName, sample.room);
            return false;
        }
    }
    const size_t bootStart = sample.size - sample.bootBlockSize;
    if (image.size() + 16 > bootStart) {
        std::fprintf(stderr, "%s: the modules do not fit\n", sample.fileName);
        return false;
    }
    image.resize(sample.size, 0xFF);  // free space

    if (sample.systemBiosAt != 0) {
        Bytes system;
        if (!AddPacked(writer, MakeModule(sample, {"original.tm", 0x5000, 3, 1}), workFolder, system)) return false;
        std::copy(system.begin(), system.end(), image.begin() + static_cast<ptrdiff_t>(sample.systemBiosAt));
    }
    for (const PreservedArea& area : sample.preserved) {
        for (size_t i = 0; i < 4; ++i) image[area.offset + area.markAt + i] = static_cast<uint8_t>(area.mark[i]);
    }
    if (sample.extraRegionRecord) {
        const char record[] = {'*', 'B', 'S', '1', 0x00, 0x00, 0x08, 0x00};
        std::copy(record, record + sizeof record, image.begin() + 0x60000);
        // The extra region above the ESCD area holds data of its own, which
        // an update keeps; the free space after the logo ends where it starts.
        const Bytes extra = ModuleBytes(kExtraRegionSize, 5);
        std::copy(extra.begin(), extra.end(), image.begin() + kExtraRegionOffset);
    }
    // The boot block: code of its own, then the size code and the BIOS ID.
    const Bytes boot = ModuleBytes(sample.bootBlockSize, 4);
    std::copy(boot.begin(), boot.end(), image.begin() + static_cast<ptrdiff_t>(bootStart));
    image[sample.size - 8103] = static_cast<uint8_t>(sample.sizeCode);
    for (size_t i = 0; i < 8; ++i) image[sample.size - 24 + i] = static_cast<uint8_t>(sample.biosId[i]);
    AddChecksumPage(image, sample.checksums);

    return WriteWholeFile(folder + "/" + sample.fileName, image);
}

}  // namespace

bool WriteSampleBiosImages(const std::string& folder, const std::string& pictureFolder, const std::string& workFolder)
{
    // The logo inside the samples: the small sample bitmap, centred, as the
    // logo payload carries it (header word 0 in place of "BM").
    SampleLogos logos;
    if (ReadWholeFile(pictureFolder + "/varlin-320x240.bmp", logos.payload) != ReadStatus::Ok ||
        logos.payload.size() < 2) {
        return false;
    }
    logos.payload[0] = 0x00;
    logos.payload[1] = 0x00;
    // The stock boards' own logo: a 16-colour picture drawn for it; shown
    // in the standard colours where it has no palette block.
    StockPicture stock = SampleStockLogo();
    logos.stock = EncodeStockLogo(stock);
    stock.format.paletteBlock = false;
    logos.stockWithoutBlock = EncodeStockLogo(stock);
    logos.smallClassic = EncodeClassicSmallLogo(SampleClassicSmallLogo());
    StockPicture smallStock = SampleStockSmallLogo();
    logos.smallStock = EncodeStockLogo(smallStock);
    smallStock.format.paletteBlock = false;
    logos.smallStockWithoutBlock = EncodeStockLogo(smallStock);
    for (const SampleImage& sample : Samples()) {
        if (!MakeImage(sample, logos, folder, workFolder)) return false;
    }
    return true;
}

}  // namespace varlin::samples
