// Pictures made on the fly for tests: 8-bit bitmaps in every header variant,
// bitmaps of other depths, and baseline JPEGs from a real encoder.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "logo/BitmapFile.h"
#include "logo/StockConversion.h"
#include "logo/StockLogo.h"
#include "platform/support/Files.h"

namespace varlin::test {

using IndexedPicture = IndexedImage;

// A picture of `colours` palette entries with a pattern that uses them all.
IndexedPicture MakeIndexedPicture(int width, int height, int colours = 256, unsigned seed = 1);

enum class BmpHeader { Core12 = 12, Info40 = 40, V2_52 = 52, V3_56 = 56, V4_108 = 108, V5_124 = 124 };

struct BmpOptions {
    BmpHeader header = BmpHeader::Info40;
    bool topDown = false;
    bool rle8 = false;
    bool writeColorsUsed = true;  // false: the header says 0 (a full table of 256) regardless
    int bitsPerPixel = 8;         // other depths write a header and zeroed pixels
};

Bytes MakeBmp(const IndexedPicture& picture, const BmpOptions& options = {});

// A picture for the small logo of columns x rows cells of 8 x 14 pixels,
// drawn in the 16 standard colours (the palette holds them as the screen
// shows them, index = colour): each cell shows one colour from 1 to 15 in
// a pattern of its own, and black; every cell has pixels of its colour.
IndexedPicture MakeCellPicture(int columns, int rows);

// The picture's pixels as 8-bit RGB, as a loader gives them.
RgbImage RgbOf(const IndexedPicture& picture);

// The colour of cell (column, row) in MakeCellPicture, and whether its
// pixel (x, y) in the cell shows it.
uint8_t CellColour(int column, int row);
bool CellPixelLit(int column, int row, int x, int y);

// A baseline JFIF JPEG of a colour gradient, from stb_image_write.
Bytes MakeJpeg(int width, int height, int quality = 90);

// A baseline JPEG of one colour.
Bytes MakeSolidJpeg(int width, int height, std::array<uint8_t, 3> colour);

// Inserts a marker segment (FF code, length, body) right after the APP0 segment.
Bytes InsertSegmentAfterApp0(const Bytes& jpeg, uint8_t code, const Bytes& body);

// Decodes a JPEG or bitmap with stb_image to 8-bit RGB; empty on failure.
std::vector<uint8_t> DecodeRgb(const Bytes& file, int& width, int& height);

// The stock logo data a build makes of the picture file: its pixels as the
// native picture loader gives them, converted to the format.
Bytes StockLogoOf(const Bytes& pictureFile, const StockLogoFormat& format = kCommonStockLogo,
                  const StockLook& look = {});

}  // namespace varlin::test
