// The sample pictures: a logo drawn by the project, as an 8-bit bitmap and
// as baseline JPEGs.
#pragma once

#include <string>

#include "logo/SmallLogo.h"
#include "logo/StockLogo.h"

namespace varlin::samples {

// Writes the sample pictures into `folder`; false when a file cannot be written.
bool WriteSamplePictures(const std::string& folder);

// The full-screen logo of the sample stock board: 640 x 480 in 16 colours,
// drawn in them (bands of blue, a rainbow, white and yellow lettering).
StockPicture SampleStockLogo();

// The small logo of the sample boards' POST screen, in the classic form:
// 17 x 6 cells of 8 x 14 pixels, each cell one standard colour ("VARLIN" in
// yellow over a bar and a row of coloured blocks), and an icon of ours.
ClassicSmallLogo SampleClassicSmallLogo();

// The small logo of the sample stock boards: 136 x 84 in the stock 4-bit
// format, in the colours of their full-screen logo.
StockPicture SampleStockSmallLogo();

}  // namespace varlin::samples
