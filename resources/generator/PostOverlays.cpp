#include "resources/generator/PostOverlays.h"

#include <array>

#include "logo/BitmapFile.h"
#include "platform/support/Files.h"
#include "resources/generator/BlockFont.h"

namespace varlin::artwork {

namespace {

// A text cell as the VGA text mode has it; the 5 x 7 glyphs stand in it
// drawn twice as tall, one pixel in from the cell's left and top.
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;

struct OverlayLine {
    const char* fileName;
    const char* text;
};

// Lines as a boot screen shows them: the BIOS banner and the memory test at
// the top, the set-up hint and the BIOS identification at the bottom.
constexpr std::array<OverlayLine, 6> kLines = {{
    {"BIOS_L1.dll", "Modular BIOS v6.00PG"},
    {"BIOS_L2.dll", "Main Processor : 1000MHz"},
    {"BIOS_L3.dll", "Memory Testing :  262144K OK"},
    {"BIOS_L4.dll", "Detecting IDE drives ... Done"},
    {"BIOS_LB1.dll", "Press DEL to enter SETUP"},
    {"BIOS_LB2.dll", "12/07/2026-VL256K01-00"},
}};

Bytes DrawLine(std::string_view text)
{
    IndexedImage image;
    image.width = static_cast<int32_t>(text.size()) * kCellWidth;
    image.height = kCellHeight;
    image.palette = {{0, 0, 0}, {170, 170, 170}};  // the text mode's black and light grey
    image.colorsUsedField = 2;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    DrawText(text, 1, 1, 1, 2, kCellWidth, [&image](int x, int y) {
        if (x >= 0 && y >= 0 && x < image.width && y < image.height)
            image.pixels[static_cast<size_t>(y) * image.width + x] = 1;
    });
    return EncodeLogoFormBitmap(image);
}

}  // namespace

bool WritePostOverlays(const std::string& folder)
{
    bool ok = true;
    for (const OverlayLine& line : kLines) ok = WriteWholeFile(folder + "/" + line.fileName, DrawLine(line.text)) && ok;
    return ok;
}

}  // namespace varlin::artwork
