// The sample pictures: a logo drawn by the project, as an 8-bit bitmap and
// as baseline JPEGs.
#pragma once

#include <string>

#include "logo/StockLogo.h"

namespace varlin::samples {

// Writes the sample pictures into `folder`; false when a file cannot be written.
bool WriteSamplePictures(const std::string& folder);

// The full-screen logo of the sample stock board: 640 x 480 in 16 colours,
// drawn in them (bands of blue, a rainbow, white and yellow lettering).
StockPicture SampleStockLogo();

}  // namespace varlin::samples
