// Synthetic Award-style BIOS images for the samples and the demo: a chain of
// LHA members written by our own archive writer from offset 0, free space,
// the size code and the BIOS ID near the end.
#pragma once

#include <string>

namespace varlin::samples {

// Writes the sample images into `folder` (work files go to `workFolder`);
// false when one cannot be made.
bool WriteSampleBiosImages(const std::string& folder, const std::string& pictureFolder, const std::string& workFolder);

}  // namespace varlin::samples
