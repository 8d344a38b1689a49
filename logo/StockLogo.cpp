#include "logo/StockLogo.h"

#include <algorithm>
#include <cstring>

#include "award/BiosCode.h"
#include "platform/support/ByteOrder.h"
#include "platform/support/Text.h"

namespace varlin {

namespace {

constexpr uint8_t kPaletteMark[4] = {'R', 'G', 'B', ' '};
constexpr size_t kMagicLength = 4;
constexpr size_t kHeaderLength = 8;

// What sets the variants apart.
struct VariantLayout {
    StockVariant variant;
    int bits;
    size_t paletteSize;
    std::array<int, 3> storedOrder;  // which of red (0), green (1), blue (2) each stored byte is
};

constexpr std::array<VariantLayout, 2> kVariants = {{
    {StockVariant::FourBit, 4, 16, {2, 1, 0}},
    {StockVariant::EightBit, 8, 256, {0, 1, 2}},
}};

const VariantLayout& LayoutOf(StockVariant variant)
{
    return variant == StockVariant::FourBit ? kVariants[0] : kVariants[1];
}

// Bytes of one plane row of the 4-bit variant.
uint64_t PlaneBytes(uint64_t width) { return (width + 7) / 8; }

uint64_t PixelBytes(const StockLogoFormat& format)
{
    const uint64_t rowBytes = format.variant == StockVariant::FourBit ? 4 * PlaneBytes(format.width) : format.width;
    return rowBytes * format.height;
}

void DecodeRows(const uint8_t* rows, StockPicture& picture)
{
    const StockLogoFormat& format = picture.format;
    const size_t width = format.width;
    picture.pixels.assign(width * format.height, 0);
    if (format.variant == StockVariant::EightBit) {
        std::copy_n(rows, picture.pixels.size(), picture.pixels.begin());
        return;
    }
    const size_t planeBytes = PlaneBytes(width);
    for (size_t y = 0; y < format.height; ++y) {
        const uint8_t* row = rows + y * 4 * planeBytes;
        uint8_t* out = &picture.pixels[y * width];
        for (size_t plane = 0; plane < 4; ++plane) {
            const uint8_t* bits = row + plane * planeBytes;
            for (size_t x = 0; x < width; ++x) {
                const int bit = (bits[x / 8] >> (7 - x % 8)) & 1;
                out[x] = static_cast<uint8_t>(out[x] | bit << plane);
            }
        }
    }
}

void EncodeRows(const StockPicture& picture, Bytes& out)
{
    const StockLogoFormat& format = picture.format;
    if (format.variant == StockVariant::EightBit) {
        out.insert(out.end(), picture.pixels.begin(), picture.pixels.end());
        return;
    }
    const size_t width = format.width;
    const size_t planeBytes = PlaneBytes(width);
    for (size_t y = 0; y < format.height; ++y) {
        const uint8_t* in = &picture.pixels[y * width];
        for (size_t plane = 0; plane < 4; ++plane) {
            const size_t start = out.size();
            out.resize(start + planeBytes, 0);  // the bits past the last pixel stay 0
            for (size_t x = 0; x < width; ++x) {
                if ((in[x] >> plane) & 1)
                    out[start + x / 8] = static_cast<uint8_t>(out[start + x / 8] | 0x80 >> (x % 8));
            }
        }
    }
}

}  // namespace

size_t StockPaletteSize(StockVariant variant) { return LayoutOf(variant).paletteSize; }

uint64_t StockLogoLength(const StockLogoFormat& format)
{
    const uint64_t block = format.paletteBlock ? sizeof kPaletteMark + 3 * StockPaletteSize(format.variant) : 0;
    return kHeaderLength + PixelBytes(format) + block;
}

std::string StockFormatText(const StockLogoFormat& format)
{
    return FormatText("stock %d-bit %ux%u%s", LayoutOf(format.variant).bits, static_cast<unsigned>(format.width),
                      static_cast<unsigned>(format.height), format.paletteBlock ? "" : ", no palette block");
}

bool RecogniseStockLogo(std::span<const uint8_t> data, StockLogoFormat& format)
{
    if (data.size() < kHeaderLength || std::memcmp(data.data(), kStockLogoSignature, kMagicLength) != 0) return false;
    StockLogoFormat candidate;
    candidate.width = ReadLe16(&data[4]);
    candidate.height = ReadLe16(&data[6]);
    if (candidate.width == 0 || candidate.height == 0) return false;
    // A length could fit both variants for some narrow sizes; the palette
    // mark, which stands in a different place in each, tells them apart.
    for (const VariantLayout& layout : kVariants) {
        candidate.variant = layout.variant;
        if (data.size() != StockLogoLength(candidate)) continue;
        if (std::memcmp(&data[kHeaderLength + PixelBytes(candidate)], kPaletteMark, sizeof kPaletteMark) != 0) continue;
        format = candidate;
        return true;
    }
    // A 4-bit logo may end with its rows.
    candidate.variant = StockVariant::FourBit;
    candidate.paletteBlock = false;
    if (data.size() != StockLogoLength(candidate)) return false;
    format = candidate;
    return true;
}

bool DecodeStockLogo(std::span<const uint8_t> data, StockPicture& picture)
{
    picture = StockPicture{};
    if (!RecogniseStockLogo(data, picture.format)) return false;
    const VariantLayout& layout = LayoutOf(picture.format.variant);
    DecodeRows(&data[kHeaderLength], picture);
    if (!picture.format.paletteBlock) {
        picture.palette.assign(kStandardVgaPalette.begin(), kStandardVgaPalette.end());
        return true;
    }
    const uint8_t* stored = &data[kHeaderLength + PixelBytes(picture.format) + sizeof kPaletteMark];
    picture.palette.resize(layout.paletteSize);
    for (auto& entry : picture.palette) {
        for (size_t i = 0; i < 3; ++i) entry[static_cast<size_t>(layout.storedOrder[i])] = *stored++;
    }
    return true;
}

Bytes EncodeStockLogo(const StockPicture& picture)
{
    const StockLogoFormat& format = picture.format;
    const VariantLayout& layout = LayoutOf(format.variant);
    Bytes out(kStockLogoSignature, kStockLogoSignature + kMagicLength);
    out.reserve(StockLogoLength(format));
    out.resize(kHeaderLength);
    WriteLe16(&out[4], format.width);
    WriteLe16(&out[6], format.height);
    EncodeRows(picture, out);
    if (!format.paletteBlock) return out;
    out.insert(out.end(), kPaletteMark, kPaletteMark + sizeof kPaletteMark);
    for (size_t index = 0; index < layout.paletteSize; ++index) {
        const std::array<uint8_t, 3> entry =
            index < picture.palette.size() ? picture.palette[index] : std::array<uint8_t, 3>{};
        for (int component : layout.storedOrder) out.push_back(entry[static_cast<size_t>(component)]);
    }
    return out;
}

}  // namespace varlin
