// What a logo build did, in the lines the tool prints after it: how a
// stock logo was dithered and why, and which members moved.
#pragma once

#include <string>
#include <vector>

#include "logo/LogoBuild.h"

namespace varlin::cli {

// "dithering: ..." for a stock logo, "moved ..." where members moved; in
// that order, none for a payload logo that moved nothing.
std::vector<std::string> BuildReportLines(const RebuildReport& report);

// "small logo member of N bytes at 0x..., FORM", then "moved ..." where
// members moved.
std::vector<std::string> SmallLogoReportLines(const SmallLogoReport& report);

}  // namespace varlin::cli
