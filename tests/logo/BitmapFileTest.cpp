#include "logo/BitmapFile.h"

#include <gtest/gtest.h>

#include "platform/support/ByteOrder.h"
#include "tests/support/Pictures.h"

namespace varlin {
namespace {

using test::BmpHeader;
using test::BmpOptions;
using test::IndexedPicture;

BitmapVerdict Inspect(const Bytes& file, BitmapLayout& layout) { return InspectBitmap(file, file.size(), layout); }

// Reads a logo-form bitmap back into a palette picture, checking its headers.
IndexedPicture ReadLogoForm(const Bytes& file)
{
    IndexedPicture picture;
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLe32(&file[2]), file.size());
    EXPECT_EQ(ReadLe32(&file[14]), 40u);
    EXPECT_EQ(ReadLe16(&file[26]), 1u);
    EXPECT_EQ(ReadLe16(&file[28]), 8u);
    EXPECT_EQ(ReadLe32(&file[30]), 0u);
    picture.width = static_cast<int>(ReadLe32(&file[18]));
    picture.height = static_cast<int>(ReadLe32(&file[22]));
    EXPECT_GT(picture.height, 0);
    const uint32_t colours = ReadLe32(&file[46]) == 0 ? 256 : ReadLe32(&file[46]);
    const uint32_t pixelOffset = ReadLe32(&file[10]);
    EXPECT_EQ(pixelOffset, 54 + colours * 4);
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* entry = &file[54 + i * 4];
        picture.palette.push_back({entry[2], entry[1], entry[0]});
        EXPECT_EQ(entry[3], 0);
    }
    const size_t stride = BitmapStride(static_cast<uint64_t>(picture.width));
    EXPECT_EQ(file.size(), pixelOffset + stride * static_cast<size_t>(picture.height));
    EXPECT_EQ(ReadLe32(&file[34]), stride * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {  // bottom row first in the file
        const uint8_t* row = &file[pixelOffset + stride * static_cast<size_t>(picture.height - 1 - y)];
        picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
        for (size_t pad = static_cast<size_t>(picture.width); pad < stride; ++pad) EXPECT_EQ(row[pad], 0);
    }
    return picture;
}

TEST(BitmapFileTest, EveryVariantNormalisesToTheSamePicture)
{
    const IndexedPicture picture = test::MakeIndexedPicture(29, 13, 256, 5);
    const BmpOptions variants[] = {
        {BmpHeader::Core12, false, false, true, 8},  {BmpHeader::V2_52, false, false, true, 8},
        {BmpHeader::V3_56, false, false, true, 8},   {BmpHeader::V4_108, false, false, true, 8},
        {BmpHeader::V5_124, false, false, false, 8}, {BmpHeader::Info40, true, false, true, 8},
        {BmpHeader::V4_108, true, false, true, 8},   {BmpHeader::Info40, false, true, true, 8},
        {BmpHeader::V5_124, false, true, false, 8},
    };
    for (const BmpOptions& options : variants) {
        SCOPED_TRACE(static_cast<int>(options.header) * 10 + options.topDown + 2 * options.rle8);
        const Bytes file = test::MakeBmp(picture, options);
        BitmapLayout layout;
        ASSERT_EQ(Inspect(file, layout), BitmapVerdict::Loadable);
        EXPECT_FALSE(IsLogoFormBitmap(layout));
        EXPECT_EQ(layout.width, 29);
        EXPECT_EQ(layout.height, 13);
        Bytes normalised;
        ASSERT_TRUE(NormaliseBitmap(file, layout, normalised));
        const IndexedPicture back = ReadLogoForm(normalised);
        EXPECT_EQ(back.width, picture.width);
        EXPECT_EQ(back.height, picture.height);
        EXPECT_EQ(back.palette, picture.palette);
        EXPECT_EQ(back.pixels, picture.pixels);
    }
}

TEST(BitmapFileTest, LogoFormIsRecognisedAndSmallPalettesKeepTheirCount)
{
    const IndexedPicture picture = test::MakeIndexedPicture(8, 4, 16, 2);
    const Bytes file = test::MakeBmp(picture);
    BitmapLayout layout;
    ASSERT_EQ(Inspect(file, layout), BitmapVerdict::Loadable);
    EXPECT_TRUE(IsLogoFormBitmap(layout));
    EXPECT_EQ(layout.paletteCount, 16u);

    Bytes normalised;
    // A core bitmap with a short table carries its count into the logo form.
    const Bytes core = test::MakeBmp(picture, {BmpHeader::Core12, false, false, true, 8});
    ASSERT_EQ(Inspect(core, layout), BitmapVerdict::Loadable);
    EXPECT_EQ(layout.paletteCount, 16u);
    ASSERT_TRUE(NormaliseBitmap(core, layout, normalised));
    EXPECT_EQ(ReadLe32(&normalised[46]), 16u);
    EXPECT_EQ(ReadLogoForm(normalised).pixels, picture.pixels);
}

TEST(BitmapFileTest, OtherDepthsAreNamedAsSuch)
{
    const IndexedPicture picture = test::MakeIndexedPicture(10, 10, 2);
    for (int depth : {1, 4, 16, 24, 32}) {
        BmpOptions options;
        options.bitsPerPixel = depth;
        BitmapLayout layout;
        EXPECT_EQ(Inspect(test::MakeBmp(picture, options), layout), BitmapVerdict::NotEightBit) << depth;
    }
    BmpOptions odd;
    odd.bitsPerPixel = 7;
    BitmapLayout layout;
    EXPECT_EQ(Inspect(test::MakeBmp(picture, odd), layout), BitmapVerdict::Invalid);
}

// Hand-made RLE8 streams: the escapes, and streams that leave the picture.
TEST(BitmapFileTest, Rle8StreamsStayInsideThePicture)
{
    const IndexedPicture picture = test::MakeIndexedPicture(6, 3, 4);
    auto withStream = [&](const Bytes& stream) {
        Bytes file = test::MakeBmp(picture, {BmpHeader::Info40, false, true, true, 8});
        const uint32_t offset = ReadLe32(&file[10]);
        file.resize(offset);
        file.insert(file.end(), stream.begin(), stream.end());
        WriteLe32(&file[34], static_cast<uint32_t>(stream.size()));
        return file;
    };
    // Row 0: 2 x index 1, delta (+1, +1), row 1 from x 3: absolute 3 bytes, end.
    const Bytes good = {2, 1, 0, 2, 1, 1, 0, 3, 3, 2, 1, 0, 0, 1};
    BitmapLayout layout;
    const Bytes file = withStream(good);
    ASSERT_EQ(Inspect(file, layout), BitmapVerdict::Loadable);
    Bytes normalised;
    ASSERT_TRUE(NormaliseBitmap(file, layout, normalised));
    const IndexedPicture back = ReadLogoForm(normalised);
    // Top row first: row 2 (untouched), row 1, row 0.
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 1, 1, 1, 0, 0, 0, 0};
    EXPECT_EQ(back.pixels, expected);

    const Bytes bad[] = {
        {7, 1, 0, 1},                    // run longer than the row
        {0, 4, 1, 2, 3, 4, 5, 6, 0, 1},  // absolute run longer than the row
        {0, 2, 7, 0, 0, 1},              // delta past the right edge
        {0, 2, 0, 4, 0, 1},              // delta past the top
        {0, 0, 0, 0, 0, 0, 1, 1},        // pixels above the last row
        {0, 5, 1, 2},                    // absolute run cut short
        {2},                             // half an operation
    };
    for (const Bytes& stream : bad) {
        EXPECT_EQ(Inspect(withStream(stream), layout), BitmapVerdict::Invalid) << stream.size();
    }
    // A top-down RLE bitmap does not exist.
    Bytes topDown = withStream(good);
    WriteLe32(&topDown[22], static_cast<uint32_t>(-3));
    EXPECT_EQ(Inspect(topDown, layout), BitmapVerdict::Invalid);
}

}  // namespace
}  // namespace varlin
