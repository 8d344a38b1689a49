#include "logo/PalettePreparation.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "logo/BitmapFile.h"
#include "logo/BitmapHeaders.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Files.h"

namespace varlin {

namespace {

// Offsets in the payload are the bitmap file's own, since the header word
// stands where the "BM" signature stood; the palette ends the headers.
constexpr size_t kPaletteOffset = bmp::kInfoPaletteAt;

constexpr uint8_t kInUse = 1;
constexpr uint8_t kFree = 0;

// The colours added, in this order, however many are missing.
constexpr std::array<std::array<uint8_t, 3>, 3> kFillColours = {{
    {0x2A << 2, 0x2A << 2, 0x2A << 2},  // grey
    {0x00, 0x00, 0x00},                 // black
    {0x3F << 2, 0x3F << 2, 0x3F << 2},  // white
}};

// The darkness threshold starts here and rises by one each cycle.  No
// entry is darker than 63, so a cycle beyond that cannot free anything new.
constexpr int kFirstThreshold = 3;
constexpr int kLastThreshold = 63;

struct PaletteEntry {
    uint8_t* bytes;  // blue, green, red, in-use mark
    int Blue() const { return bytes[0]; }
    int Green() const { return bytes[1]; }
    int Red() const { return bytes[2]; }
};

bool IsBlack(const PaletteEntry& e) { return (e.Red() >> 2) == 0 && (e.Green() >> 2) == 0 && (e.Blue() >> 2) == 0; }
bool IsWhite(const PaletteEntry& e) { return (e.Red() >> 2) > 58 && (e.Green() >> 2) > 58 && (e.Blue() >> 2) > 58; }
bool IsGrey(const PaletteEntry& e) { return (e.Red() >> 2) == 42 && (e.Green() >> 2) == 42 && (e.Blue() >> 2) == 42; }

int Darkness(const PaletteEntry& e)
{
    return static_cast<int>(e.Red() * 0.3 * 0.25) + static_cast<int>(e.Green() * 0.59 * 0.25) +
           static_cast<int>(e.Blue() * 0.11 * 0.25);
}

// The parts of the payload the preparation works on, clamped to what the
// file really holds.
struct PayloadView {
    Bytes& file;
    size_t pixelOffset = 0;
    size_t width = 0;
    size_t stride = 0;
    size_t rows = 0;  // rows whose pixels lie wholly inside the file
    int count = 0;    // palette entries, inside the file and before the pixels

    PaletteEntry Entry(int index) { return {&file[kPaletteOffset + static_cast<size_t>(index) * 4]}; }
    uint8_t* Row(size_t row) { return &file[pixelOffset + row * stride]; }
};

bool ViewPayload(Bytes& file, PayloadView& view)
{
    if (file.size() < kPaletteOffset) return false;
    const int32_t width = static_cast<int32_t>(ReadLe32(&file[bmp::kFileWidthAt]));
    const int32_t height = static_cast<int32_t>(ReadLe32(&file[bmp::kFileHeightAt]));
    const uint32_t pixelOffset = ReadLe32(&file[bmp::kPixelOffsetAt]);
    if (ReadLe16(&file[bmp::kFileBitCountAt]) != 8 || width <= 0 || height <= 0 || pixelOffset < kPaletteOffset ||
        pixelOffset > file.size()) {
        return false;
    }
    view.pixelOffset = pixelOffset;
    view.width = static_cast<size_t>(width);
    view.stride = static_cast<size_t>(BitmapStride(view.width));
    const size_t available = file.size() - view.pixelOffset;
    const size_t fullRows = available < view.width ? 0 : (available - view.width) / view.stride + 1;
    view.rows = std::min(fullRows, static_cast<size_t>(height));
    const uint32_t used = ReadLe32(&file[bmp::kFileColoursUsedAt]);
    const size_t entries = used == 0 || used > 256 ? 256 : used;
    view.count = static_cast<int>(std::min(entries, (view.pixelOffset - kPaletteOffset) / 4));
    return view.count > 0;
}

struct FoundColours {
    std::array<int, 3> index = {-1, -1, -1};  // black, white, grey
    int missing = 3;

    bool IsFound(int entry) const { return std::find(index.begin(), index.end(), entry) != index.end(); }
};

FoundColours FindPostColours(PayloadView& view)
{
    FoundColours found;
    for (int i = 0; i < view.count; ++i) {
        const PaletteEntry entry = view.Entry(i);
        if (found.index[0] < 0 && IsBlack(entry)) found.index[0] = i;
        if (found.index[1] < 0 && IsWhite(entry)) found.index[1] = i;
        if (found.index[2] < 0 && IsGrey(entry)) found.index[2] = i;
    }
    for (int entry : found.index) {
        if (entry < 0) continue;
        view.Entry(entry).bytes[3] = kInUse;
        --found.missing;
    }
    return found;
}

// One cycle: merges every used colour no darker than the threshold into the
// first one met, then fills free entries.  Returns the entries filled.
int RunMergeCycle(PayloadView& view, const FoundColours& found, int threshold)
{
    std::vector<int> candidates;
    std::array<bool, 256> isCandidate{};
    // Rows from the top of the picture (the last one stored) down.
    for (size_t row = view.rows; row-- > 0;) {
        const uint8_t* pixels = view.Row(row);
        for (size_t x = 0; x < view.width; ++x) {
            const int v = pixels[x];
            if (v >= view.count) continue;  // no palette entry to judge or mark
            PaletteEntry entry = view.Entry(v);
            if (!found.IsFound(v) && !isCandidate[v] && Darkness(entry) <= threshold) {
                candidates.push_back(v);
                isCandidate[v] = true;
            }
            entry.bytes[3] = kInUse;
        }
    }
    if (!candidates.empty()) {
        const uint8_t first = static_cast<uint8_t>(candidates.front());
        for (size_t row = view.rows; row-- > 0;) {
            uint8_t* pixels = view.Row(row);
            for (size_t x = 0; x < view.width; ++x) {
                if (isCandidate[pixels[x]]) pixels[x] = first;
            }
        }
        for (size_t i = 1; i < candidates.size(); ++i) {
            std::fill_n(view.Entry(candidates[i]).bytes, 4, uint8_t{0});
        }
    }
    int filled = 0;
    for (int i = 0; i < view.count && filled < found.missing; ++i) {
        PaletteEntry entry = view.Entry(i);
        if (entry.bytes[3] != kFree) continue;
        const auto& colour = kFillColours[static_cast<size_t>(filled)];
        entry.bytes[0] = colour[2];
        entry.bytes[1] = colour[1];
        entry.bytes[2] = colour[0];
        ++filled;
    }
    return filled;
}

// The header, palette and rows; each row without its pad bytes, which read
// as zero, and nothing after the last row.
Bytes PreparedFile(PayloadView& view)
{
    if (view.rows == 0) return Bytes(view.file.begin(), view.file.begin() + static_cast<ptrdiff_t>(view.pixelOffset));
    Bytes out(view.pixelOffset + (view.rows - 1) * view.stride + view.width, 0);
    std::copy_n(view.file.begin(), view.pixelOffset, out.begin());
    for (size_t row = 0; row < view.rows; ++row) {
        std::copy_n(view.Row(row), view.width,
                    out.begin() + static_cast<ptrdiff_t>(view.pixelOffset + row * view.stride));
    }
    return out;
}

}  // namespace

bool PreparePalette(const std::string& inputPath, const std::string& preparedPath)
{
    Bytes file;
    if (ReadWholeFile(inputPath, file) != ReadStatus::Ok) file.clear();
    const Bytes original = file;

    PayloadView view{file};
    if (!ViewPayload(file, view)) {
        // Not a bitmap payload this step understands: it goes on unchanged.
        return WriteWholeFile(preparedPath, original);
    }
    for (int i = 0; i < view.count; ++i) view.Entry(i).bytes[3] = kFree;
    const FoundColours found = FindPostColours(view);

    if (found.missing > 0) {
        int threshold = kFirstThreshold;
        while (RunMergeCycle(view, found, threshold) < found.missing) {
            if (++threshold > kLastThreshold) {
                // Too few entries can ever be freed: leave the picture as it
                // was; the BIOS then shows it without the missing colours.
                return WriteWholeFile(preparedPath, original);
            }
        }
    }
    return WriteWholeFile(preparedPath, PreparedFile(view));
}

}  // namespace varlin
