// Palette preparation: a logo shown together with the POST messages needs a
// black, a white and a grey palette entry for the BIOS's text.  Entries the
// picture leaves free take the missing colours; where none are free, the
// darkest colours of the picture are merged into one until enough are.
#pragma once

#include <string>

namespace varlin {

inline constexpr char kPreparedPaletteFileName[] = "chack_pallete";

// Reads the bitmap payload at `inputPath` and writes the prepared copy to
// `preparedPath` (replacing any earlier file).  False only when the output
// cannot be written; the caller tells the user.
bool PreparePalette(const std::string& inputPath, const std::string& preparedPath);

}  // namespace varlin
