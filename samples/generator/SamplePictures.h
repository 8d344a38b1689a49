// The sample pictures: a logo drawn by the project, as an 8-bit bitmap and
// as baseline JPEGs.
#pragma once

#include <string>

namespace varlin::samples {

// Writes the sample pictures into `folder`; false when a file cannot be written.
bool WriteSamplePictures(const std::string& folder);

}  // namespace varlin::samples
