// The boot block's checksums in words: inspect's lines and JSON, and the
// line a build prints about them.
#pragma once

#include <string>

#include "award/BootBlockChecksums.h"

namespace varlin::cli {

// "checksums:  ..." and the lines of the main and block sums.
std::string ChecksumLines(const BootBlockChecksums& checksums);

// The JSON value of the "bootBlockChecksums" field.
std::string ChecksumJson(const BootBlockChecksums& checksums);

// What a build did to the checksums of its source.
std::string ChecksumRepairLine(const BootBlockChecksums& before, const BootBlockChecksums& after);

}  // namespace varlin::cli
